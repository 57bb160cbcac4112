#include <gtest/gtest.h>

#include <cstring>

#include "util/ByteOrder.h"

namespace orv {
namespace {

TEST(ByteOrder, SwapsExchangeBytesAndRestoreTheFieldWhenAppliedTwice)
{
    unsigned char field16[2] = {0x12, 0x34};
    Swap16(field16);
    EXPECT_EQ(0, std::memcmp(field16, "\x34\x12", 2));
    Swap16(field16);
    EXPECT_EQ(0, std::memcmp(field16, "\x12\x34", 2));

    unsigned char field32[4] = {0x01, 0x02, 0x03, 0x04};
    Swap32(field32);
    EXPECT_EQ(0, std::memcmp(field32, "\x04\x03\x02\x01", 4));
    Swap32(field32);
    EXPECT_EQ(0, std::memcmp(field32, "\x01\x02\x03\x04", 4));
}

TEST(MacDate, ZeroIsTheEmptyDateInBothForms)
{
    uint32_t date = 0;
    ConvertMacDate(&date, 1);
    EXPECT_EQ(date, 0u);
    ConvertMacDate(&date, 0);
    EXPECT_EQ(date, 0u);
}

TEST(MacDate, FromMacReversesTheBytesAndMovesTheEpoch)
{
    // 1 January 1970 as a Mac stores it: 2082844800 seconds after 1904, big-endian.
    const unsigned char stored[4] = {0x7C, 0x25, 0xB0, 0x80};
    uint32_t date;
    std::memcpy(&date, stored, 4);
    ConvertMacDate(&date, 1);
    EXPECT_EQ(date, 2u * 2082844800u);
}

// The one value in each form whose counterpart is 0, the empty date, cannot come
// back; every other value does.
TEST(MacDate, ConvertingThereAndBackRestoresTheStoredBytes)
{
    for (uint32_t stored : {1u, 2u, 0x7FFFFFFFu, 0x80000000u, 2082844799u, 2082844801u,
                            0xFFFFFFFEu, 0xFFFFFFFFu, 0x0100007Cu, 0x80B0257Cu}) {
        uint32_t date = stored;
        ConvertMacDate(&date, 1);
        ConvertMacDate(&date, 0);
        EXPECT_EQ(date, stored);
        ConvertMacDate(&date, 0);
        ConvertMacDate(&date, 1);
        EXPECT_EQ(date, stored);
    }
}

}  // namespace
}  // namespace orv
