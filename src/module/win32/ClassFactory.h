#pragma once
#include <windows.h>
#include <unknwn.h>

namespace orv {

// The module's one class object: static, never freed, and not reference counted,
// so that it never keeps the module loaded.
class ClassFactory final : public IClassFactory {
public:
    static ClassFactory& Instance();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    // IClassFactory
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;
};

}  // namespace orv
