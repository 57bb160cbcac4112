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
    void PutString(const char* key, const char* name, const char* text)
    {
        Put(key, name, ValueString, text, static_cast<uint32_t>(std::strlen(text) + 1));
    }
};

TYPED_TEST_SUITE_P(RegistryAccessCases);

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
}

TYPED_TEST_P(RegistryAccessCases, StringReadsStopAt512Bytes)
{
    std::string fits(511, 'f');
    std::string tooLong(512, 'l');
    this->PutString("Orv.Fits", nullptr, fits.c_str());
    this->PutString("Orv.TooLong", nullptr, tooLong.c_str());
    std::string out;
    ASSERT_TRUE(this->registry.GetStringValue(RegistryRoot::ClassesRoot, "Orv.Fits", nullptr, nullptr, out));
    EXPECT_EQ(out, fits);
    EXPECT_FALSE(this->registry.GetStringValue(RegistryRoot::ClassesRoot, "Orv.TooLong", nullptr, nullptr, out));
}

TYPED_TEST_P(RegistryAccessCases, DwordReadsAnswerOnlyForRealDwords)
{
    auto& r = this->registry;
    const auto user = RegistryRoot::CurrentUser;
    const char* key = "Software\\Orvenstaal\\ShellExtension";
    ASSERT_TRUE(r.SetDwordValue(user, key, nullptr, 0, "PreviewIcons"));
    uint32_t number = 7;
    ASSERT_TRUE(r.GetDwordValue(user, key, nullptr, "PreviewIcons", number));
    EXPECT_EQ(number, 0u);

    ASSERT_TRUE(r.SetStringValue(user, key, nullptr, "1", "PreviewIcons"));
    number = 7;
    EXPECT_FALSE(r.GetDwordValue(user, key, nullptr, "PreviewIcons", number));
    EXPECT_FALSE(r.GetDwordValue(user, key, nullptr, "Missing", number));
    EXPECT_FALSE(r.GetDwordValue(user, "Software\\Nowhere", nullptr, "PreviewIcons", number));
    EXPECT_EQ(number, 7u);

    const uint8_t eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    this->Put("Orv.Binary", "Wide", ValueBinary, eight, sizeof eight);
    const uint32_t four = 1;
    this->Put("Orv.Binary", "Four", ValueBinary, &four, sizeof four);
    EXPECT_FALSE(r.GetDwordValue(RegistryRoot::ClassesRoot, "Orv.Binary", nullptr, "Wide", number));
    EXPECT_FALSE(r.GetDwordValue(RegistryRoot::ClassesRoot, "Orv.Binary", nullptr, "Four", number));
    EXPECT_EQ(number, 7u);
}

TYPED_TEST_P(RegistryAccessCases, DeleteRemovesOneKeyAndRefusesParents)
{
    auto& r = this->registry;
    const auto root = RegistryRoot::ClassesRoot;
    ASSERT_TRUE(r.SetStringValue(root, "QuickView\\.pln", "{ABC}", nullptr, nullptr));
    EXPECT_FALSE(r.DeleteKey(root, "QuickView", ".pln"));
    EXPECT_TRUE(r.DeleteKey(root, "QuickView\\.PLN", "{abc}"));
    EXPECT_FALSE(r.DeleteKey(root, "QuickView\\.pln", "{ABC}"));
    EXPECT_TRUE(r.DeleteKey(root, "QuickView", ".pln"));
    EXPECT_NE(this->store.OpenKey(root, "QuickView"), nullptr);
    EXPECT_EQ(this->store.OpenKey(root, "QuickView\\.pln"), nullptr);
}

TYPED_TEST_P(RegistryAccessCases, OverlongKeyPathsAreRefusedWholesale)
{
    std::string key(200, 'k');
    std::string subkey(60, 's');
    EXPECT_FALSE(this->registry.SetStringValue(RegistryRoot::ClassesRoot, key.c_str(), subkey.c_str(), "x", nullptr));
    EXPECT_EQ(this->store.OpenKey(RegistryRoot::ClassesRoot, key.c_str()), nullptr);
}

TYPED_TEST_P(RegistryAccessCases, DefaultIconSplitsAtTheFirstComma)
{
    this->PutString(".pln", nullptr, "Orv.Plan");
    this->PutString("Orv.Plan\\DefaultIcon", nullptr, "C:\\App\\icons.dll,-105");
    this->PutString(".pla", nullptr, "Orv.Archive");
    this->PutString("Orv.Archive\\DefaultIcon", nullptr, "%1");
    this->PutString(".plc", nullptr, "Orv.NoIcon");
    this->PutString(".plp", nullptr, "Orv.Odd");
    this->PutString("Orv.Odd\\DefaultIcon", nullptr, "a.dll,7,8");

    char file[260] = "before";
    int index = 3;
    ASSERT_TRUE(this->registry.GetDefaultIcon(".pln", file, index));
    EXPECT_STREQ(file, "C:\\App\\icons.dll");
    EXPECT_EQ(index, -105);

    index = 3;
    ASSERT_TRUE(this->registry.GetDefaultIcon(".pla", file, index));
    EXPECT_STREQ(file, "%1");
    EXPECT_EQ(index, 3);

    ASSERT_TRUE(this->registry.GetDefaultIcon(".plp", file, index));
    EXPECT_STREQ(file, "a.dll");
    EXPECT_EQ(index, 7);

    std::strcpy(file, "before");
    index = 3;
    EXPECT_FALSE(this->registry.GetDefaultIcon(".plc", file, index));
    EXPECT_FALSE(this->registry.GetDefaultIcon(".bpn", file, index));
    EXPECT_STREQ(file, "before");
    EXPECT_EQ(index, 3);
}

TYPED_TEST_P(RegistryAccessCases, LongDefaultIconsAreCutToThePathBuffer)
{
    std::string longFile(400, 'p');
    this->PutString(".pln", nullptr, "Orv.Plan");
    this->PutString("Orv.Plan\\DefaultIcon", nullptr, (longFile + ",2").c_str());
    char file[261];
    file[260] = 'g';
    int index = 0;
    ASSERT_TRUE(this->registry.GetDefaultIcon(".pln", file, index));
    EXPECT_EQ(std::string(file), longFile.substr(0, 259));
    EXPECT_EQ(file[260], 'g');
    EXPECT_EQ(index, 2);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryAccessCases, StringValuesRoundTripAndNullDataCreatesTheKeyOnly,
                            StringReadsStopAt512Bytes, DwordReadsAnswerOnlyForRealDwords,
                            DeleteRemovesOneKeyAndRefusesParents, OverlongKeyPathsAreRefusedWholesale,
                            DefaultIconSplitsAtTheFirstComma, LongDefaultIconsAreCutToThePathBuffer);

}  // namespace orv::test
