#include "ServerModule.h"

#include "WideText.h"

namespace orv::host {

ServerModule::ServerModule(const std::string& dllPath, REFCLSID classId)
{
    if (dllPath.empty()) {
        CoGetClassObject(classId, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                         reinterpret_cast<void**>(factory.GetAddressOf()));
        return;
    }
    module = LoadLibraryW(Widen(dllPath).c_str());
    if (module == nullptr)
        return;
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (get)
        get(classId, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
}

ServerModule::~ServerModule()
{
    factory.Reset();
    if (module)
        FreeLibrary(module);
}

HRESULT ServerModule::Call(const char* exportName) const
{
    if (module == nullptr)
        return E_FAIL;
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, exportName)));
    return entry ? entry() : E_FAIL;
}

HRESULT ServerModule::CanUnloadNow() const
{
    return Call("DllCanUnloadNow");
}

HRESULT ServerModule::Register() const
{
    return Call("DllRegisterServer");
}

HRESULT ServerModule::Unregister() const
{
    return Call("DllUnregisterServer");
}

}  // namespace orv::host
