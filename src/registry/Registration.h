#pragma once
#include <span>

#include "registry/FileTypes.h"
#include "registry/RegistryAccess.h"

namespace orv {

// The registration plan of the server under HKEY_CLASSES_ROOT. classIdString is the
// class identifier in registry form ("{...}"). Single writes and deletions that fail
// are skipped: every step is tried, and nothing is reported.

// The file types the server takes, as their handler classes' tables list them.
using FileTypes = std::span<const ExtensionTable* const>;

// The icon handler for every extension of the tables, and the Quick View entries
// for the tables that the viewer serves.
void RegisterFileTypes(RegistryAccess& registry, const char* classIdString, FileTypes types);
void UnregisterFileTypes(RegistryAccess& registry, const char* classIdString, FileTypes types);

// The class and its program ids, the file types and the property sheet handler for
// all files.
void RegisterServer(RegistryAccess& registry, const char* modulePath, const char* classIdString,
                    FileTypes types);
void UnregisterServer(RegistryAccess& registry, const char* classIdString, FileTypes types);

}  // namespace orv
