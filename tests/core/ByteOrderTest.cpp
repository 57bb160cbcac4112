#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "util/ByteOrder.h"

namespace orv {
namespace {

TEST(ByteOrder, SwapsReverseTheBytesOfTheirField)
{
    unsigned char field[4] = {1, 2, 3, 4};
    Swap16(field);
    Swap32(field);
    EXPECT_EQ(std::vector<unsigned char>(field, field + 4), (std::vector<unsigned char>{4, 3, 1, 2}));
}

// 0, the empty date, stays 0 both ways; other values come back from a conversion
// there and back, near 2^32 too. 7C 25 B0 80 is 1 January 1970 as a Mac stores it.
TEST(MacDate, ConvertsBothWaysAndKeepsTheEmptyDate)
{
    uint32_t from1970;
    std::memcpy(&from1970, "\x7C\x25\xB0\x80", 4);
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0, 0}, {from1970, 2 * MacDateOffset}, {0x01000000u, 1 + MacDateOffset},
        {0xFFFFFFFFu, 0xFFFFFFFFu + MacDateOffset}};
    for (const auto& [stored, converted] : cases) {
        uint32_t date = stored;
        ConvertMacDate(&date, 1);
        EXPECT_EQ(date, converted) << stored;
        ConvertMacDate(&date, 0);
        EXPECT_EQ(date, stored);
    }
}

}  // namespace
}  // namespace orv
