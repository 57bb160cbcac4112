#pragma once
#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <vector>

namespace orv::host {

// The frame the shell's preview pane gives a preview handler as its site. It has no
// accelerators of its own; it records each message the handler hands on and answers
// it as told (S_FALSE, not handled, unless a test says otherwise).
class PreviewFrame final : public IPreviewHandlerFrame {
public:
    static Microsoft::WRL::ComPtr<PreviewFrame> Create();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IPreviewHandlerFrame
    HRESULT STDMETHODCALLTYPE GetWindowContext(PREVIEWHANDLERFRAMEINFO* info) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) override;

    std::vector<MSG> handedOn;
    HRESULT answer = S_FALSE;

private:
    PreviewFrame() = default;
    ~PreviewFrame() = default;

    LONG refCount = 1;
};

}  // namespace orv::host
