#pragma once
#include "server/RegistryAccess.h"

namespace orv {

// The registration plan of the server under HKEY_CLASSES_ROOT. classIdString is the
// class identifier in registry form ("{...}"). Single writes and deletions that fail
// are skipped: every step is tried, and nothing is reported.

// The icon handler for every extension of the handler tables, and the Quick View
// entries for the tables that the viewer serves.
void RegisterFileTypes(RegistryAccess& registry, const char* classIdString);
void UnregisterFileTypes(RegistryAccess& registry, const char* classIdString);

// The class and its program ids, the file types and the property sheet handler for
// all files.
void RegisterServer(RegistryAccess& registry, const char* modulePath, const char* classIdString);
void UnregisterServer(RegistryAccess& registry, const char* classIdString);

}  // namespace orv
