#pragma once
#include "registry/RegistryAccess.h"

namespace orv {

// Everything the module registers: the server's class with its file types, and the
// thumbnail, preview and property handlers. The one plan behind DllRegisterServer,
// DllInstall and the installer's registry table.
// module32 names a 32-bit module (the installer's rows for it come from the 64-bit plan).
void RegisterModule(RegistryAccess& registry, const char* modulePath, bool module32 = sizeof(void*) == 4);
void UnregisterModule(RegistryAccess& registry);

}  // namespace orv
