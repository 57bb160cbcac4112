#pragma once
#include "registry/RegistryAccess.h"

namespace orv {

// Everything the module registers: the server's class with its file types, and the
// thumbnail, preview and property handlers. The one plan behind DllRegisterServer,
// DllInstall and the installer's registry table.
void RegisterModule(RegistryAccess& registry, const char* modulePath);
void UnregisterModule(RegistryAccess& registry);

}  // namespace orv
