#include <gtest/gtest.h>

#include "RegistryAccessCases.h"
#include "server/MemoryKeyStore.h"

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

TEST(RegistryAccess, WithoutAStoreEverythingReadsAsAbsent)
{
    RegistryAccess registry;
    std::string out;
    uint32_t number = 5;
    char file[260] = "x";
    int index = 1;
    EXPECT_FALSE(registry.SetStringValue(RegistryRoot::ClassesRoot, "k", nullptr, "v", nullptr));
    EXPECT_FALSE(registry.SetDwordValue(RegistryRoot::CurrentUser, "k", nullptr, 1, "n"));
    EXPECT_FALSE(registry.GetStringValue(RegistryRoot::ClassesRoot, "k", nullptr, nullptr, out));
    EXPECT_FALSE(registry.GetDwordValue(RegistryRoot::CurrentUser, "k", nullptr, "n", number));
    EXPECT_FALSE(registry.DeleteKey(RegistryRoot::ClassesRoot, "k", nullptr));
    EXPECT_FALSE(registry.GetDefaultIcon(".pln", file, index));
    EXPECT_EQ(number, 5u);
}

}  // namespace
}  // namespace orv
