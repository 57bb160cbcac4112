#pragma once
#include <cstdint>

#include "preview/PictureHeaders.h"

namespace orv {

// Hue on a 240-step circle scaled to 0..254 (red 0, green 85, blue 170), saturation
// and value 0..255.
struct HueSaturationValue {
    uint8_t hue;
    uint8_t saturation;
    uint8_t value;

    bool operator==(const HueSaturationValue&) const = default;
};

HueSaturationValue RgbToHsv(uint8_t red, uint8_t green, uint8_t blue);

// An inverse colour table has 2^(3 x bits) one-byte palette indices, bits being 3 to 5
// per channel. Cell k along an axis covers the channel values k x s to k x s + s - 1,
// s = 2^(8 - bits).
inline constexpr unsigned InverseTableMinBits = 3;
inline constexpr unsigned InverseTableMaxBits = 5;

constexpr uint32_t InverseTableSize(unsigned bits)
{
    return uint32_t{1} << (3 * bits);
}

// Entry of a colour in the RGB layout, used for palettes of more than 16 colours.
constexpr uint32_t RgbTableIndex(uint8_t red, uint8_t green, uint8_t blue, unsigned bits)
{
    unsigned shift = 8 - bits;
    return (uint32_t{red} >> shift << 2 * bits) + (uint32_t{green} >> shift << bits) + (uint32_t{blue} >> shift);
}

// Entry of a colour in the HSV layout, used for palettes of up to 16 colours.
constexpr uint32_t HsvTableIndex(HueSaturationValue hsv, unsigned bits)
{
    return RgbTableIndex(hsv.hue, hsv.saturation, hsv.value, bits);
}

// Fills table (InverseTableSize(bits) entries) with the index of the palette colour
// nearest to each cell: the RGB layout for more than 16 colours, with an exactly
// black colour's first index in entry 0 and an exactly white colour's last index in
// the last entry; the HSV layout for up to 16 colours. Equal distances go to the
// lower index. No colours leave the table as it was. False, with the table
// untouched, for a missing palette or table, more than 256 colours, bits outside 3
// to 5, or no memory for the distances.
bool BuildInverseTable(uint32_t colourCount, const RgbQuad* colours, unsigned bits, uint8_t* table);

// The two layouts on their own, without the black and white entries: every cell of
// the HSV table is measured against every colour, while the RGB table measures, box
// by box, only the colours that can still be nearest there.
bool InverseTableSmall(uint32_t colourCount, const RgbQuad* colours, unsigned bits, uint8_t* table);
bool InverseTableLarge(uint32_t colourCount, const RgbQuad* colours, unsigned bits, uint8_t* table);

}  // namespace orv
