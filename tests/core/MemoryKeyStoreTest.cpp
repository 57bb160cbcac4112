#include <gtest/gtest.h>

#include "RegistryAccessCases.h"
#include "registry/MemoryKeyStore.h"

namespace orv {
namespace test {

struct MemoryStore {
    MemoryKeyStore store;
    KeyStore& Store() { return store; }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, RegistryAccessCases, MemoryStore);

}  // namespace test

namespace {

TEST(MemoryKeyStore, PathsWithAnEmptyLevelAreRefused)
{
    MemoryKeyStore store;
    for (const char* path : {"", "\\a", "a\\", "a\\\\b"}) {
        EXPECT_EQ(store.CreateKey(RegistryRoot::ClassesRoot, path), nullptr) << path;
        EXPECT_EQ(store.OpenKey(RegistryRoot::ClassesRoot, path), nullptr) << path;
        EXPECT_FALSE(store.DeleteKey(RegistryRoot::ClassesRoot, path)) << path;
    }
    EXPECT_TRUE(store.Keys(RegistryRoot::ClassesRoot).empty());
}

// Reads of absent keys fail and leave their results alone, as every operation does
// without a store. ".plc" names a program id without an icon.
TEST(RegistryAccess, AbsentKeysAndAMissingStoreReadAsAbsent)
{
    MemoryKeyStore store;
    RegistryAccess(&store).SetStringValue(RegistryRoot::ClassesRoot, ".plc", nullptr, "Orv.NoIcon", nullptr);
    for (KeyStore* given : {static_cast<KeyStore*>(&store), static_cast<KeyStore*>(nullptr)}) {
        RegistryAccess registry(given);
        std::string out = "x";
        uint32_t number = 5;
        char file[260] = "x";
        int index = 1;
        EXPECT_FALSE(registry.GetStringValue(RegistryRoot::ClassesRoot, "k", nullptr, nullptr, out));
        EXPECT_FALSE(registry.GetDwordValue(RegistryRoot::CurrentUser, "k", nullptr, "n", number));
        EXPECT_FALSE(registry.DeleteKey(RegistryRoot::ClassesRoot, "k", nullptr));
        EXPECT_FALSE(registry.GetDefaultIcon(".plc", file, index));
        EXPECT_FALSE(registry.GetDefaultIcon(".bpn", file, index));
        EXPECT_EQ(out, "x");
        EXPECT_EQ(number, 5u);
        EXPECT_STREQ(file, "x");
        EXPECT_EQ(index, 1);
    }
    RegistryAccess without;
    EXPECT_FALSE(without.SetStringValue(RegistryRoot::ClassesRoot, "k", nullptr, "v", nullptr));
    EXPECT_FALSE(without.SetDwordValue(RegistryRoot::CurrentUser, "k", nullptr, 1, "n"));
}

}  // namespace
}  // namespace orv
