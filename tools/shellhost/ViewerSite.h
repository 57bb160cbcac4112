#pragma once
#include <windows.h>
#include <wrl/client.h>

#include <vector>

#include "shell/win32/ShellInterfaces.h"

namespace orv::host {

// The Quick View host's site: it keeps the window that is to show the next file
// (the pinned one) and records what the viewer asked of it.
class ViewerSite final : public IFileViewerSite {
public:
    static Microsoft::WRL::ComPtr<ViewerSite> Create();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IFileViewerSite
    HRESULT STDMETHODCALLTYPE SetPinnedWindow(HWND window) override;
    HRESULT STDMETHODCALLTYPE GetPinnedWindow(HWND* window) override;

    HWND pinned = nullptr;
    // Every SetPinnedWindow argument, in order.
    std::vector<HWND> pinnings;

private:
    ViewerSite() = default;
    ~ViewerSite() = default;

    LONG refCount = 1;
};

}  // namespace orv::host
