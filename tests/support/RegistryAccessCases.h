#pragma once
// The registry semantics the server relies on, run against any key store: the
// memory store natively and the real registry under Wine. An environment type
// gives the store, with both roots empty at the start of each test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "registry/RegistryAccess.h"

namespace orv::test {

template <typename Environment>
class RegistryAccessCases : public ::testing::Test {
protected:
    Environment environment;
    KeyStore& store = environment.Store();
    RegistryAccess registry{&store};

    void Put(const char* key, const char* name, uint32_t type, const void* data, uint32_t size)
    {
        auto opened = store.CreateKey(RegistryRoot::ClassesRoot, key);
        ASSERT_NE(opened, nullptr);
        ASSERT_TRUE(opened->SetValue(name, type, data, size));
    }
    void PutString(const char* key, const char* text)
    {
        Put(key, nullptr, ValueString, text, static_cast<uint32_t>(std::strlen(text) + 1));
    }
};

TYPED_TEST_SUITE_P(RegistryAccessCases);

// Names are compared without regard to case; a string read takes at most 512 bytes.
TYPED_TEST_P(RegistryAccessCases, StringValuesRoundTripAndNullDataCreatesTheKeyOnly)
{
    auto& r = this->registry;
    const auto root = RegistryRoot::ClassesRoot;
    EXPECT_TRUE(r.SetStringValue(root, "Orv.Test", "CLSID", nullptr, nullptr));
    EXPECT_NE(this->store.OpenKey(root, "Orv.Test\\CLSID"), nullptr);
    std::string out = "unchanged";
    EXPECT_FALSE(r.GetStringValue(root, "Orv.Test", "CLSID", nullptr, out));
    EXPECT_EQ(out, "unchanged");

    EXPECT_TRUE(r.SetStringValue(root, "Orv.Test", nullptr, "Friendly", nullptr));
    EXPECT_TRUE(r.SetStringValue(root, "Orv.Test", "InprocServer32", "Apartment", "ThreadingModel"));
    ASSERT_TRUE(r.GetStringValue(root, "Orv.Test", nullptr, nullptr, out));
    EXPECT_EQ(out, "Friendly");
    ASSERT_TRUE(r.GetStringValue(root, "orv.test\\inprocserver32", nullptr, "threadingmodel", out));
    EXPECT_EQ(out, "Apartment");

    const std::string fits(511, 'f');
    this->PutString("Orv.Fits", fits.c_str());
    this->PutString("Orv.TooLong", (fits + 'l').c_str());
    ASSERT_TRUE(r.GetStringValue(root, "Orv.Fits", nullptr, nullptr, out));
    EXPECT_EQ(out, fits);
    EXPECT_FALSE(r.GetStringValue(root, "Orv.TooLong", nullptr, nullptr, out));
}

TYPED_TEST_P(RegistryAccessCases, DwordReadsAnswerOnlyForFourByteDwords)
{
    auto& r = this->registry;
    const auto user = RegistryRoot::CurrentUser;
    const char* key = "Software\\Orvenstaal\\ShellExtension";
    ASSERT_TRUE(r.SetDwordValue(user, key, nullptr, 0, "PreviewIcons"));
    uint32_t number = 7;
    ASSERT_TRUE(r.GetDwordValue(user, key, nullptr, "PreviewIcons", number));
    EXPECT_EQ(number, 0u);

    const uint8_t eight[8] = {1};
    this->Put("Orv.Values", "Text", ValueString, "1", 2);
    this->Put("Orv.Values", "Short", ValueDword, eight, 2);
    this->Put("Orv.Values", "Wide", ValueDword, eight, 8);
    this->Put("Orv.Values", "Binary", ValueBinary, eight, 4);
    number = 7;
    for (const char* name : {"Text", "Short", "Wide", "Binary", "Missing"})
        EXPECT_FALSE(r.GetDwordValue(RegistryRoot::ClassesRoot, "Orv.Values", nullptr, name, number)) << name;
    EXPECT_FALSE(r.GetDwordValue(user, "Software\\Nowhere", nullptr, "PreviewIcons", number));
    EXPECT_EQ(number, 7u);
}

// "QuickView!" and "QuickView.old" sort between "QuickView" and its subkeys.
TYPED_TEST_P(RegistryAccessCases, DeleteRemovesOneKeyOrValueAndRefusesParents)
{
    auto& r = this->registry;
    const auto root = RegistryRoot::ClassesRoot;
    ASSERT_TRUE(r.SetStringValue(root, "QuickView\\.pln", "{ABC}", nullptr, nullptr));
    ASSERT_TRUE(r.SetStringValue(root, "QuickView!", nullptr, nullptr, nullptr));
    ASSERT_TRUE(r.SetStringValue(root, "QuickView.old", nullptr, nullptr, nullptr));
    EXPECT_FALSE(r.DeleteKey(root, "QuickView", nullptr));
    EXPECT_FALSE(r.DeleteKey(root, "QuickView", ".pln"));
    EXPECT_TRUE(r.DeleteKey(root, "QuickView\\.PLN", "{abc}"));
    EXPECT_FALSE(r.DeleteKey(root, "QuickView\\.pln", "{ABC}"));
    EXPECT_TRUE(r.DeleteKey(root, "QuickView", ".pln"));
    EXPECT_NE(this->store.OpenKey(root, "QuickView"), nullptr);
    EXPECT_EQ(this->store.OpenKey(root, "QuickView\\.pln"), nullptr);

    // A value goes alone, and only from a key that exists.
    ASSERT_TRUE(r.SetStringValue(root, "QuickView", nullptr, "kept", "Other"));
    ASSERT_TRUE(r.SetStringValue(root, "QuickView", nullptr, "gone", "Ours"));
    EXPECT_TRUE(r.DeleteValue(root, "QuickView", nullptr, "OURS"));
    EXPECT_FALSE(r.DeleteValue(root, "QuickView", nullptr, "Ours"));
    EXPECT_FALSE(r.DeleteValue(root, "QuickView", ".pln", "Ours"));
    EXPECT_EQ(this->store.OpenKey(root, "QuickView\\.pln"), nullptr);
    std::string text;
    EXPECT_TRUE(r.GetStringValue(root, "QuickView", nullptr, "Other", text));
    EXPECT_EQ(text, "kept");
}

// Key paths of up to 255 characters are taken; a longer one is not cut but refused.
TYPED_TEST_P(RegistryAccessCases, OverlongKeyPathsAreRefusedWholesale)
{
    const auto root = RegistryRoot::ClassesRoot;
    const std::string subkey(60, 's');
    for (size_t length : {194u, 195u}) {
        const std::string key(length, 'k');
        EXPECT_EQ(this->registry.SetStringValue(root, key.c_str(), subkey.c_str(), "x", nullptr), length == 194);
        EXPECT_EQ(this->store.OpenKey(root, key.c_str()) != nullptr, length == 194);
    }
}

REGISTER_TYPED_TEST_SUITE_P(RegistryAccessCases, StringValuesRoundTripAndNullDataCreatesTheKeyOnly,
                            DwordReadsAnswerOnlyForFourByteDwords, DeleteRemovesOneKeyOrValueAndRefusesParents,
                            OverlongKeyPathsAreRefusedWholesale);

}  // namespace orv::test
