#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
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

// The table straight from its definition: every cell measured against every colour
// with D = sum of (C - centre)^2 + K, the lowest index winning equal distances. The
// RGB table's K is 2 x ((C mod s) - s / 2) + 1, the HSV table's 2 x (C - s / 2) + 1.
std::vector<uint8_t> FullScan(const Palette& palette, unsigned bits, bool hsv)
{
    int cells = 1 << bits, s = 1 << (8 - bits), q = s / 2;
    std::vector<uint8_t> table(InverseTableSize(bits), 0);
    std::vector<int64_t> best(table.size(), INT64_MAX);
    for (size_t i = 0; i < palette.size(); ++i) {
        int c[3] = {palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue};
        if (hsv) {
            HueSaturationValue converted = RgbToHsv(uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2]));
            c[0] = converted.hue;
            c[1] = converted.saturation;
            c[2] = converted.value;
        }
        int64_t k = 0;
        for (int channel : c)
            k += hsv ? 2 * (channel - q) + 1 : 2 * (channel % s - q) + 1;
        for (int a = 0; a < cells; ++a) {
            for (int b = 0; b < cells; ++b) {
                for (int e = 0; e < cells; ++e) {
                    int64_t da = c[0] - (a * s + q), db = c[1] - (b * s + q), de = c[2] - (e * s + q);
                    int64_t d = da * da + db * db + de * de + k;
                    size_t x = (size_t(a) << 2 * bits) | (size_t(b) << bits) | size_t(e);
                    if (d < best[x]) {
                        best[x] = d;
                        table[x] = uint8_t(i);
                    }
                }
            }
        }
    }
    return table;
}

std::vector<uint8_t> Large(const Palette& palette, unsigned bits)
{
    std::vector<uint8_t> table(InverseTableSize(bits), 0);
    EXPECT_TRUE(InverseTableLarge(uint32_t(palette.size()), palette.data(), bits, table.data()));
    return table;
}

// Names the first entries where the tables differ.
testing::AssertionResult SameTable(const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual)
{
    if (expected == actual)
        return testing::AssertionSuccess();
    testing::AssertionResult failure = testing::AssertionFailure() << actual.size() << " entries:";
    for (size_t x = 0, shown = 0; x < std::min(expected.size(), actual.size()) && shown < 8; ++x) {
        if (expected[x] != actual[x]) {
            failure << " entry " << x << ": " << int(actual[x]) << " instead of " << int(expected[x]) << ";";
            ++shown;
        }
    }
    return failure;
}

class PaletteMaker {
public:
    explicit PaletteMaker(uint32_t seed) : random(seed) {}

    int Below(int n) { return int(random() % uint32_t(n)); }

    Palette Random(int count)
    {
        Palette palette;
        for (int i = 0; i < count; ++i)
            palette.push_back(Colour(Below(256), Below(256), Below(256)));
        return palette;
    }

    // Colours gathered round a few centres, as the palette of a photograph.
    Palette Clustered(int count, int clusters, int spread)
    {
        Palette centres = Random(clusters);
        Palette palette;
        auto jitter = [&](int v) { return std::clamp(v + Below(2 * spread + 1) - spread, 0, 255); };
        for (int i = 0; i < count; ++i) {
            const RgbQuad& centre = centres[size_t(Below(clusters))];
            palette.push_back(Colour(jitter(centre.rgbRed), jitter(centre.rgbGreen), jitter(centre.rgbBlue)));
        }
        return palette;
    }

    // A few colours, repeated and padded with black.
    Palette Repeated(int distinct, int count)
    {
        Palette palette = Random(distinct);
        while (int(palette.size()) < count)
            palette.push_back(Below(2) ? Colour(0, 0, 0) : palette[size_t(Below(distinct))]);
        return palette;
    }

    // Colours close to black, each followed by its green and blue swapped: far from
    // them, distances run to hundreds of thousands and many are equal.
    Palette Huddled(int count)
    {
        Palette palette;
        while (int(palette.size()) < count) {
            RgbQuad colour = Colour(Below(24), Below(24), Below(24));
            palette.push_back(colour);
            palette.push_back(Colour(colour.rgbRed, colour.rgbBlue, colour.rgbGreen));
        }
        palette.resize(size_t(count));
        return palette;
    }

    Palette Greys(int count)
    {
        Palette palette;
        for (int i = 0; i < count; ++i) {
            int level = Below(256);
            palette.push_back(Colour(level, level, level));
        }
        return palette;
    }

private:
    std::mt19937 random;
};

// A 256-colour display's system palette: the twenty static colours at both ends and,
// between them, a 6 x 6 x 6 cube and a ramp of greys.
Palette SystemPalette()
{
    Palette palette = {Colour(0, 0, 0),     Colour(128, 0, 0),   Colour(0, 128, 0),   Colour(128, 128, 0),
                       Colour(0, 0, 128),   Colour(128, 0, 128), Colour(0, 128, 128), Colour(192, 192, 192),
                       Colour(192, 220, 192), Colour(166, 202, 240)};
    for (int i = 0; i < 216; ++i)
        palette.push_back(Colour(i / 36 * 51, i / 6 % 6 * 51, i % 6 * 51));
    for (int i = 1; i <= 20; ++i)
        palette.push_back(Colour(i * 12, i * 12, i * 12));
    palette.insert(palette.end(), {Colour(255, 251, 240), Colour(160, 160, 164), Colour(128, 128, 128),
                                   Colour(255, 0, 0), Colour(0, 255, 0), Colour(255, 255, 0), Colour(0, 0, 255),
                                   Colour(255, 0, 255), Colour(0, 255, 255), Colour(255, 255, 255)});
    return palette;
}

TEST(RgbToHsv, GivesHueOnItsCircleSaturationAndValue)
{
    const struct {
        int red, green, blue;
        HueSaturationValue expected;
    } cases[] = {
        {255, 0, 0, {0, 255, 255}},
        {0, 255, 0, {85, 255, 255}},
        {0, 0, 255, {170, 255, 255}},
        // Equal largest channels: red is tested before green, green before blue.
        {255, 255, 0, {42, 255, 255}},
        {255, 0, 255, {213, 255, 255}},
        {0, 255, 255, {128, 255, 255}},
        // h = -20 + 240 = 220, then 220 x 256 / 240.
        {255, 0, 128, {234, 255, 255}},
        {200, 100, 50, {13, 191, 200}},
        {1, 0, 0, {0, 255, 1}},
    };
    for (const auto& c : cases) {
        HueSaturationValue hsv = RgbToHsv(uint8_t(c.red), uint8_t(c.green), uint8_t(c.blue));
        EXPECT_EQ(hsv, c.expected) << c.red << ", " << c.green << ", " << c.blue << " gave " << int(hsv.hue)
                                   << ", " << int(hsv.saturation) << ", " << int(hsv.value);
    }
    for (int level = 0; level < 256; ++level)
        EXPECT_EQ(RgbToHsv(uint8_t(level), uint8_t(level), uint8_t(level)), (HueSaturationValue{0, 0, uint8_t(level)}));
}

// The region-growing build against the definition, cell for cell, before the black
// and white entries are set.
TEST(InverseTableLarge, EqualsAFullScanOfEveryCell)
{
    struct Case {
        std::string name;
        Palette palette;
        unsigned bits;
    };
    std::vector<Case> cases;
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        PaletteMaker make(seed);
        int count = 17 + make.Below(240);
        cases.push_back({"random " + std::to_string(count), make.Random(count), 4});
        cases.push_back({"random 256", make.Random(256), 4});
        cases.push_back({"clustered 256", make.Clustered(256, 1 + make.Below(8), 4 + make.Below(30)), 4});
        cases.push_back({"clustered tight", make.Clustered(17 + make.Below(240), 1 + make.Below(3), 2 + make.Below(10)), 4});
        cases.push_back({"repeated", make.Repeated(2 + make.Below(20), 17 + make.Below(240)), 4});
        cases.push_back({"greys", make.Greys(17 + make.Below(240)), 4});
        cases.push_back({"random, 3 bits", make.Random(17 + make.Below(240)), 3});
        cases.push_back({"clustered, 3 bits", make.Clustered(256, 4, 20), 3});
        cases.push_back({"huddled near black", make.Huddled(17 + make.Below(240)), 3 + seed % 3});
    }
    for (uint32_t seed = 100; seed <= 102; ++seed) {
        PaletteMaker make(seed);
        cases.push_back({"random 256, 5 bits", make.Random(256), 5});
        cases.push_back({"clustered 256, 5 bits", make.Clustered(256, 1 + make.Below(8), 2 + make.Below(20)), 5});
    }
    PaletteMaker make(7);
    Palette padded = make.Random(4);
    padded.resize(256, Colour(0, 0, 0));
    cases.push_back({"4 colours padded with black", padded, 4});
    cases.push_back({"system palette", SystemPalette(), 4});
    cases.push_back({"system palette, 5 bits", SystemPalette(), 5});
    cases.push_back({"256 greys", make.Greys(256), 4});
    cases.push_back({"one colour", make.Random(1), 4});
    cases.push_back({"five colours", make.Random(5), 4});

    for (const Case& c : cases) {
        EXPECT_TRUE(SameTable(FullScan(c.palette, c.bits, false), Large(c.palette, c.bits))) << c.name;
    }
}

// Palettes where a colour's cells form a sliver that passes between cell centres: a
// line or plane of the region holds no cell although the next one does. Stopping at
// the first line or plane without a cell misses (6, 7, 7) of the first palette and
// five cells of the second.
TEST(InverseTableLarge, FindsCellsBeyondALineOrPlaneWithoutAny)
{
    const Palette sliver = {
        Colour(168, 15, 237), Colour(72, 22, 43),   Colour(210, 75, 104), Colour(7, 162, 177),  Colour(95, 75, 213),
        Colour(47, 63, 31),   Colour(218, 148, 124), Colour(116, 37, 167), Colour(195, 102, 4),  Colour(170, 107, 51),
        Colour(103, 38, 234), Colour(33, 58, 124),  Colour(255, 67, 69),  Colour(88, 196, 46),  Colour(198, 95, 211),
        Colour(121, 31, 194), Colour(80, 52, 238)};
    const Palette slivers = {
        Colour(161, 75, 53),  Colour(211, 60, 132), Colour(2, 225, 23),   Colour(89, 92, 240),  Colour(94, 202, 65),
        Colour(141, 125, 244), Colour(99, 97, 199), Colour(114, 125, 205), Colour(141, 175, 161), Colour(104, 146, 251),
        Colour(43, 29, 95),   Colour(3, 51, 206),   Colour(158, 78, 123), Colour(12, 52, 93),   Colour(79, 164, 187),
        Colour(222, 27, 74),  Colour(156, 147, 68)};

    std::vector<uint8_t> table = Large(sliver, 4);
    EXPECT_EQ(table[RgbTableIndex(6 * 16, 7 * 16, 7 * 16, 4)], 11);
    EXPECT_TRUE(SameTable(FullScan(sliver, 4, false), table));

    table = Large(slivers, 4);
    EXPECT_EQ(table[RgbTableIndex(7 * 16, 12 * 16, 13 * 16, 4)], 14);
    EXPECT_EQ(table[RgbTableIndex(10 * 16, 3 * 16, 12 * 16, 4)], 6);
    EXPECT_TRUE(SameTable(FullScan(slivers, 4, false), table));
}

TEST(InverseTableSmall, EqualsAFullScanInHueSaturationAndValue)
{
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        PaletteMaker make(seed);
        Palette palette = make.Random(1 + make.Below(16));
        palette.push_back(Colour(0, 0, 0));
        palette.push_back(Colour(255, 255, 255));
        for (unsigned bits = InverseTableMinBits; bits <= InverseTableMaxBits; ++bits) {
            std::vector<uint8_t> table(InverseTableSize(bits), 0);
            ASSERT_TRUE(InverseTableSmall(uint32_t(palette.size()), palette.data(), bits, table.data()));
            EXPECT_TRUE(SameTable(FullScan(palette, bits, true), table))
                << palette.size() << " colours, " << bits << " bits";
        }
    }
}

TEST(BuildInverseTable, PutsExactBlackAndWhiteInTheCornerEntries)
{
    PaletteMaker make(3);
    Palette palette = make.Random(256);
    for (RgbQuad& colour : palette) {
        if (colour.rgbRed < 40 && colour.rgbGreen < 40 && colour.rgbBlue < 40)
            colour = Colour(128, 64, 32);
    }
    palette[3] = Colour(8, 8, 8);
    palette[9] = palette[12] = Colour(0, 0, 0);
    palette[100] = Colour(247, 247, 247);
    palette[7] = palette[250] = Colour(255, 255, 255);

    std::vector<uint8_t> measured = Large(palette, 4);
    EXPECT_EQ(measured[0], 3);
    EXPECT_EQ(measured[4095], 100);

    std::vector<uint8_t> table(4096, 0);
    ASSERT_TRUE(BuildInverseTable(256, palette.data(), 4, table.data()));
    EXPECT_EQ(table[0], 9);
    EXPECT_EQ(table[4095], 250);
    measured[0] = 9;
    measured[4095] = 250;
    EXPECT_TRUE(SameTable(measured, table));
}

TEST(BuildInverseTable, TakesUpToSixteenColoursInTheHsvLayoutAsMeasured)
{
    Palette palette(16, Colour(200, 40, 90));
    palette[3] = Colour(8, 8, 8);
    palette[9] = Colour(0, 0, 0);
    palette[11] = Colour(255, 255, 255);
    palette[14] = Colour(30, 160, 220);
    std::vector<uint8_t> table(4096, 0);
    ASSERT_TRUE(BuildInverseTable(16, palette.data(), 4, table.data()));
    EXPECT_TRUE(SameTable(FullScan(palette, 4, true), table));
    EXPECT_EQ(table[0], 3);
    EXPECT_EQ(table[HsvTableIndex(RgbToHsv(30, 160, 220), 4)], 14);
}

TEST(InverseTables, GiveEqualColoursTheLowerIndex)
{
    PaletteMaker make(11);
    Palette large = make.Random(40);
    large[25] = large[5];
    large[39] = large[5];
    std::vector<uint8_t> table = Large(large, 4);
    EXPECT_EQ(std::count(table.begin(), table.end(), 25) + std::count(table.begin(), table.end(), 39), 0);
    EXPECT_GT(std::count(table.begin(), table.end(), 5), 0);

    Palette small = make.Random(8);
    small[6] = small[2];
    std::vector<uint8_t> hsv(4096, 0);
    ASSERT_TRUE(InverseTableSmall(8, small.data(), 4, hsv.data()));
    EXPECT_EQ(std::count(hsv.begin(), hsv.end(), 6), 0);
    EXPECT_GT(std::count(hsv.begin(), hsv.end(), 2), 0);
}

TEST(BuildInverseTable, RefusesBadArgumentsAndLeavesTheTableAsItWas)
{
    Palette palette = PaletteMaker(5).Random(256);
    palette.push_back(Colour(1, 2, 3));
    const std::vector<uint8_t> untouched(4096, 0xA5);
    std::vector<uint8_t> table = untouched;
    EXPECT_FALSE(BuildInverseTable(20, nullptr, 4, table.data()));
    EXPECT_FALSE(BuildInverseTable(20, palette.data(), 4, nullptr));
    EXPECT_FALSE(BuildInverseTable(257, palette.data(), 4, table.data()));
    EXPECT_FALSE(BuildInverseTable(20, palette.data(), 2, table.data()));
    EXPECT_FALSE(BuildInverseTable(20, palette.data(), 6, table.data()));
    EXPECT_FALSE(InverseTableLarge(257, palette.data(), 4, table.data()));
    EXPECT_FALSE(InverseTableSmall(8, palette.data(), 6, table.data()));
    EXPECT_TRUE(table == untouched);

    EXPECT_TRUE(BuildInverseTable(0, palette.data(), 4, table.data()));
    EXPECT_TRUE(InverseTableLarge(0, palette.data(), 4, table.data()));
    EXPECT_TRUE(table == untouched);
}

}  // namespace
}  // namespace orv
