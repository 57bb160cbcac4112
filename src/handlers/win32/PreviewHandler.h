#pragma once
#include <windows.h>
#include <ocidl.h>
#include <propsys.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <memory>

#include "handlers/Document.h"
#include "handlers/win32/PreviewPane.h"
#include "shell/win32/ComObject.h"

namespace orv {

// The handler of the shell's preview pane: reads the document from the stream it is
// given when asked to preview it, lets go of the stream, and shows the document in a
// PreviewPane inside the window and rectangle the shell names.
class PreviewHandler final : public ComObject<IPreviewHandler, IInitializeWithStream, IObjectWithSite, IOleWindow,
                                              IPreviewHandlerVisuals> {
public:
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;

    // IInitializeWithStream
    HRESULT STDMETHODCALLTYPE Initialize(IStream* stream, DWORD mode) noexcept override;

    // IObjectWithSite
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSite(REFIID iid, void** out) noexcept override;

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) noexcept override;

    // IPreviewHandler
    HRESULT STDMETHODCALLTYPE SetWindow(HWND parent, const RECT* rect) noexcept override;
    HRESULT STDMETHODCALLTYPE SetRect(const RECT* rect) noexcept override;
    HRESULT STDMETHODCALLTYPE DoPreview() noexcept override;
    HRESULT STDMETHODCALLTYPE Unload() noexcept override;
    HRESULT STDMETHODCALLTYPE SetFocus() noexcept override;
    HRESULT STDMETHODCALLTYPE QueryFocus(HWND* window) noexcept override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) noexcept override;

    // IPreviewHandlerVisuals
    HRESULT STDMETHODCALLTYPE SetBackgroundColor(COLORREF colour) noexcept override;
    HRESULT STDMETHODCALLTYPE SetFont(const LOGFONTW* font) noexcept override;
    HRESULT STDMETHODCALLTYPE SetTextColor(COLORREF colour) noexcept override;

private:
    ~PreviewHandler() override;

    HRESULT Restyle() noexcept;

    Microsoft::WRL::ComPtr<IStream> stream;
    Microsoft::WRL::ComPtr<IUnknown> site;
    Microsoft::WRL::ComPtr<IPreviewHandlerFrame> frame;
    HWND parent = nullptr;
    RECT rect = {};
    PaneLook look;
    // The pane shows the document, so it is declared after it and goes first.
    std::unique_ptr<Document> document;
    std::unique_ptr<PreviewPane> pane;
};

}  // namespace orv
