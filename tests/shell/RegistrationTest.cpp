#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "RedirectedRegistry.h"
#include "registry/Registration.h"
#include "shell/ExtensionTables.h"
#include "util/win32/UniqueHandle.h"

namespace orv::test {
namespace {

const char* const classId = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
const char* const modulePath = "C:\\Program Files\\Orvenstaal\\orvshell.dll";
const std::string clsidKey = std::string("CLSID\\") + classId;
const std::string handlers = "*\\shellex\\PropertySheetHandlers";

bool KeyExists(const std::string& path)
{
    unique_hkey key;
    return RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// The REG_SZ value as the registry holds it, or what stands in its way.
std::string StringValue(const std::string& path, const char* name = nullptr)
{
    unique_hkey key;
    char data[512];
    DWORD type = 0;
    DWORD size = sizeof data;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return "<no key>";
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return "<no value>";
    return type == REG_SZ && size > 0 && data[size - 1] == '\0' ? std::string(data, size - 1) : "<not a string>";
}

// An icon handler key's owner: the program id that the extension names, if any.
std::string IconHandlerOwner(const char* extension)
{
    return std::string(extension) == ".pln" ? "Orv.Plan" : extension;
}

class RegistrationInRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, ".pln", nullptr, REG_SZ, "Orv.Plan", 9), ERROR_SUCCESS);
    }

    RedirectedRegistry redirected;
    RegistryAccess registry{&redirected.Store()};
};

TEST_F(RegistrationInRegistry, RegisteringWritesTheClassTheFileTypesAndThePageHandler)
{
    RegisterServer(registry, modulePath, classId, AllExtensionTables);

    EXPECT_EQ(StringValue("Orvenstaal.ShellExtension.2"), "Orvenstaal Shell Extension 2.0");
    EXPECT_EQ(StringValue("Orvenstaal.ShellExtension.2\\CLSID"), classId);
    EXPECT_EQ(StringValue("Orvenstaal.ShellExtension"), "Orvenstaal Shell Extension");
    EXPECT_EQ(StringValue("Orvenstaal.ShellExtension\\CurVer"), "Orvenstaal.ShellExtension.2");
    EXPECT_EQ(StringValue(clsidKey), "Orvenstaal Shell Extension 2.0");
    EXPECT_EQ(StringValue(clsidKey + "\\ProgID"), "Orvenstaal.ShellExtension.2");
    EXPECT_EQ(StringValue(clsidKey + "\\VersionIndependentProgID"), "Orvenstaal.ShellExtension");
    EXPECT_EQ(StringValue(clsidKey + "\\InprocServer32"), modulePath);
    EXPECT_EQ(StringValue(clsidKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(StringValue(clsidKey + "\\NotInsertable"), "<no value>");
    EXPECT_EQ(StringValue(handlers + "\\Orvenstaal.ShellExtension"), classId);

    for (const ExtensionTable* table : AllExtensionTables)
        for (const ExtensionEntry& row : table->rows) {
            EXPECT_EQ(StringValue(IconHandlerOwner(row.extension) + "\\shellex\\IconHandler"), classId)
                << row.extension;
            EXPECT_EQ(KeyExists(std::string("QuickView\\") + row.extension + "\\" + classId),
                      table->quickView)
                << row.extension;
        }
    EXPECT_FALSE(KeyExists(".pln\\shellex"));
}

TEST_F(RegistrationInRegistry, UnregisteringRemovesTheServersKeysAndKeepsTheFileTypes)
{
    RegisterServer(registry, modulePath, classId, AllExtensionTables);
    UnregisterServer(registry, classId, AllExtensionTables);

    EXPECT_FALSE(KeyExists("Orvenstaal.ShellExtension.2"));
    EXPECT_FALSE(KeyExists("Orvenstaal.ShellExtension"));
    EXPECT_FALSE(KeyExists(clsidKey));
    EXPECT_TRUE(KeyExists("CLSID"));
    EXPECT_FALSE(KeyExists(handlers + "\\Orvenstaal.ShellExtension"));
    EXPECT_TRUE(KeyExists(handlers));
    EXPECT_TRUE(KeyExists("QuickView"));
    for (const ExtensionTable* table : AllExtensionTables)
        for (const ExtensionEntry& row : table->rows) {
            std::string owner = IconHandlerOwner(row.extension);
            EXPECT_FALSE(KeyExists(owner + "\\shellex\\IconHandler")) << row.extension;
            EXPECT_TRUE(KeyExists(owner + "\\shellex")) << row.extension;
            EXPECT_FALSE(KeyExists(std::string("QuickView\\") + row.extension)) << row.extension;
        }
    EXPECT_EQ(StringValue(".pln"), "Orv.Plan");
}

}  // namespace
}  // namespace orv::test
