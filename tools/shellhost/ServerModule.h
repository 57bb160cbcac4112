#pragma once
#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include <string>

#include "module/win32/ClassId.h"

namespace orv::host {

// The server DLL, loaded the way the shell loads it: by path, or through the class
// registration (InprocServer32) when no path is given, with the class object of one
// of its classes. The path is UTF-8.
class ServerModule {
public:
    explicit ServerModule(const std::string& dllPath = {}, REFCLSID classId = ServerClassId);
    ~ServerModule();
    ServerModule(const ServerModule&) = delete;
    ServerModule& operator=(const ServerModule&) = delete;

    bool Loaded() const { return factory != nullptr; }
    HMODULE Module() const { return module; }
    IClassFactory* Factory() const { return factory.Get(); }

    // A new object of the class, asked for the interface.
    template <typename Interface>
    HRESULT Create(REFIID iid, Microsoft::WRL::ComPtr<Interface>& out) const
    {
        if (!factory)
            return E_FAIL;
        return factory->CreateInstance(nullptr, iid, reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
    }

    HRESULT CanUnloadNow() const;
    HRESULT Register() const;
    HRESULT Unregister() const;

private:
    HRESULT Call(const char* exportName) const;

    HMODULE module = nullptr;
    Microsoft::WRL::ComPtr<IClassFactory> factory;
};

}  // namespace orv::host
