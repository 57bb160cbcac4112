#include <windows.h>
#include <olectl.h>
#include <shlobj.h>

#include <iterator>
#include <string>

#include "preview/win32/Win32MetafileConverter.h"
#include "preview/win32/Win32ScreenResolution.h"
#include "module/win32/ClassFactory.h"
#include "module/win32/ModuleState.h"
#include "registry/Registration.h"
#include "registry/RegistryAccess.h"
#include "registry/win32/Win32KeyStore.h"
#include "shell/ExtensionTables.h"
#include "util/win32/ModuleInstance.h"
#include "util/win32/WinText.h"

using namespace orv;

namespace {

const Win32ScreenResolution screenResolution;
const Win32MetafileConverter metafileConverter;

// The types whose documents carry a preview picture, which thumbnails show.
const ExtensionTable* const picturedTypes[] = {&PlanExtensions, &LibPartExtensions, &ModulExtensions};

// The handler classes in registry form.
struct ShellHandlerIds {
    char thumbnail[128];
    char preview[128];
    char properties[128];

    ShellHandlerIds()
    {
        MakeClassIdString(ThumbnailClassId, thumbnail);
        MakeClassIdString(PreviewClassId, preview);
        MakeClassIdString(PropertyClassId, properties);
    }
    ShellHandlerClasses Classes() const { return {thumbnail, preview, properties}; }
};

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

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() noexcept
{
    try {
        wchar_t modulePath[1024];
        DWORD length = GetModuleFileNameW(ModuleInstance(), modulePath, std::size(modulePath));
        // A cut path, or one the registry's ANSI strings cannot hold exactly, would
        // register a file that is not this one.
        std::string registered;
        if (length == 0 || length >= std::size(modulePath) || !WideToAnsi(modulePath, registered))
            return SELFREG_E_CLASS;
        char classId[128];
        MakeClassIdString(ServerClassId, classId);
        RegisterServer(RegistryAccess::Instance(), registered.c_str(), classId, AllExtensionTables);
        RegisterShellHandlers(RegistryAccess::Instance(), registered.c_str(), ShellHandlerIds().Classes(),
                              picturedTypes, AllExtensionTables);
        // Explorer redraws the icons of the types that just got a handler.
        SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() noexcept
{
    try {
        char classId[128];
        MakeClassIdString(ServerClassId, classId);
        UnregisterServer(RegistryAccess::Instance(), classId, AllExtensionTables);
        UnregisterShellHandlers(RegistryAccess::Instance(), ShellHandlerIds().Classes(), picturedTypes,
                                AllExtensionTables);
        SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
