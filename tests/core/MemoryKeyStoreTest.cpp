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

TEST(MemoryKeyStore, CreatingAKeyCreatesItsParentsAndRootsAreSeparate)
{
    MemoryKeyStore store;
    ASSERT_NE(store.CreateKey(RegistryRoot::ClassesRoot, "CLSID\\{X}\\InprocServer32"), nullptr);
    const auto& keys = store.Keys(RegistryRoot::ClassesRoot);
    EXPECT_EQ(keys.size(), 3u);
    EXPECT_TRUE(keys.count("clsid"));
    EXPECT_TRUE(keys.count("clsid\\{x}"));
    EXPECT_TRUE(store.Keys(RegistryRoot::CurrentUser).empty());
    EXPECT_EQ(store.OpenKey(RegistryRoot::CurrentUser, "CLSID"), nullptr);
}

TEST(MemoryKeyStore, ValuesKeepTheirTypeAndBytes)
{
    MemoryKeyStore store;
    auto key = store.CreateKey(RegistryRoot::CurrentUser, "Software");
    const uint32_t one = 1;
    ASSERT_TRUE(key->SetValue("Flag", ValueDword, &one, 4));
    ASSERT_TRUE(key->SetValue("flag", ValueString, "1", 2));
    uint32_t type = 0;
    char data[8];
    uint32_t size = sizeof data;
    ASSERT_TRUE(key->QueryValue("FLAG", type, data, size));
    EXPECT_EQ(type, ValueString);
    EXPECT_EQ(size, 2u);
    size = 1;
    EXPECT_FALSE(key->QueryValue("FLAG", type, data, size));
}

TEST(MemoryKeyStore, DeleteRefusesKeysWithSubkeysWhateverTheirNamesSortLike)
{
    MemoryKeyStore store;
    store.CreateKey(RegistryRoot::ClassesRoot, "a\\z");
    store.CreateKey(RegistryRoot::ClassesRoot, "a.b");
    store.CreateKey(RegistryRoot::ClassesRoot, "a!");
    EXPECT_FALSE(store.DeleteKey(RegistryRoot::ClassesRoot, "a"));
    EXPECT_TRUE(store.DeleteKey(RegistryRoot::ClassesRoot, "a\\z"));
    EXPECT_TRUE(store.DeleteKey(RegistryRoot::ClassesRoot, "A"));
    EXPECT_FALSE(store.DeleteKey(RegistryRoot::ClassesRoot, "a"));
    EXPECT_FALSE(store.DeleteKey(RegistryRoot::ClassesRoot, ""));
    EXPECT_EQ(store.Keys(RegistryRoot::ClassesRoot).size(), 2u);
}

TEST(RegistryAccess, WithoutAStoreEverythingReadsAsAbsent)
{
    RegistryAccess registry;
    std::string out;
    uint32_t number = 5;
    char file[260] = "x";
    int index = 1;
    EXPECT_FALSE(registry.SetStringValue(RegistryRoot::ClassesRoot, "k", nullptr, "v", nullptr));
    EXPECT_FALSE(registry.GetStringValue(RegistryRoot::ClassesRoot, "k", nullptr, nullptr, out));
    EXPECT_FALSE(registry.GetDwordValue(RegistryRoot::CurrentUser, "k", nullptr, "n", number));
    EXPECT_FALSE(registry.DeleteKey(RegistryRoot::ClassesRoot, "k", nullptr));
    EXPECT_FALSE(registry.GetDefaultIcon(".pln", file, index));
    EXPECT_EQ(number, 5u);
}

}  // namespace
}  // namespace orv
