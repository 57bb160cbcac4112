#include "registry/Registration.h"

#include <string>

#include "util/Strings.h"

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

constexpr const char* ThumbnailHandlerKey = "ShellEx\\{e357fccd-a995-4576-b01f-234630154e96}";
constexpr const char* PreviewHandlerKey = "ShellEx\\{8895b1c6-b41f-4c1c-a562-0d564250836f}";
constexpr const char* PreviewHandlerList = "Software\\Microsoft\\Windows\\CurrentVersion\\PreviewHandlers";
constexpr const char* PropertySystem = "Software\\Microsoft\\Windows\\CurrentVersion\\PropertySystem";
constexpr const char* PropertyHandlerList =
    "Software\\Microsoft\\Windows\\CurrentVersion\\PropertySystem\\PropertyHandlers";
constexpr const char* TypeSettings = "SystemFileAssociations";
// The preview surrogates of 64-bit and of 32-bit modules.
constexpr const char* PreviewHost64 = "{6d2b5079-2f0b-48dd-ab7f-97cec514d30b}";
constexpr const char* PreviewHost32 = "{534a1e02-d58f-44f0-b58b-36cbed287c7c}";
constexpr const char* PreviewHandlerName = "Orvenstaal Preview Handler";

// What the Details pane, the preview pane's details and the info tip list.
const struct {
    const char* valueName;
    const char* list;
} PropertyLists[] = {
    {"FullDetails", "prop:System.PropGroup.Description;System.Title;System.Subject;System.Keywords;"
                    "System.Comment;System.PropGroup.Origin;System.Author;System.Document.RevisionNumber;"
                    "System.ApplicationName;System.PropGroup.FileSystem;System.ItemNameDisplay;"
                    "System.ItemTypeText;System.ItemFolderPathDisplay;System.Size;System.DateModified"},
    {"PreviewDetails", "prop:System.Title;System.Subject;System.Author;System.Keywords;System.Comment;"
                       "System.ApplicationName;System.DateModified;System.Size"},
    {"InfoTip", "prop:System.Title;System.ApplicationName;System.Author;System.DateModified;System.Size"},
};

template <class Visit>
void ForEachExtension(FileTypes types, Visit visit)
{
    for (const ExtensionTable* table : types)
        for (const ExtensionEntry& row : table->rows)
            visit(row.extension);
}

// Another product's handler found there is its own, and stays.
void SetHandler(RegistryAccess& registry, RegistryRoot root, const char* key, const char* handlerKey,
                const char* classIdString)
{
    std::string handler;
    if (!registry.GetStringValue(root, key, handlerKey, nullptr, handler) || handler.empty() ||
        EqualIgnoringCase(handler.c_str(), classIdString))
        registry.SetStringValue(root, key, handlerKey, classIdString, nullptr);
}

// The key under the extension's handler key goes only when it names this class.
void DeleteShellExHandler(RegistryAccess& registry, RegistryRoot root, const char* key, const char* handlerKey,
                          const char* classIdString)
{
    std::string handler;
    if (registry.GetStringValue(root, key, handlerKey, nullptr, handler) &&
        EqualIgnoringCase(handler.c_str(), classIdString))
        registry.DeleteKey(root, key, handlerKey);
}

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
        for (const ExtensionEntry& row : table->rows) {
            registry.UnregisterIconHandler(row.extension, classIdString);
            registry.DeleteKeyIfEmpty(RegistryRoot::ClassesRoot, row.extension, "shellex");
            registry.DeleteKeyIfEmpty(RegistryRoot::ClassesRoot, row.extension, nullptr);
        }
        if (table->quickView)
            for (const ExtensionEntry& row : table->rows)
                registry.UnregisterQuickView(row.extension, classIdString);
    }
    registry.DeleteKeyIfEmpty(RegistryRoot::ClassesRoot, "QuickView", nullptr);
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
    // The keys on the way to ours go too when nothing else is left in them.
    for (const char* key : {PropertySheetHandlers, "*\\shellex", "*", "CLSID"})
        registry.DeleteKeyIfEmpty(RegistryRoot::ClassesRoot, key, nullptr);
}

void RegisterShellHandlers(RegistryAccess& registry, const char* modulePath, const ShellHandlerClasses& classes,
                           FileTypes pictured, FileTypes types)
{
    const auto root = RegistryRoot::ClassesRoot;
    const std::pair<const char*, const char*> named[] = {
        {classes.thumbnail, "Orvenstaal Thumbnail Handler"},
        {classes.preview, PreviewHandlerName},
        {classes.properties, "Orvenstaal Property Handler"},
    };
    for (const auto& [classId, name] : named) {
        const std::string clsid = std::string("CLSID\\") + classId;
        registry.SetStringValue(root, clsid.c_str(), nullptr, name, nullptr);
        registry.SetStringValue(root, clsid.c_str(), "InprocServer32", modulePath, nullptr);
        registry.SetStringValue(root, clsid.c_str(), "InprocServer32", "Apartment", "ThreadingModel");
    }
    const std::string preview = std::string("CLSID\\") + classes.preview;
    registry.SetStringValue(root, preview.c_str(), nullptr, classes.module32 ? PreviewHost32 : PreviewHost64,
                            "AppID");
    registry.SetStringValue(root, preview.c_str(), nullptr, PreviewHandlerName, "DisplayName");
    registry.SetStringValue(RegistryRoot::LocalMachine, PreviewHandlerList, nullptr, PreviewHandlerName,
                            classes.preview);

    ForEachExtension(pictured, [&](const char* extension) {
        SetHandler(registry, root, extension, ThumbnailHandlerKey, classes.thumbnail);
    });
    ForEachExtension(types, [&](const char* extension) {
        SetHandler(registry, root, extension, PreviewHandlerKey, classes.preview);
        SetHandler(registry, RegistryRoot::LocalMachine, PropertyHandlerList, extension, classes.properties);
        const std::string settings = std::string(TypeSettings) + '\\' + extension;
        for (const auto& lists : PropertyLists)
            registry.SetStringValue(root, settings.c_str(), nullptr, lists.list, lists.valueName);
    });
}

void UnregisterShellHandlers(RegistryAccess& registry, const ShellHandlerClasses& classes, FileTypes pictured,
                             FileTypes types)
{
    const auto root = RegistryRoot::ClassesRoot;
    ForEachExtension(pictured, [&](const char* extension) {
        DeleteShellExHandler(registry, root, extension, ThumbnailHandlerKey, classes.thumbnail);
    });
    ForEachExtension(types, [&](const char* extension) {
        DeleteShellExHandler(registry, root, extension, PreviewHandlerKey, classes.preview);
        DeleteShellExHandler(registry, RegistryRoot::LocalMachine, PropertyHandlerList, extension,
                             classes.properties);
        const std::string settings = std::string(TypeSettings) + '\\' + extension;
        for (const auto& lists : PropertyLists)
            registry.DeleteValue(root, settings.c_str(), nullptr, lists.valueName);
        registry.DeleteKeyIfEmpty(root, settings.c_str(), nullptr);
        registry.DeleteKeyIfEmpty(root, extension, "ShellEx");
        registry.DeleteKeyIfEmpty(root, extension, nullptr);
    });
    registry.DeleteKeyIfEmpty(root, TypeSettings, nullptr);
    registry.DeleteValue(RegistryRoot::LocalMachine, PreviewHandlerList, nullptr, classes.preview);
    registry.DeleteKeyIfEmpty(RegistryRoot::LocalMachine, PreviewHandlerList, nullptr);
    registry.DeleteKeyIfEmpty(RegistryRoot::LocalMachine, PropertyHandlerList, nullptr);
    registry.DeleteKeyIfEmpty(RegistryRoot::LocalMachine, PropertySystem, nullptr);

    for (const char* classId : {classes.thumbnail, classes.preview, classes.properties}) {
        const std::string clsid = std::string("CLSID\\") + classId;
        registry.DeleteKey(root, clsid.c_str(), "InprocServer32");
        registry.DeleteKey(root, clsid.c_str(), nullptr);
    }
    registry.DeleteKeyIfEmpty(root, "CLSID", nullptr);
}

}  // namespace orv
