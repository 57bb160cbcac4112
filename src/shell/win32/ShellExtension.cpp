#include "shell/win32/ShellExtension.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <memory>

#include "registry/RegistryAccess.h"
#include "shell/win32/LiveObjects.h"
#include "util/win32/ModuleInstance.h"

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

}  // namespace

ShellExtension::ShellExtension(const CLSID& classId, const HandlerFactory& handlers,
                               MakeViewerFunction makeViewer)
    : classId(classId), handlers(handlers), makeViewer(makeViewer), previewIcons(ReadPreviewIcons())
{
    LiveObjects::Add();
}

ShellExtension::~ShellExtension()
{
    // The viewport paints through the handler until its window is gone.
    viewer.reset();
    link.reset();
    LiveObjects::Remove();
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

ULONG STDMETHODCALLTYPE ShellExtension::AddRef() noexcept
{
    return ++refCount;
}

ULONG STDMETHODCALLTYPE ShellExtension::Release() noexcept
{
    ULONG count = --refCount;
    if (count == 0)
        delete this;
    return count;
}

HRESULT ShellExtension::Bind(const char* path)
{
    viewer.reset();
    link.reset();
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
        if (data == nullptr)
            return E_FAIL;
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        HRESULT result = data->GetData(&format, &medium);
        if (FAILED(result))
            return result;
        char path[MAX_PATH] = {};
        auto drop = static_cast<HDROP>(medium.hGlobal);
        UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        // A longer path would come back cut, naming another file.
        bool usable = count == 1 && DragQueryFileA(drop, 0, nullptr, 0) < MAX_PATH &&
                      DragQueryFileA(drop, 0, path, MAX_PATH) > 0;
        ReleaseStgMedium(&medium);
        if (!usable) {
            link.reset();
            return E_FAIL;
        }
        return Bind(path);
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
        char path[MAX_PATH];
        if (fileName == nullptr ||
            WideCharToMultiByte(CP_ACP, 0, fileName, -1, path, MAX_PATH, nullptr, nullptr) == 0) {
            link.reset();
            return E_FAIL;
        }
        return Bind(path);
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
