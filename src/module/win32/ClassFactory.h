#pragma once
#include <windows.h>
#include <unknwn.h>

namespace orv {

// The class objects of the module, one per class: static, never freed, and not
// reference counted, so that they never keep the module loaded.
class ClassFactory final : public IClassFactory {
public:
    // Makes an object of the class and asks it for the interface; the object is gone
    // again when it has no such interface.
    using Creator = HRESULT (*)(REFIID iid, void** out);

    // The class object of a class the module serves; null for any other class.
    static ClassFactory* For(REFCLSID classId);

    explicit constexpr ClassFactory(Creator create) : create(create) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    // IClassFactory
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;

private:
    Creator create;
};

}  // namespace orv
