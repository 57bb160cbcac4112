#include "ViewerSite.h"

namespace orv::host {

Microsoft::WRL::ComPtr<ViewerSite> ViewerSite::Create()
{
    Microsoft::WRL::ComPtr<ViewerSite> site;
    site.Attach(new ViewerSite);
    return site;
}

HRESULT STDMETHODCALLTYPE ViewerSite::QueryInterface(REFIID iid, void** out)
{
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, __uuidof(IFileViewerSite)))
        return E_NOINTERFACE;
    *out = static_cast<IFileViewerSite*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ViewerSite::AddRef()
{
    return InterlockedIncrement(&refCount);
}

ULONG STDMETHODCALLTYPE ViewerSite::Release()
{
    LONG count = InterlockedDecrement(&refCount);
    if (count == 0)
        delete this;
    return count;
}

HRESULT STDMETHODCALLTYPE ViewerSite::SetPinnedWindow(HWND window)
{
    pinned = window;
    pinnings.push_back(window);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewerSite::GetPinnedWindow(HWND* window)
{
    if (window == nullptr)
        return E_POINTER;
    *window = pinned;
    return S_OK;
}

}  // namespace orv::host
