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

// The class ids, in registry form, of the handlers a current shell asks for besides
// the server's class: one class per kind of handler.
struct ShellHandlerClasses {
    const char* thumbnail;
    const char* preview;
    const char* properties;
    // The preview pane runs a handler in the surrogate process of its module's bitness.
    bool module32 = sizeof(void*) == 4;
};

// The three classes in the module; the thumbnail handler for the types that carry a
// preview picture; the preview and the property handler for every type; the preview
// handler in the machine's list, run by the surrogate of its module's bitness; and
// the properties each type shows in the Details pane, the preview pane's details and
// its info tip. A type's handler of another class is left in its place. Unregistering
// removes only what names these classes, and the keys that are left empty.
void RegisterShellHandlers(RegistryAccess& registry, const char* modulePath, const ShellHandlerClasses& classes,
                           FileTypes pictured, FileTypes types);
void UnregisterShellHandlers(RegistryAccess& registry, const ShellHandlerClasses& classes, FileTypes pictured,
                             FileTypes types);

}  // namespace orv
