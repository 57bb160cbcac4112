#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "ScopedCharTables.h"
#include "util/CharTables.h"

namespace orv {
namespace {

using ActiveTables = test::ScopedCharTables;

const std::pair<const CharTablePair*, int> allPairs[] = {
    {&RomanChars, 1252}, {&CentralEuropeanChars, 1250}, {&CyrillicChars, 1251}, {&GreekChars, 1253}};

// Each code page selects its pair, which other code pages leave selected. Each table
// undoes the other for all 256 codes, so a wrong byte in either shows; Greek maps two
// bytes each way onto one: Mac 0x8B comes back as 0xD3 and Windows 0xA4 as 0xCB.
TEST(CharTables, CodePagesSelectPairsWhoseCodesSurviveARoundTrip)
{
    std::vector<unsigned char> codes(256);
    std::iota(codes.begin(), codes.end(), 0);
    for (const auto& [pair, codePage] : allPairs) {
        ActiveTables none(nullptr);
        SelectCharTablesForCodePage(1254);
        EXPECT_EQ(ActiveCharTables(), nullptr);
        SelectCharTablesForCodePage(codePage);
        for (int other : {0, 437, 1249, 1254, 65001})
            SelectCharTablesForCodePage(other);
        ASSERT_EQ(ActiveCharTables(), pair) << codePage;
        for (int fromMac : {1, 0}) {
            std::vector<unsigned char> back = codes;
            TranslateChars(back.data(), 256, fromMac);
            TranslateChars(back.data(), 256, !fromMac);
            std::vector<unsigned char> expected = codes;
            if (pair == &GreekChars)
                expected[fromMac ? 0x8B : 0xA4] = fromMac ? 0xD3 : 0xCB;
            EXPECT_EQ(back, expected) << codePage << (fromMac ? " from Mac" : " from Windows");
        }
    }
}

}  // namespace
}  // namespace orv
