#include "handlers/win32/PreviewHandler.h"

#include <shlwapi.h>

#include <string>

#include "util/win32/StreamFile.h"

namespace orv {

PreviewHandler::~PreviewHandler()
{
    Unload();
}

HRESULT STDMETHODCALLTYPE PreviewHandler::QueryInterface(REFIID iid, void** out) noexcept
{
    // IUnknown is answered by the first entry.
    static const QITAB interfaces[] = {
        QITABENT(PreviewHandler, IPreviewHandler),
        QITABENT(PreviewHandler, IInitializeWithStream),
        QITABENT(PreviewHandler, IObjectWithSite),
        QITABENT(PreviewHandler, IOleWindow),
        QITABENT(PreviewHandler, IPreviewHandlerVisuals),
        {nullptr, 0},
    };
    return QISearch(this, interfaces, iid, out);
}

// IInitializeWithStream

HRESULT STDMETHODCALLTYPE PreviewHandler::Initialize(IStream* newStream, DWORD) noexcept
{
    if (newStream == nullptr)
        return E_INVALIDARG;
    if (stream)
        return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);
    stream = newStream;
    return S_OK;
}

// IObjectWithSite

HRESULT STDMETHODCALLTYPE PreviewHandler::SetSite(IUnknown* newSite) noexcept
{
    site = newSite;
    frame.Reset();
    if (site)
        site.As(&frame);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PreviewHandler::GetSite(REFIID iid, void** out) noexcept
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    return site ? site->QueryInterface(iid, out) : E_FAIL;
}

// IOleWindow

HRESULT STDMETHODCALLTYPE PreviewHandler::GetWindow(HWND* window) noexcept
{
    if (window == nullptr)
        return E_INVALIDARG;
    *window = pane ? pane->Window() : nullptr;
    return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE PreviewHandler::ContextSensitiveHelp(BOOL) noexcept
{
    return E_NOTIMPL;
}

// IPreviewHandler

HRESULT STDMETHODCALLTYPE PreviewHandler::SetWindow(HWND newParent, const RECT* newRect) noexcept
{
    if (newRect == nullptr)
        return E_INVALIDARG;
    parent = newParent;
    rect = *newRect;
    if (pane)
        pane->Place(parent, rect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PreviewHandler::SetRect(const RECT* newRect) noexcept
{
    if (newRect == nullptr)
        return E_INVALIDARG;
    rect = *newRect;
    if (pane)
        pane->Place(parent, rect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PreviewHandler::DoPreview() noexcept
{
    try {
        if (stream) {
            pane.reset();
            document = std::make_unique<Document>();
            std::string error;
            bool read;
            {
                StreamFile file(stream.Get());
                read = document->Read(file, file.Name(), error);
            }
            // Nothing of the file is needed any more, and the shell may want it back.
            stream.Reset();
            if (!read)
                document.reset();
        }
        if (!document)
            return E_FAIL;
        if (!pane)
            pane = PreviewPane::Make(parent, rect, *document, look);
        return pane ? S_OK : E_FAIL;
    } catch (...) {
        stream.Reset();
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE PreviewHandler::Unload() noexcept
{
    pane.reset();
    document.reset();
    stream.Reset();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PreviewHandler::SetFocus() noexcept
{
    if (!pane)
        return S_FALSE;
    pane->Focus();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PreviewHandler::QueryFocus(HWND* window) noexcept
{
    if (window == nullptr)
        return E_INVALIDARG;
    *window = GetFocus();
    return *window ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE PreviewHandler::TranslateAccelerator(MSG* message) noexcept
{
    // The pane has no keys of its own: the frame's accelerators are the frame's to run.
    return frame ? frame->TranslateAccelerator(message) : S_FALSE;
}

// IPreviewHandlerVisuals

HRESULT STDMETHODCALLTYPE PreviewHandler::SetBackgroundColor(COLORREF colour) noexcept
{
    look.background = colour;
    return Restyle();
}

HRESULT STDMETHODCALLTYPE PreviewHandler::SetFont(const LOGFONTW* font) noexcept
{
    if (font == nullptr)
        return E_INVALIDARG;
    look.font = *font;
    return Restyle();
}

HRESULT STDMETHODCALLTYPE PreviewHandler::SetTextColor(COLORREF colour) noexcept
{
    look.text = colour;
    return Restyle();
}

HRESULT PreviewHandler::Restyle() noexcept
{
    try {
        if (pane)
            pane->SetLook(look);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace orv
