#include "module/win32/ClassFactory.h"

#include <new>
#include <utility>

#include "handlers/win32/PropertyHandler.h"
#include "handlers/win32/ThumbnailProvider.h"
#include "handlers/win32/PreviewHandler.h"
#include "module/win32/HandlerClasses.h"
#include "module/win32/ModuleState.h"
#include "shell/win32/ShellExtension.h"
#include "viewer/win32/QuickViewer.h"

namespace orv {

namespace {

// A new object of the class, asked for the interface.
template <class Object, class... Arguments>
HRESULT Create(REFIID iid, void** out, Arguments&&... arguments)
{
    auto* object = new (std::nothrow) Object(std::forward<Arguments>(arguments)...);
    if (object == nullptr)
        return E_OUTOFMEMORY;
    // The temporary reference destroys the object when the interface is refused.
    object->AddRef();
    HRESULT result = object->QueryInterface(iid, out);
    object->Release();
    return result;
}

HRESULT CreateShellExtension(REFIID iid, void** out)
{
    return Create<ShellExtension>(iid, out, ServerClassId, ModuleHandlers(), QuickViewer::Make);
}

struct ServedClass {
    const CLSID* classId;
    ClassFactory factory;
};

ServedClass servedClasses[] = {
    {&ServerClassId, ClassFactory(CreateShellExtension)},
    {&PropertyClassId, ClassFactory(Create<PropertyHandler>)},
    {&ThumbnailClassId, ClassFactory(Create<ThumbnailProvider>)},
    {&PreviewClassId, ClassFactory(Create<PreviewHandler>)},
};

}  // namespace

ClassFactory* ClassFactory::For(REFCLSID classId)
{
    for (ServedClass& served : servedClasses)
        if (IsEqualCLSID(classId, *served.classId))
            return &served.factory;
    return nullptr;
}

HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID iid, void** out) noexcept
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
        return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE ClassFactory::AddRef() noexcept
{
    return 1;
}

ULONG STDMETHODCALLTYPE ClassFactory::Release() noexcept
{
    return 1;
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    try {
        return create(iid, out);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) noexcept
{
    if (lock)
        ++moduleState.lockCount;
    else
        --moduleState.lockCount;
    return S_OK;
}

}  // namespace orv
