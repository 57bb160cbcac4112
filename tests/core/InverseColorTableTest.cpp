#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "preview/InverseColorTable.h"
#include "preview/PictureHeaders.h"

namespace orv {
namespace {

using Palette = std::vector<RgbQuad>;

RgbQuad Colour(int red, int green, int blue)
{
    return {uint8_t(blue), uint8_t(green), uint8_t(red), 0};
}

// Red, green and blue of each colour in turn.
Palette Colours(const std::vector<int>& channels)
{
    Palette palette;
    for (size_t i = 0; i + 2 < channels.size(); i += 3)
        palette.push_back(Colour(channels[i], channels[i + 1], channels[i + 2]));
    return palette;
}

// The table straight from its definition: every cell measured against every colour
// with D = sum of (C - centre)^2 + K, the lowest index winning equal distances. The
// RGB table's K is 2 x ((C mod s) - s / 2) + 1, the HSV table's 2 x (C - s / 2) + 1.
std::vector<uint8_t> FullScan(const Palette& palette, unsigned bits, bool hsv)
{
    int s = 1 << (8 - bits), q = s / 2;
    std::vector<uint8_t> table(InverseTableSize(bits), 0);
    std::vector<int64_t> best(table.size(), INT64_MAX);
    for (size_t i = 0; i < palette.size(); ++i) {
        const RgbQuad& colour = palette[i];
        HueSaturationValue converted = RgbToHsv(colour.rgbRed, colour.rgbGreen, colour.rgbBlue);
        int c[3] = {hsv ? converted.hue : colour.rgbRed, hsv ? converted.saturation : colour.rgbGreen,
                    hsv ? converted.value : colour.rgbBlue};
        for (size_t x = 0; x < table.size(); ++x) {
            int64_t d = 0;
            for (int axis = 0; axis < 3; ++axis) {
                int64_t centre = int64_t(x >> (2 - axis) * bits & ((1u << bits) - 1)) * s + q;
                int64_t own = hsv ? c[axis] - q : c[axis] % s - q;
                d += (c[axis] - centre) * (c[axis] - centre) + 2 * own + 1;
            }
            if (d < best[x]) {
                best[x] = d;
                table[x] = uint8_t(i);
            }
        }
    }
    return table;
}

// Colours round a number of random centres, each channel within spread of its
// centre's, the centres' channels below range: as many centres as colours and no
// spread make a random palette, a few centres and no spread one of repeated colours.
Palette Gathered(uint32_t seed, int count, int centres, int spread, int range = 256)
{
    std::mt19937 random(seed);
    auto below = [&](int n) { return int(random() % uint32_t(n)); };
    auto near = [&](int v) { return std::clamp(v + below(2 * spread + 1) - spread, 0, 255); };
    Palette middles, palette;
    for (int i = 0; i < centres; ++i)
        middles.push_back(Colour(below(range), below(range), below(range)));
    for (int i = 0; i < count; ++i) {
        const RgbQuad& m = middles[size_t(i < centres ? i : below(centres))];
        palette.push_back(Colour(near(m.rgbRed), near(m.rgbGreen), near(m.rgbBlue)));
    }
    return palette;
}

// A 6 x 6 x 6 cube, black first and white last, then greys from (6, 6, 6) to
// (240, 240, 240), as a 256-colour display's palette has them.
Palette Cube()
{
    Palette cube;
    for (int i = 0; i < 216; ++i)
        cube.push_back(Colour(i / 36 * 51, i / 6 % 6 * 51, i % 6 * 51));
    for (int level = 6; level <= 240; level += 6)
        cube.push_back(Colour(level, level, level));
    return cube;
}

TEST(RgbToHsv, GivesHueOnItsCircleSaturationAndValue)
{
    const std::tuple<int, int, int, HueSaturationValue> cases[] = {
        {255, 0, 0, {0, 255, 255}}, {0, 255, 0, {85, 255, 255}}, {0, 0, 255, {170, 255, 255}},
        // Equal largest channels: red is tested before green, green before blue.
        {255, 255, 0, {42, 255, 255}}, {255, 0, 255, {213, 255, 255}}, {0, 255, 255, {128, 255, 255}},
        // h = -20 + 240 = 220, then 220 x 256 / 240.
        {255, 0, 128, {234, 255, 255}}, {200, 100, 50, {13, 191, 200}}, {1, 0, 0, {0, 255, 1}},
        {0, 0, 0, {0, 0, 0}}, {77, 77, 77, {0, 0, 77}}, {255, 255, 255, {0, 0, 255}},
    };
    for (const auto& [red, green, blue, expected] : cases) {
        HueSaturationValue hsv = RgbToHsv(uint8_t(red), uint8_t(green), uint8_t(blue));
        EXPECT_EQ(hsv, expected) << red << ", " << green << ", " << blue << " gave " << int(hsv.hue) << ", "
                                 << int(hsv.saturation) << ", " << int(hsv.value);
    }
}

// Both layouts against the definition, cell for cell: the HSV layout measuring every
// colour, later equal colours never winning a cell; the RGB layout, box by box,
// before the black and white entries are set.
TEST(InverseTables, EqualAFullScanOfEveryCell)
{
    // Colours whose cells form a sliver passing between cell centres, so that a line
    // or plane of their region holds no cell although the next one does.
    std::vector<std::tuple<std::string, Palette, unsigned, bool>> cases = {
        {"a sliver",
         Colours({168, 15,  237, 72, 22, 43,  210, 75, 104, 7,   162, 177, 95,  75, 213, 47,  63,  31,
                  218, 148, 124, 116, 37, 167, 195, 102, 4,  170, 107, 51,  103, 38, 234, 33,  58,  124,
                  255, 67,  69, 88, 196, 46, 198, 95, 211, 121, 31,  194, 80,  52, 238}),
         4, false},
        {"slivers",
         Colours({161, 75, 53,  211, 60, 132, 2,  225, 23,  89, 92, 240, 94,  202, 65, 141, 125, 244,
                  99,  97, 199, 114, 125, 205, 141, 175, 161, 104, 146, 251, 43, 29, 95, 3, 51, 206,
                  158, 78, 123, 12,  52,  93, 79,  164, 187, 222, 27,  74,  156, 147, 68}),
         4, false},
        {"one colour", Gathered(7, 1, 1, 0), 4, false}, {"five colours", Gathered(7, 5, 5, 0), 4, false},
        {"a cube and greys", Cube(), 4, false}, {"a cube and greys, 5 bits", Cube(), 5, false},
    };
    Palette padded = Gathered(7, 4, 4, 0);
    padded.resize(256, Colour(0, 0, 0));
    cases.push_back({"4 colours padded with black", padded, 4, false});
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        int count = 17 + int(seed * 97 % 240);
        unsigned bits = 3 + seed % 3;
        cases.push_back({"random", Gathered(seed, count, count, 0), bits, false});
        cases.push_back({"random 256", Gathered(seed, 256, 256, 0), 4, false});
        Palette clustered = Gathered(seed, 256, int(1 + seed % 8), int(4 + seed * 7 % 30));
        Palette tight = Gathered(seed, count, int(1 + seed % 3), int(2 + seed % 10));
        cases.push_back({"clustered", clustered, bits, false});
        cases.push_back({"clustered tight", tight, 4, false});
        cases.push_back({"repeated", Gathered(seed, count, int(2 + seed * 3 % 20), 0), 4, false});
        cases.push_back({"near black", Gathered(seed, count, count, 0, 24), bits, false});
        Palette few = Gathered(seed, int(1 + seed % 14), int(1 + seed % 14), 0);
        few.insert(few.end(), {Colour(0, 0, 0), few[0], Colour(255, 255, 255)});
        for (unsigned small = InverseTableMinBits; small <= InverseTableMaxBits; ++small)
            cases.push_back({"few", few, small, true});
    }
    for (const auto& [name, palette, bits, hsv] : cases) {
        std::vector<uint8_t> table(InverseTableSize(bits), 0);
        auto build = hsv ? InverseTableSmall : InverseTableLarge;
        ASSERT_TRUE(build(uint32_t(palette.size()), palette.data(), bits, table.data()));
        EXPECT_EQ(table, FullScan(palette, bits, hsv)) << name << ", " << palette.size() << " colours, " << bits;
    }
}

// Up to sixteen colours are measured in the HSV layout, more in the RGB layout with
// the first exactly black colour in the first entry and the last exactly white one in
// the last. Measured, the near grey colours would take them.
TEST(BuildInverseTable, MeasuresSmallPalettesInHsvAndLargeOnesInRgbWithBlackAndWhiteInTheCorners)
{
    Palette palette = Cube();
    palette[3] = palette[215];
    palette[250] = palette[0];
    // The first colours of the palette; the entries for black and white unless as measured.
    const std::tuple<int, int, int> cases[] = {{256, 0, 215}, {17, 0, 3}, {16, -1, -1}};
    for (const auto& [count, black, white] : cases) {
        std::vector<uint8_t> expected = FullScan({palette.begin(), palette.begin() + count}, 4, count <= 16);
        expected.front() = black < 0 ? expected.front() : uint8_t(black);
        expected.back() = white < 0 ? expected.back() : uint8_t(white);
        std::vector<uint8_t> table(4096, 0);
        ASSERT_TRUE(BuildInverseTable(uint32_t(count), palette.data(), 4, table.data()));
        EXPECT_EQ(table, expected) << count << " colours";
    }
}

TEST(BuildInverseTable, RefusesBadArgumentsAndLeavesTheTableAsItWas)
{
    Palette palette = Gathered(5, 257, 257, 0);
    const std::vector<uint8_t> untouched(4096, 0xA5);
    std::vector<uint8_t> table = untouched;
    EXPECT_FALSE(BuildInverseTable(20, nullptr, 4, table.data()));
    EXPECT_FALSE(BuildInverseTable(20, palette.data(), 4, nullptr));
    EXPECT_FALSE(BuildInverseTable(257, palette.data(), 4, table.data()));
    EXPECT_FALSE(BuildInverseTable(20, palette.data(), 2, table.data()));
    EXPECT_FALSE(BuildInverseTable(20, palette.data(), 6, table.data()));
    EXPECT_FALSE(InverseTableLarge(257, palette.data(), 4, table.data()));
    EXPECT_FALSE(InverseTableSmall(8, palette.data(), 6, table.data()));
    EXPECT_TRUE(BuildInverseTable(0, palette.data(), 4, table.data()));
    EXPECT_TRUE(InverseTableLarge(0, palette.data(), 4, table.data()));
    EXPECT_EQ(table, untouched);
}

}  // namespace
}  // namespace orv
