#include "registry/Registration.h"

#include <string>

namespace orv {
namespace {

constexpr const char* VersionedProgId = "Orvenstaal.ShellExtension.2";
constexpr const char* ProgId = "Orvenstaal.ShellExtension";
constexpr const char* VersionedName = "Orvenstaal Shell Extension 2.0";
constexpr const char* Name = "Orvenstaal Shell Extension";
constexpr const char* PropertySheetHandlers = "*\\shellex\\PropertySheetHandlers";
// The name an earlier version registered its property sheet handler under.
constexpr const char* EarlierHandlerName = "Orvenstaal.BVShellExtension";

struct KeyName {
    const char* key;
    const char* subkey;
};

}  // namespace

void RegisterFileTypes(RegistryAccess& registry, const char* classIdString, FileTypes types)
{
    for (const ExtensionTable* table : types) {
        for (const ExtensionEntry& row : table->rows)
            registry.RegisterIconHandler(row.extension, classIdString);
        if (table->quickView)
            for (const ExtensionEntry& row : table->rows)
                registry.RegisterQuickView(row.extension, classIdString);
    }
}

void UnregisterFileTypes(RegistryAccess& registry, const char* classIdString, FileTypes types)
{
    for (const ExtensionTable* table : types) {
        for (const ExtensionEntry& row : table->rows)
            registry.UnregisterIconHandler(row.extension, classIdString);
        if (table->quickView)
            for (const ExtensionEntry& row : table->rows)
                registry.UnregisterQuickView(row.extension, classIdString);
    }
}

void RegisterServer(RegistryAccess& registry, const char* modulePath, const char* classIdString,
                    FileTypes types)
{
    const std::string clsidKey = std::string("CLSID\\") + classIdString;
    const char* clsid = clsidKey.c_str();
    const struct {
        KeyName name;
        const char* valueName;
        const char* data;
    } writes[] = {
        {{VersionedProgId, nullptr}, nullptr, VersionedName},
        {{VersionedProgId, "CLSID"}, nullptr, classIdString},
        {{ProgId, nullptr}, nullptr, Name},
        {{ProgId, "CurVer"}, nullptr, VersionedProgId},
        {{clsid, nullptr}, nullptr, VersionedName},
        {{clsid, "ProgID"}, nullptr, VersionedProgId},
        {{clsid, "VersionIndependentProgID"}, nullptr, ProgId},
        {{clsid, "InprocServer32"}, nullptr, modulePath},
        {{clsid, "InprocServer32"}, "ThreadingModel", "Apartment"},
        {{clsid, "NotInsertable"}, nullptr, nullptr},
    };
    for (const auto& write : writes)
        registry.SetStringValue(RegistryRoot::ClassesRoot, write.name.key, write.name.subkey,
                                write.data, write.valueName);

    RegisterFileTypes(registry, classIdString, types);

    registry.DeleteKey(RegistryRoot::ClassesRoot, PropertySheetHandlers, EarlierHandlerName);
    registry.SetStringValue(RegistryRoot::ClassesRoot, PropertySheetHandlers, ProgId, classIdString,
                            nullptr);
}

void UnregisterServer(RegistryAccess& registry, const char* classIdString, FileTypes types)
{
    const std::string clsidKey = std::string("CLSID\\") + classIdString;
    const char* clsid = clsidKey.c_str();
    // Subkeys before their keys, which the registry refuses to delete while they have any.
    const KeyName deletions[] = {
        {VersionedProgId, "CLSID"},
        {VersionedProgId, nullptr},
        {ProgId, "CurVer"},
        {ProgId, nullptr},
        {clsid, "ProgID"},
        {clsid, "VersionIndependentProgID"},
        {clsid, "InprocServer32"},
        {clsid, "NotInsertable"},
        {clsid, nullptr},
    };
    for (const KeyName& deletion : deletions)
        registry.DeleteKey(RegistryRoot::ClassesRoot, deletion.key, deletion.subkey);

    UnregisterFileTypes(registry, classIdString, types);

    registry.DeleteKey(RegistryRoot::ClassesRoot, PropertySheetHandlers, ProgId);
}

}  // namespace orv
