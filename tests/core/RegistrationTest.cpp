#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "registry/MemoryKeyStore.h"
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

using Lines = std::multiset<std::string>;

// Every key of the classes root on a line of its own, and every value as
// "key|name=text" (an empty name is the default value); values that are not
// terminated REG_SZ strings show as such.
Lines Listing(const MemoryKeyStore& store)
{
    Lines lines;
    for (const auto& [key, values] : store.Keys(RegistryRoot::ClassesRoot)) {
        lines.insert(key);
        for (const auto& [name, value] : values) {
            bool isString = value.type == ValueString && !value.data.empty() && value.data.back() == 0;
            std::string text = isString ? std::string(value.data.begin(), value.data.end() - 1)
                                        : "<not a string>";
            lines.insert(key + "|" + name + "=" + text);
        }
    }
    return lines;
}

// The store's own == is deleted with KeyStore having none, so the trees are compared.
bool SameKeys(const MemoryKeyStore& a, const MemoryKeyStore& b)
{
    return a.Keys(RegistryRoot::ClassesRoot) == b.Keys(RegistryRoot::ClassesRoot) &&
           a.Keys(RegistryRoot::CurrentUser) == b.Keys(RegistryRoot::CurrentUser);
}

void PutString(MemoryKeyStore& store, const char* key, const char* text)
{
    auto opened = store.CreateKey(RegistryRoot::ClassesRoot, key);
    ASSERT_NE(opened, nullptr);
    auto size = static_cast<uint32_t>(std::strlen(text) + 1);
    ASSERT_TRUE(opened->SetValue(nullptr, ValueString, text, size));
}

TEST(Registration, AnEmptyStoreGetsExactlyTheServersKeys)
{
    MemoryKeyStore store;
    RegistryAccess registry(&store);
    RegisterServer(registry, modulePath, classId, AllExtensionTables);

    const std::string clsid = "clsid\\" + classIdKey;
    Lines expected = {"clsid", clsid + "\\notinsertable", clsid + "\\inprocserver32|threadingmodel=Apartment",
                      "*", "*\\shellex", "*\\shellex\\propertysheethandlers", "quickview"};
    auto withDefault = [&](const std::string& key, const std::string& text) {
        expected.insert({key, key + "|=" + text});
    };
    withDefault("orvenstaal.shellextension.2", "Orvenstaal Shell Extension 2.0");
    withDefault("orvenstaal.shellextension.2\\clsid", classId);
    withDefault("orvenstaal.shellextension", "Orvenstaal Shell Extension");
    withDefault("orvenstaal.shellextension\\curver", "Orvenstaal.ShellExtension.2");
    withDefault(clsid, "Orvenstaal Shell Extension 2.0");
    withDefault(clsid + "\\progid", "Orvenstaal.ShellExtension.2");
    withDefault(clsid + "\\versionindependentprogid", "Orvenstaal.ShellExtension");
    withDefault(clsid + "\\inprocserver32", modulePath);
    withDefault("*\\shellex\\propertysheethandlers\\orvenstaal.shellextension", classId);
    for (std::string extension : allExtensions) {
        expected.insert({extension, extension + "\\shellex"});
        withDefault(extension + "\\shellex\\iconhandler", classId);
        if (!withoutQuickView.count(extension))
            expected.insert({"quickview\\" + extension, "quickview\\" + extension + "\\" + classIdKey});
    }
    EXPECT_EQ(Listing(store), expected);
    EXPECT_TRUE(store.Keys(RegistryRoot::CurrentUser).empty());
}

TEST(Registration, IconHandlersGoUnderTheProgramIdTheExtensionNames)
{
    MemoryKeyStore store;
    PutString(store, ".pln", "Orv.Plan");
    PutString(store, ".qdl", "");
    RegistryAccess registry(&store);
    RegisterServer(registry, modulePath, classId, AllExtensionTables);

    const auto& keys = store.Keys(RegistryRoot::ClassesRoot);
    auto handler = keys.find("orv.plan\\shellex\\iconhandler");
    ASSERT_NE(handler, keys.end());
    EXPECT_EQ(handler->second.at("").data,
              std::vector<uint8_t>(classId, classId + std::strlen(classId) + 1));
    EXPECT_EQ(keys.count(".pln\\shellex"), 0u);
    EXPECT_EQ(keys.count(".qdl\\shellex\\iconhandler"), 1u) << "an empty program id names none";

    UnregisterServer(registry, classId, AllExtensionTables);
    EXPECT_EQ(keys.count("orv.plan\\shellex\\iconhandler"), 0u);
    EXPECT_EQ(keys.count("orv.plan\\shellex"), 1u);
    EXPECT_EQ(keys.count(".qdl\\shellex\\iconhandler"), 0u);
}

TEST(Registration, RegisteringTwiceLeavesWhatRegisteringOnceLeaves)
{
    MemoryKeyStore once;
    PutString(once, ".lay", "Orv.Layout");
    MemoryKeyStore twice = once;

    RegistryAccess onceRegistry(&once);
    RegisterServer(onceRegistry, modulePath, classId, AllExtensionTables);
    RegistryAccess twiceRegistry(&twice);
    RegisterServer(twiceRegistry, modulePath, classId, AllExtensionTables);
    RegisterServer(twiceRegistry, modulePath, classId, AllExtensionTables);
    EXPECT_TRUE(SameKeys(once, twice));
}

TEST(Registration, UnregisteringLeavesOnlyTheKeysOnTheWay)
{
    MemoryKeyStore store;
    RegistryAccess registry(&store);
    RegisterServer(registry, modulePath, classId, AllExtensionTables);
    UnregisterServer(registry, classId, AllExtensionTables);

    Lines expected = {"clsid", "quickview", "*", "*\\shellex", "*\\shellex\\propertysheethandlers"};
    for (std::string extension : allExtensions)
        expected.insert({extension, extension + "\\shellex"});
    EXPECT_EQ(Listing(store), expected);
}

TEST(Registration, UnregisteringRemovesNothingThatIsNotOurs)
{
    MemoryKeyStore untouched;
    RegistryAccess emptyRegistry(&untouched);
    UnregisterServer(emptyRegistry, classId, AllExtensionTables);
    EXPECT_TRUE(untouched.Keys(RegistryRoot::ClassesRoot).empty());

    MemoryKeyStore others;
    PutString(others, ".pln", "Orv.Plan");
    PutString(others, "Orv.Plan\\shellex\\IconHandler", otherClassId);
    PutString(others, ".qdl\\shellex\\IconHandler", otherClassId);
    std::string otherViewer = std::string("QuickView\\.mod\\") + otherClassId;
    ASSERT_NE(others.CreateKey(RegistryRoot::ClassesRoot, otherViewer.c_str()), nullptr);
    PutString(others, "*\\shellex\\PropertySheetHandlers\\Other", otherClassId);
    const MemoryKeyStore before = others;

    RegistryAccess registry(&others);
    UnregisterServer(registry, classId, AllExtensionTables);
    EXPECT_TRUE(SameKeys(others, before));
    EXPECT_FALSE(registry.UnregisterIconHandler(".qdl", classId));
    EXPECT_FALSE(registry.UnregisterQuickView(".mod", classId));

    RegisterServer(registry, modulePath, classId, AllExtensionTables);
    EXPECT_TRUE(registry.UnregisterQuickView(".pln", classId));
    EXPECT_FALSE(registry.UnregisterQuickView(".mod", classId)) << "another viewer keeps the key";
    EXPECT_TRUE(registry.UnregisterIconHandler(".pln", classId));
    UnregisterServer(registry, classId, AllExtensionTables);
    const auto& keys = others.Keys(RegistryRoot::ClassesRoot);
    EXPECT_EQ(keys.count("quickview\\.mod\\{11111111-2222-3333-4444-555555555555}"), 1u);
    EXPECT_EQ(keys.count("*\\shellex\\propertysheethandlers\\other"), 1u);
}

TEST(Registration, TheEarlierPropertySheetHandlerNameMakesWay)
{
    MemoryKeyStore store;
    PutString(store, "*\\shellex\\PropertySheetHandlers\\Orvenstaal.BVShellExtension", otherClassId);
    RegistryAccess registry(&store);
    RegisterServer(registry, modulePath, classId, AllExtensionTables);
    const auto& keys = store.Keys(RegistryRoot::ClassesRoot);
    EXPECT_EQ(keys.count("*\\shellex\\propertysheethandlers\\orvenstaal.bvshellextension"), 0u);
    EXPECT_EQ(keys.count("*\\shellex\\propertysheethandlers\\orvenstaal.shellextension"), 1u);
}

}  // namespace
}  // namespace orv
