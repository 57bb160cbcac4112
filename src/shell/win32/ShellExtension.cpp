#include "shell/win32/ShellExtension.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <memory>
#include <new>
#include <string>

#include "registry/RegistryAccess.h"
#include "util/win32/ModuleInstance.h"
#include "util/win32/WinText.h"

namespace orv {
namespace {

constexpr char settingsKey[] = "Software\\Orvenstaal\\ShellExtension";
constexpr char previewIconsValue[] = "PreviewIcons";

// Missing, or not a REG_DWORD, counts as on and is written back as 1.
bool ReadPreviewIcons()
{
    RegistryAccess& registry = RegistryAccess::Instance();
    uint32_t value = 1;
    if (!registry.GetDwordValue(RegistryRoot::CurrentUser, settingsKey, nullptr, previewIconsValue, value)) {
        value = 1;
        registry.SetDwordValue(RegistryRoot::CurrentUser, settingsKey, nullptr, 1, previewIconsValue);
    }
    return value != 0;
}

struct ReleaseMedium {
    void operator()(STGMEDIUM* medium) const { ReleaseStgMedium(medium); }
};

// The one file of a drop, as the shell named it; false for any other number of files.
bool DroppedFile(HDROP drop, std::string& path)
{
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) != 1)
        return false;
    std::wstring name(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
    return DragQueryFileW(drop, 0, name.data(), static_cast<UINT>(name.size())) > 0 &&
           WideToUtf8(name.c_str(), path);
}

}  // namespace

ShellExtension::ShellExtension(const CLSID& classId, const HandlerFactory& handlers,
                               MakeViewerFunction makeViewer)
    : classId(classId), handlers(handlers), makeViewer(makeViewer), previewIcons(ReadPreviewIcons())
{
}

ShellExtension::~ShellExtension()
{
    Unbind();
}

HRESULT STDMETHODCALLTYPE ShellExtension::QueryInterface(REFIID iid, void** out) noexcept
{
    // IUnknown is answered by the first entry.
    static const QITAB interfaces[] = {
        QITABENT(ShellExtension, IShellPropSheetExt),
        QITABENT(ShellExtension, IShellExtInit),
        QITABENTMULTI(ShellExtension, IPersist, IPersistFile),
        QITABENT(ShellExtension, IPersistFile),
        QITABENT(ShellExtension, IExtractIconA),
        QITABENT(ShellExtension, IFileViewerA),
        {nullptr, 0},
    };
    return QISearch(this, interfaces, iid, out);
}

void ShellExtension::Unbind()
{
    // The viewer paints through the handler, so it goes first.
    viewer.reset();
    link.reset();
}

HRESULT ShellExtension::Bind(const char* path)
{
    Unbind();
    std::unique_ptr<FileHandler> handler = handlers.CreateHandler(path);
    if (!handler)
        return E_FAIL;
    link = std::make_shared<HandlerLink>(HandlerLink{this, std::move(handler)});
    return S_OK;
}

// IShellPropSheetExt

HRESULT STDMETHODCALLTYPE ShellExtension::AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM parameter) noexcept
{
    try {
        if (!link)
            return E_FAIL;
        FileHandler& handler = *link->handler;
        if (!handler.LoadContents())
            return E_FAIL;
        for (int32_t slot = 0; slot < handler.PageCount(); ++slot) {
            char title[256] = {};
            PROPSHEETPAGEA page = {};
            // The first published layout: the size the platform checks pages against.
            page.dwSize = PROPSHEETPAGEA_V1_SIZE;
            page.dwFlags = PSP_USECALLBACK;
            page.hInstance = ModuleInstance();
            page.pszTitle = title;
            auto share = std::make_unique<PageLink>(link);
            page.lParam = reinterpret_cast<LPARAM>(share.get());
            page.pfnCallback = PageReleaseCallback;
            if (!handler.FillPage(static_cast<uint32_t>(slot), page))
                continue;
            AddRef();
            HPROPSHEETPAGE created = CreatePropertySheetPageA(&page);
            if (created == nullptr) {
                Release();
                continue;
            }
            // From here the page's release callback frees its share, also for a
            // page the sheet refuses.
            share.release();
            if (!addPage(created, parameter))
                DestroyPropertySheetPage(created);
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE ShellExtension::ReplacePage(EXPPS, LPFNSVADDPROPSHEETPAGE, LPARAM) noexcept
{
    return E_FAIL;
}

UINT CALLBACK ShellExtension::PageReleaseCallback(HWND, UINT message, PROPSHEETPAGEA* page) noexcept
{
    if (message == PSPCB_RELEASE && page != nullptr) {
        std::unique_ptr<PageLink> share(reinterpret_cast<PageLink*>(page->lParam));
        ShellExtension* owner = (*share)->owner;
        share.reset();
        owner->Release();
    }
    return 1;
}

// IShellExtInit

HRESULT STDMETHODCALLTYPE ShellExtension::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) noexcept
{
    try {
        // Whatever comes of it, the file bound before is forgotten.
        Unbind();
        if (data == nullptr)
            return E_FAIL;
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        HRESULT result = data->GetData(&format, &medium);
        if (FAILED(result))
            return result;
        std::unique_ptr<STGMEDIUM, ReleaseMedium> owned(&medium);
        std::string path;
        if (medium.tymed != TYMED_HGLOBAL)
            return E_INVALIDARG;
        if (!DroppedFile(static_cast<HDROP>(medium.hGlobal), path))
            return E_FAIL;
        return Bind(path.c_str());
    } catch (...) {
        return E_FAIL;
    }
}

// IPersist

HRESULT STDMETHODCALLTYPE ShellExtension::GetClassID(CLSID* out) noexcept
{
    if (out == nullptr)
        return E_POINTER;
    *out = classId;
    return S_OK;
}

// IPersistFile

HRESULT STDMETHODCALLTYPE ShellExtension::IsDirty() noexcept
{
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE ShellExtension::Load(LPCOLESTR fileName, DWORD) noexcept
{
    try {
        std::string path;
        if (!WideToUtf8(fileName, path)) {
            Unbind();
            return E_FAIL;
        }
        return Bind(path.c_str());
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE ShellExtension::Save(LPCOLESTR, BOOL) noexcept
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ShellExtension::SaveCompleted(LPCOLESTR) noexcept
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ShellExtension::GetCurFile(LPOLESTR*) noexcept
{
    return E_NOTIMPL;
}

// IExtractIconA

HRESULT STDMETHODCALLTYPE ShellExtension::GetIconLocation(UINT, PSTR, UINT, int*, UINT* flags) noexcept
{
    // Ask for Extract on every file and let the shell cache nothing: each document
    // has an icon of its own.
    if (flags)
        *flags = GIL_PERINSTANCE | GIL_NOTFILENAME | GIL_DONTCACHE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ShellExtension::Extract(PCSTR, UINT, HICON* large, HICON* small, UINT sizes) noexcept
{
    try {
        if (!link || (large == nullptr && small == nullptr))
            return S_FALSE;
        // Either pointer may be null: that size is asked for as 0, which makes no icon
        // the caller would not get.
        HICON unasked = nullptr;
        HICON& largeIcon = large ? *large : unasked;
        HICON& smallIcon = small ? *small : unasked;
        auto largeSize = static_cast<uint16_t>(large ? LOWORD(sizes) : 0);
        auto smallSize = static_cast<uint16_t>(small ? HIWORD(sizes) : 0);
        FileHandler& handler = *link->handler;
        bool made = previewIcons ? handler.MakeIcons(largeSize, largeIcon, smallSize, smallIcon)
                                 : handler.FileHandler::MakeIcons(largeSize, largeIcon, smallSize, smallIcon);
        return made ? S_OK : S_FALSE;
    } catch (...) {
        return S_FALSE;
    }
}

// IFileViewerA

HRESULT STDMETHODCALLTYPE ShellExtension::ShowInitialize(IFileViewerSite* site) noexcept
{
    try {
        if (!link)
            return E_FAIL;
        // A frame the user closed cannot show again.
        if (viewer && !viewer->HasFrame())
            viewer.reset();
        if (!viewer && makeViewer)
            viewer = makeViewer();
        if (!viewer)
            return E_FAIL;
        if (!viewer->Prepare(*link->handler, site, static_cast<IShellPropSheetExt*>(this))) {
            viewer.reset();
            return E_FAIL;
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE ShellExtension::Show(FVSHOWINFO* info) noexcept
{
    if (!viewer || !link || info == nullptr)
        return E_UNEXPECTED;
    viewer->ShowAndRun(*info);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ShellExtension::PrintTo(LPSTR, BOOL) noexcept
{
    return E_NOTIMPL;
}

}  // namespace orv
