#pragma once
#include <windows.h>
#include <propsys.h>
#include <thumbcache.h>
#include <wrl/client.h>

#include "shell/win32/ComObject.h"

namespace orv {

// The thumbnail the shell shows for a document: its stored preview picture, read from
// the stream the shell hands over. The stream is held from Initialize until
// GetThumbnail returns, and the object then takes a new one.
class ThumbnailProvider final : public ComObject<IInitializeWithStream, IThumbnailProvider> {
public:
    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;

    // IInitializeWithStream
    HRESULT STDMETHODCALLTYPE Initialize(IStream* stream, DWORD mode) noexcept override;

    // IThumbnailProvider
    HRESULT STDMETHODCALLTYPE GetThumbnail(UINT side, HBITMAP* bitmap, WTS_ALPHATYPE* alpha) noexcept override;

private:
    ~ThumbnailProvider() override = default;

    Microsoft::WRL::ComPtr<IStream> stream;
};

}  // namespace orv
