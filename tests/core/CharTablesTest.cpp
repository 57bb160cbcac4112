#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "ScopedCharTables.h"
#include "util/CharTables.h"

namespace orv {
namespace {

using ActiveTables = test::ScopedCharTables;

struct NamedPair {
    const char* name;
    const CharTablePair* pair;
    int codePage;
};

const NamedPair allPairs[] = {
    {"Roman", &RomanChars, 1252},
    {"CentralEuropean", &CentralEuropeanChars, 1250},
    {"Cyrillic", &CyrillicChars, 1251},
    {"Greek", &GreekChars, 1253},
};

TEST(CharTables, LowerHalvesAreTheIdentityAndUpperHalvesPermutationsButGreek)
{
    for (const auto& [name, pair, codePage] : allPairs) {
        std::set<int> targets;
        for (int b = 0; b < 256; ++b) {
            EXPECT_EQ(pair->macToWin[b] >= 0x80, b >= 0x80) << name << " byte " << b;
            if (b < 0x80) {
                EXPECT_EQ(pair->macToWin[b], b) << name;
                EXPECT_EQ(pair->winToMac[b], b) << name;
            }
            targets.insert(pair->macToWin[b]);
        }
        if (pair != &GreekChars) {
            EXPECT_EQ(targets.size(), 256u) << name;
        }
    }
}

// Greek maps two bytes each way onto one, so those two come back as their partners.
TEST(CharTables, EveryByteSurvivesARoundTripButTheSharedGreekOnes)
{
    for (const auto& [name, pair, codePage] : allPairs) {
        ActiveTables active(pair);
        const bool greek = pair == &GreekChars;
        for (int b = 0; b < 256; ++b) {
            unsigned char mac = static_cast<unsigned char>(b);
            TranslateChars(&mac, 1, 1);
            TranslateChars(&mac, 1, 0);
            unsigned char win = static_cast<unsigned char>(b);
            TranslateChars(&win, 1, 0);
            TranslateChars(&win, 1, 1);
            EXPECT_EQ(mac, greek && b == 0x8B ? 0xD3 : b) << name << " Mac byte " << b;
            EXPECT_EQ(win, greek && b == 0xA4 ? 0xCB : b) << name << " Windows byte " << b;
        }
    }
}

TEST(CharTables, GreekPairSharesTargetsWhereTheCharacterSetsDiffer)
{
    EXPECT_EQ(GreekChars.macToWin[0x8B], 0xB4);
    EXPECT_EQ(GreekChars.macToWin[0xD3], 0xB4);
    EXPECT_EQ(GreekChars.winToMac[0xA4], 0xA4);
    EXPECT_EQ(GreekChars.winToMac[0xCB], 0xA4);
}

TEST(CharTables, CodePagesSelectTheirPairAndOthersChangeNothing)
{
    for (const auto& [name, pair, codePage] : allPairs) {
        ActiveTables none(nullptr);
        SelectCharTablesForCodePage(codePage);
        EXPECT_EQ(ActiveCharTables(), pair) << name;
        for (int other : {-1, 0, 437, 1249, 1254, 65001}) {
            SelectCharTablesForCodePage(other);
            EXPECT_EQ(ActiveCharTables(), pair) << name << " after " << other;
        }
    }
    ActiveTables none(nullptr);
    SelectCharTablesForCodePage(1254);
    EXPECT_EQ(ActiveCharTables(), nullptr);
}

TEST(TranslateString, CStringsTranslateBothWaysOnlyWithAnActivePair)
{
    std::string all;
    for (int i = 1; i < 256; ++i)
        all.push_back(static_cast<char>(i));
    const struct {
        const CharTablePair* pair;
        std::string mac;
        std::string win;
    } cases[] = {{nullptr, all, all}, {&RomanChars, "Caf\x8E", "Caf\xE9"}};
    for (const auto& [pair, mac, win] : cases) {
        ActiveTables active(pair);
        std::string text = mac;
        TranslateCString(text.data(), 1);
        EXPECT_EQ(text, win);
        TranslateCString(text.data(), 0);
        EXPECT_EQ(text, mac);
    }
}

TEST(TranslateString, PascalStringsTranslateTheTextButNeverTheCount)
{
    ActiveTables roman(&RomanChars);
    unsigned char empty[3] = {0, 0x8E, 0x8E};
    TranslatePString(empty, 1);
    EXPECT_EQ(empty[1], 0x8E);

    // 0xC8 is itself a translatable byte (Mac guillemet).
    unsigned char text[0xC9 + 1] = {};
    text[0] = 0xC8;
    for (int i = 1; i <= 0xC8; ++i)
        text[i] = 0x8E;
    text[0xC9] = 0x8E;
    TranslatePString(text, 1);
    EXPECT_EQ(text[0], 0xC8);
    EXPECT_EQ(text[1], 0xE9);
    EXPECT_EQ(text[0xC8], 0xE9);
    EXPECT_EQ(text[0xC9], 0x8E);  // past the count
}

TEST(TranslateString, CountBelowOneDoesNothing)
{
    ActiveTables roman(&RomanChars);
    unsigned char byte = 0x8E;
    TranslateChars(&byte, 0, 1);
    TranslateChars(&byte, -5, 1);
    EXPECT_EQ(byte, 0x8E);
}

}  // namespace
}  // namespace orv
