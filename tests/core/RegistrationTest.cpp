#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "registry/MemoryKeyStore.h"
#include "registry/PerUserKeyStore.h"
#include "registry/Registration.h"
#include "shell/ExtensionTables.h"

namespace orv {
namespace {

const char* const classId = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
const std::string classIdKey = "{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}";
const char* const otherClassId = "{11111111-2222-3333-4444-555555555555}";
const char* const modulePath = "C:\\Program Files\\Orvenstaal\\orvshell.dll";

const char* const allExtensions[] = {
    ".pln", ".2dl", ".pla", ".plc", ".pca", ".plp", ".ppa", ".bpn", ".bpc", ".bpp",
    ".qxm", ".dor", ".win", ".rsm", ".lmp", ".ism", ".esm", ".qps", ".wps", ".cps",
    ".sps", ".rps", ".fps", ".qdl", ".mod", ".sfk", ".lay", ".qdd", ".qpd", ".vec",
};
const std::set<std::string> withoutQuickView = {".qdl", ".sfk", ".lay", ".qdd", ".qpd", ".vec"};

using Lines = std::set<std::string>;

// Every key of the root on a line of its own, each key's path after prefix, and every
// value as "key|name=text" (an empty name is the default value); values that are not
// terminated REG_SZ strings show as such.
Lines RootListing(const MemoryKeyStore& store, RegistryRoot root, const std::string& prefix = "")
{
    Lines lines;
    for (const auto& [key, values] : store.Keys(root)) {
        lines.insert(prefix + key);
        for (const auto& [name, value] : values) {
            bool isString = value.type == ValueString && !value.data.empty() && value.data.back() == 0;
            std::string text = isString ? std::string(value.data.begin(), value.data.end() - 1)
                                        : "<not a string>";
            lines.insert(prefix + key + "|" + name + "=" + text);
        }
    }
    return lines;
}

// The listing of a registration for the machine, which leaves the user root alone.
Lines Listing(const MemoryKeyStore& store, RegistryRoot root = RegistryRoot::ClassesRoot)
{
    EXPECT_TRUE(store.Keys(RegistryRoot::CurrentUser).empty());
    return RootListing(store, root);
}

void PutString(KeyStore& store, const std::string& key, const char* text,
               RegistryRoot root = RegistryRoot::ClassesRoot)
{
    auto opened = store.CreateKey(root, key.c_str());
    ASSERT_NE(opened, nullptr);
    ASSERT_TRUE(opened->SetValue(nullptr, ValueString, text, static_cast<uint32_t>(std::strlen(text) + 1)));
}

// Registering twice leaves what registering once leaves, and the name an earlier
// version gave the property sheet handler makes way. Unregistering leaves nothing,
// not even the keys on the way to ours.
TEST(Registration, RegisteringWritesExactlyTheServersKeysAndUnregisteringRemovesThem)
{
    MemoryKeyStore store;
    PutString(store, "*\\shellex\\PropertySheetHandlers\\Orvenstaal.BVShellExtension", otherClassId);
    RegistryAccess registry(&store);
    RegisterServer(registry, modulePath, classId, AllExtensionTables);
    RegisterServer(registry, modulePath, classId, AllExtensionTables);

    const std::string clsid = "clsid\\" + classIdKey;
    Lines onTheWay = {"clsid", "*", "*\\shellex", "*\\shellex\\propertysheethandlers", "quickview"};
    for (std::string extension : allExtensions)
        onTheWay.insert({extension, extension + "\\shellex"});
    Lines expected = onTheWay;
    expected.insert({clsid + "\\notinsertable", clsid + "\\inprocserver32|threadingmodel=Apartment"});
    const std::pair<std::string, std::string> defaults[] = {
        {"orvenstaal.shellextension.2", "Orvenstaal Shell Extension 2.0"},
        {"orvenstaal.shellextension.2\\clsid", classId},
        {"orvenstaal.shellextension", "Orvenstaal Shell Extension"},
        {"orvenstaal.shellextension\\curver", "Orvenstaal.ShellExtension.2"},
        {clsid, "Orvenstaal Shell Extension 2.0"},
        {clsid + "\\progid", "Orvenstaal.ShellExtension.2"},
        {clsid + "\\versionindependentprogid", "Orvenstaal.ShellExtension"},
        {clsid + "\\inprocserver32", modulePath},
        {"*\\shellex\\propertysheethandlers\\orvenstaal.shellextension", classId},
    };
    for (const auto& [key, text] : defaults)
        expected.insert({key, key + "|=" + text});
    for (std::string extension : allExtensions) {
        const std::string handler = extension + "\\shellex\\iconhandler";
        expected.insert({handler, handler + "|=" + classId});
        if (!withoutQuickView.count(extension))
            expected.insert({"quickview\\" + extension, "quickview\\" + extension + "\\" + classIdKey});
    }
    EXPECT_EQ(Listing(store), expected);

    UnregisterServer(registry, classId, AllExtensionTables);
    EXPECT_EQ(Listing(store), Lines());
}

// Another product's keys stay as they were. An icon handler goes under the program id
// the extension names (an empty one names none) and replaces another class's there,
// which unregistering puts back; a Quick View key goes only when no other viewer is left
// under it. The handlers a current shell asks for go beside the server's class: the
// thumbnail handler for the types with pictures, the others for every type, the
// machine's lists under the machine's root, unless another product's handler has the type.
// A registration for one user writes the same in the user's classes and settings, and
// nothing elsewhere.
TEST(Registration, HandlersFollowTheTypesAndOnlyOurKeysAreRemovedForTheMachineOrOneUser)
{
    const ShellHandlerClasses classes = {"{A1111111-0000-0000-0000-000000000001}",
                                         "{B2222222-0000-0000-0000-000000000002}",
                                         "{C3333333-0000-0000-0000-000000000003}"};
    const std::string ours = std::string("|=") + classId;
    const std::string replaced = std::string("\\shellex\\iconhandler|orvenstaal.replacedhandler=") + otherClassId;
    const std::string thumbnail = "\\shellex\\{e357fccd-a995-4576-b01f-234630154e96}";
    const std::string preview = "\\shellex\\{8895b1c6-b41f-4c1c-a562-0d564250836f}|=";
    const std::string handlers = "software\\microsoft\\windows\\currentversion\\";
    const std::string properties = handlers + "propertysystem\\propertyhandlers\\";
    MemoryKeyStore store, userStore;
    PerUserKeyStore user(userStore);
    RegistryAccess registry(&store), userRegistry(&user);
    for (KeyStore* target : {static_cast<KeyStore*>(&store), static_cast<KeyStore*>(&user)}) {
        PutString(*target, ".pln", "Orv.Plan");
        PutString(*target, "Orv.Plan\\shellex\\IconHandler", otherClassId);
        PutString(*target, ".qdl", "");
        PutString(*target, ".qdl\\shellex\\IconHandler", otherClassId);
        PutString(*target, std::string("QuickView\\.mod\\") + otherClassId, "");
        PutString(*target, "*\\shellex\\PropertySheetHandlers\\Other", otherClassId);
        PutString(*target, ".lay\\ShellEx\\{8895B1C6-B41F-4C1C-A562-0D564250836F}", otherClassId);
        PutString(*target, "SystemFileAssociations\\.qdl\\shell\\edit", "Edit");
        PutString(*target, handlers + "PropertySystem\\PropertyHandlers\\.mod", otherClassId,
                  RegistryRoot::LocalMachine);
    }
    const Lines before = Listing(store), machineBefore = Listing(store, RegistryRoot::LocalMachine);
    const Lines userBefore = RootListing(userStore, RegistryRoot::CurrentUser);
    const ExtensionTable* const pictured[] = {&PlanExtensions};
    UnregisterServer(registry, classId, AllExtensionTables);
    EXPECT_EQ(Listing(store), before);
    EXPECT_FALSE(registry.UnregisterIconHandler(".pln", classId));
    EXPECT_FALSE(registry.UnregisterIconHandler(".qdl", classId));
    EXPECT_FALSE(registry.UnregisterQuickView(".mod", classId));

    for (RegistryAccess* access : {&registry, &userRegistry}) {
        RegisterServer(*access, modulePath, classId, AllExtensionTables);
        RegisterShellHandlers(*access, modulePath, classes, pictured, AllExtensionTables);
    }
    const Lines classesRoot = Listing(store), machine = Listing(store, RegistryRoot::LocalMachine);
    Lines mirrored = RootListing(store, RegistryRoot::ClassesRoot, "software\\classes\\");
    mirrored.merge(Lines(machine));
    mirrored.insert({"software", "software\\classes"});
    EXPECT_EQ(RootListing(userStore, RegistryRoot::CurrentUser), mirrored);
    EXPECT_TRUE(userStore.Keys(RegistryRoot::ClassesRoot).empty());
    EXPECT_TRUE(userStore.Keys(RegistryRoot::LocalMachine).empty());
    const std::pair<const Lines*, std::string> present[] = {
        {&classesRoot, "orv.plan\\shellex\\iconhandler" + ours},
        {&classesRoot, ".qdl\\shellex\\iconhandler" + ours},
        {&classesRoot, "orv.plan" + replaced},
        {&classesRoot, ".qdl" + replaced},
        {&classesRoot, ".pln" + thumbnail + "|=" + classes.thumbnail},
        {&classesRoot, ".qdl" + preview + classes.preview},
        {&classesRoot, ".lay" + preview + otherClassId},
        {&classesRoot, "clsid\\{b2222222-0000-0000-0000-000000000002}|appid={6d2b5079-2f0b-48dd-ab7f-97cec514d30b}"},
        {&classesRoot, "clsid\\{c3333333-0000-0000-0000-000000000003}\\inprocserver32|=" + std::string(modulePath)},
        {&classesRoot, "clsid\\{a1111111-0000-0000-0000-000000000001}\\inprocserver32|threadingmodel=Apartment"},
        {&classesRoot, "systemfileassociations\\.vec|infotip=prop:System.Title;System.ApplicationName;System.Author;"
                    "System.DateModified;System.Size"},
        {&classesRoot, "systemfileassociations\\.qdl\\shell\\edit|=Edit"},
        {&machine, handlers + "previewhandlers|" + "{b2222222-0000-0000-0000-000000000002}=Orvenstaal Preview Handler"},
        {&machine, properties + ".sfk|=" + classes.properties},
        {&machine, properties + ".mod|=" + otherClassId},
    };
    for (const auto& [lines, line] : present)
        EXPECT_EQ(lines->count(line), 1u) << line;
    EXPECT_EQ(classesRoot.count(".pln\\shellex\\iconhandler"), 0u);
    EXPECT_EQ(classesRoot.count(".qdl" + thumbnail), 0u);
    EXPECT_TRUE(registry.UnregisterIconHandler(".pln", classId));
    EXPECT_TRUE(registry.UnregisterQuickView(".pln", classId));
    EXPECT_FALSE(registry.UnregisterQuickView(".mod", classId));
    for (RegistryAccess* access : {&registry, &userRegistry}) {
        UnregisterServer(*access, classId, AllExtensionTables);
        UnregisterShellHandlers(*access, classes, pictured, AllExtensionTables);
    }
    EXPECT_EQ(Listing(store), before);
    EXPECT_EQ(Listing(store, RegistryRoot::LocalMachine), machineBefore);
    EXPECT_EQ(RootListing(userStore, RegistryRoot::CurrentUser), userBefore);
}

}  // namespace
}  // namespace orv
