#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "util/ByteOrder.h"

namespace orv {
namespace {

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
