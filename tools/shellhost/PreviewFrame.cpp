#include "PreviewFrame.h"

namespace orv::host {

Microsoft::WRL::ComPtr<PreviewFrame> PreviewFrame::Create()
{
    Microsoft::WRL::ComPtr<PreviewFrame> frame;
    frame.Attach(new PreviewFrame);
    return frame;
}

HRESULT STDMETHODCALLTYPE PreviewFrame::QueryInterface(REFIID iid, void** out)
{
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPreviewHandlerFrame))
        return E_NOINTERFACE;
    *out = static_cast<IPreviewHandlerFrame*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE PreviewFrame::AddRef()
{
    return InterlockedIncrement(&refCount);
}

ULONG STDMETHODCALLTYPE PreviewFrame::Release()
{
    LONG count = InterlockedDecrement(&refCount);
    if (count == 0)
        delete this;
    return count;
}

HRESULT STDMETHODCALLTYPE PreviewFrame::GetWindowContext(PREVIEWHANDLERFRAMEINFO* info)
{
    if (info == nullptr)
        return E_INVALIDARG;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PreviewFrame::TranslateAccelerator(MSG* message)
{
    if (message == nullptr)
        return E_INVALIDARG;
    handedOn.push_back(*message);
    return answer;
}

}  // namespace orv::host
