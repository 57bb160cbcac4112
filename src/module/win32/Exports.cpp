#include <windows.h>
#include <olectl.h>
#include <shlobj.h>

#include <iterator>
#include <string>

#include "preview/win32/Win32MetafileConverter.h"
#include "preview/win32/Win32ScreenResolution.h"
#include "module/win32/ClassFactory.h"
#include "module/win32/ModuleRegistration.h"
#include "module/win32/ModuleState.h"
#include "registry/PerUserKeyStore.h"
#include "registry/RegistryAccess.h"
#include "registry/win32/Win32KeyStore.h"
#include "util/win32/ModuleInstance.h"
#include "util/win32/WinText.h"

using namespace orv;

namespace {

const Win32ScreenResolution screenResolution;
const Win32MetafileConverter metafileConverter;

}  // namespace

// Nothing here may need the loader lock: store the instance, point the registry
// access, the preview frames and the metafile conversion at the platform and choose
// the character tables.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) noexcept
{
    if (reason == DLL_PROCESS_ATTACH) {
        SetModuleInstance(instance);
        DisableThreadLibraryCalls(instance);
        RegistryAccess::Instance().SetStore(&Win32KeyStore::Instance());
        ScreenResolution::SetCurrent(&screenResolution);
        MetafileConverter::SetCurrent(&metafileConverter);
        SelectCharTables(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** out) noexcept
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    ClassFactory* factory = ClassFactory::For(classId);
    if (factory == nullptr)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory->QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() noexcept
{
    return moduleState.CanUnload() ? S_OK : S_FALSE;
}

namespace {

// The server's registration written through registry, with SHChangeNotify so that
// Explorer redraws the icons of the types that just got (or lost) a handler.
HRESULT Register(RegistryAccess& registry)
{
    wchar_t modulePath[1024];
    DWORD length = GetModuleFileNameW(ModuleInstance(), modulePath, std::size(modulePath));
    // A cut path, or one the registry's ANSI strings cannot hold exactly, would
    // register a file that is not this one.
    std::string registered;
    if (length == 0 || length >= std::size(modulePath) || !WideToAnsi(modulePath, registered))
        return SELFREG_E_CLASS;
    RegisterModule(registry, registered.c_str());
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return S_OK;
}

HRESULT Unregister(RegistryAccess& registry)
{
    UnregisterModule(registry);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return S_OK;
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() noexcept
{
    try {
        return Register(RegistryAccess::Instance());
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() noexcept
{
    try {
        return Unregister(RegistryAccess::Instance());
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

// regsvr32 /n /i:user (with /u to remove): the same registration for the current user
// alone, in the user's classes and settings, which needs no administrator rights.
extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) noexcept
{
    if (commandLine == nullptr || _wcsicmp(commandLine, L"user") != 0)
        return E_INVALIDARG;
    try {
        PerUserKeyStore store(Win32KeyStore::Instance());
        RegistryAccess registry(&store);
        return install ? Register(registry) : Unregister(registry);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
