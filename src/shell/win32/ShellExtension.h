#pragma once
#include <windows.h>
#include <shlobj.h>

#include <memory>

#include "shell/win32/ComObject.h"
#include "shell/win32/FileViewer.h"
#include "shell/win32/HandlerFactory.h"
#include "shell/win32/HandlerLink.h"
#include "shell/win32/ShellInterfaces.h"

namespace orv {

// The server's one COM object: binds one document to its handler and forwards the
// shell's requests for pages, icons and Quick View to it.
class ShellExtension final
    : public ComObject<IShellPropSheetExt, IShellExtInit, IPersistFile, IExtractIconA, IFileViewerA> {
public:
    // Without makeViewer the object has no Quick View window to offer.
    ShellExtension(const CLSID& classId, const HandlerFactory& handlers, MakeViewerFunction makeViewer = nullptr);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;

    // IShellPropSheetExt
    HRESULT STDMETHODCALLTYPE AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM parameter) noexcept override;
    HRESULT STDMETHODCALLTYPE ReplacePage(EXPPS page, LPFNSVADDPROPSHEETPAGE replace,
                                          LPARAM parameter) noexcept override;

    // IShellExtInit
    HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data,
                                         HKEY programId) noexcept override;

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) noexcept override;

    // IPersistFile
    HRESULT STDMETHODCALLTYPE IsDirty() noexcept override;
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR fileName, DWORD mode) noexcept override;
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR fileName, BOOL remember) noexcept override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR fileName) noexcept override;
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* fileName) noexcept override;

    // IExtractIconA
    HRESULT STDMETHODCALLTYPE GetIconLocation(UINT flagsIn, PSTR location, UINT size, int* index,
                                              UINT* flags) noexcept override;
    HRESULT STDMETHODCALLTYPE Extract(PCSTR file, UINT index, HICON* large, HICON* small,
                                      UINT sizes) noexcept override;

    // IFileViewerA
    HRESULT STDMETHODCALLTYPE ShowInitialize(IFileViewerSite* site) noexcept override;
    HRESULT STDMETHODCALLTYPE Show(FVSHOWINFO* info) noexcept override;
    HRESULT STDMETHODCALLTYPE PrintTo(LPSTR driver, BOOL suppressUI) noexcept override;

private:
    ~ShellExtension() override;

    HRESULT Bind(const char* path);
    void Unbind();
    static UINT CALLBACK PageReleaseCallback(HWND window, UINT message, PROPSHEETPAGEA* page) noexcept;

    CLSID classId;
    const HandlerFactory& handlers;
    // The object's own share of the link; its pages hold theirs.
    std::shared_ptr<HandlerLink> link;
    MakeViewerFunction makeViewer;
    // Prepared for the handler of link; it goes with that binding.
    std::unique_ptr<FileViewer> viewer;
    bool previewIcons = true;
};

}  // namespace orv
