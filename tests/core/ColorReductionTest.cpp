#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "preview/ColorReduction.h"
#include "preview/InverseColorTable.h"
#include "preview/PictureHeaders.h"

namespace orv {
namespace {

using Palette = std::vector<RgbQuad>;
using Bytes = std::vector<uint8_t>;
using Values = std::vector<uint64_t>;

RgbQuad Colour(int red, int green, int blue)
{
    return {uint8_t(blue), uint8_t(green), uint8_t(red), 0};
}

// Colours given as 0xRRGGBB.
Palette Colours(const Values& rgbs)
{
    Palette palette;
    for (uint64_t rgb : rgbs)
        palette.push_back(Colour(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF));
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
        {255, 0, 128, {234, 255, 255}}, {200, 100, 50, {13, 191, 200}}, {100, 200, 50, {71, 191, 200}},
        {1, 0, 0, {0, 255, 1}}, {0, 0, 0, {0, 0, 0}}, {77, 77, 77, {0, 0, 77}}, {255, 255, 255, {0, 0, 255}},
    };
    for (const auto& [r, g, b, expected] : cases)
        EXPECT_EQ(RgbToHsv(uint8_t(r), uint8_t(g), uint8_t(b)), expected) << r << ", " << g << ", " << b;
}

// Both layouts against the definition, cell for cell: the HSV layout measuring every
// colour, later equal colours never winning a cell; the RGB layout, box by box,
// before the black and white entries are set.
TEST(InverseTables, EqualAFullScanOfEveryCell)
{
    // Colours whose cells form a sliver passing between cell centres, so that a line
    // or plane of their region holds no cell although the next one does.
    std::vector<std::tuple<std::string, Palette, unsigned, bool>> cases = {
        {"a sliver", Colours({0xA80FED, 0x48162B, 0xD24B68, 0x07A2B1, 0x5F4BD5, 0x2F3F1F, 0xDA947C, 0x7425A7,
                              0xC36604, 0xAA6B33, 0x6726EA, 0x213A7C, 0xFF4345, 0x58C42E, 0xC65FD3, 0x791FC2,
                              0x5034EE}), 4, false},
        {"slivers", Colours({0xA14B35, 0xD33C84, 0x02E117, 0x595CF0, 0x5ECA41, 0x8D7DF4, 0x6361C7, 0x727DCD,
                             0x8DAFA1, 0x6892FB, 0x2B1D5F, 0x0333CE, 0x9E4E7B, 0x0C345D, 0x4FA4BB, 0xDE1B4A,
                             0x9C9344}), 4, false},
        // A colour whose least distance over a box equals the box's bound can still tie
        // for a cell there, which the lower index wins.
        {"a tie at the bound", Colours({0x40C0B0, 0x105030, 0x500020}), 4, false},
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
    // Twenty colours, neither black nor white among them, and no room past them, so that
    // a read past them is seen.
    Palette neither = Gathered(3, 20, 20, 0);
    neither.shrink_to_fit();
    // The first colours of a palette; the entries for black and white unless as measured.
    const std::tuple<const Palette*, int, int, int> cases[] = {
        {&palette, 256, 0, 215}, {&palette, 17, 0, 3}, {&palette, 16, -1, -1}, {&neither, 20, -1, -1}};
    for (const auto& [colours, count, black, white] : cases) {
        std::vector<uint8_t> expected = FullScan({colours->begin(), colours->begin() + count}, 4, count <= 16);
        expected.front() = black < 0 ? expected.front() : uint8_t(black);
        expected.back() = white < 0 ? expected.back() : uint8_t(white);
        std::vector<uint8_t> table(4096, 0);
        ASSERT_TRUE(BuildInverseTable(uint32_t(count), colours->data(), 4, table.data()));
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

// A row of the pixels from column first on, every bit before it set.
Bytes Row(const Values& pixels, uint32_t bits, uint32_t first = 0)
{
    Bytes row(((first + pixels.size()) * bits + 7) / 8, 0);
    for (uint64_t bit = 0; bit < first * bits; ++bit)
        row[bit / 8] |= uint8_t(0x80 >> bit % 8);
    for (uint64_t x = 0, at = first * bits; x < pixels.size(); ++x, at += bits) {
        if (bits < 8)
            row[at / 8] |= uint8_t(pixels[x] << (8 - bits - at % 8));
        for (uint32_t k = 0; k < bits / 8; ++k)
            row[at / 8 + k] = uint8_t(pixels[x] >> 8 * k);
    }
    return row;
}

// A display: the colours it shows for its palette indices and their inverse table.
struct Display {
    Display(uint32_t bits, const Values& rgbs) : bits(bits), colours(Colours(rgbs)), table(4096, 0)
    {
        EXPECT_TRUE(BuildInverseTable(uint32_t(colours.size()), colours.data(), 4, table.data()));
    }

    DitherSetup Setup(uint32_t inputBits, uint32_t width, const Palette& inputColours = {}) const
    {
        const RgbQuad* indexed = inputColours.empty() ? nullptr : inputColours.data();
        return {bits,    inputBits,    width, colours.data(), uint32_t(colours.size()),
                indexed, uint32_t(inputColours.size()), table.data(), 4};
    }

    // One row of pixels from column first on converted, with fresh error rows unless
    // given; the output as stored.
    Bytes Dither(const Values& pixels, uint32_t inputBits = 24, ErrorRows* errors = nullptr,
                 const Palette& inputColours = {}, uint32_t first = 0) const
    {
        uint32_t width = uint32_t(pixels.size());
        ErrorRows fresh;
        EXPECT_TRUE(fresh.Allocate(width));
        Bytes input = Row(pixels, inputBits, first), output((width * bits + 7) / 8, 0xFF);
        DitherSetup setup = Setup(inputBits, width, inputColours);
        EXPECT_TRUE(DitherRow(output.data(), input.data(), first, errors ? *errors : fresh, setup));
        return output;
    }

    uint32_t bits;
    Palette colours;
    Bytes table;
};

// Seventeen colours far apart, so that each is the nearest to its own cell.
const Values Distinct = {0x000000, 0x606060, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
                         0xFFFFFF, 0xFF8000, 0x8000FF, 0x0084FF, 0xFF0084, 0x00FF80, 0x80FF00, 0xC8C83C,
                         0x3CC8C8};

// Both end pixels map onto each other and halves go to the higher pixel, in every
// depth, from column 13 on.
TEST(StretchRow, CopiesPixelsOfEveryDepthFromTheFirstColumn)
{
    // Pixels in and out; the pixel each output pixel takes.
    const std::tuple<uint32_t, uint32_t, std::vector<uint32_t>> cases[] = {
        {4, 10, {0, 0, 1, 1, 1, 2, 2, 2, 3, 3}}, {10, 4, {0, 3, 6, 9}}, {3, 5, {0, 1, 1, 2, 2}},
        {2, 7, {0, 0, 0, 1, 1, 1, 1}}, {5, 5, {0, 1, 2, 3, 4}}, {1, 3, {0, 0, 0}}, {3, 1, {0}},
    };
    for (uint32_t bits : {1u, 4u, 8u, 16u, 24u, 32u}) {
        for (const auto& [from, to, taken] : cases) {
            Values pixels, expected;
            for (uint64_t x = 0; x < from; ++x)
                pixels.push_back((x + 1) * 0x9E3779B97F4A7C15 >> (64 - bits));
            for (uint32_t x : taken)
                expected.push_back(pixels[x]);
            Bytes destination = Row(Values(to, (uint64_t{1} << bits) - 1), bits);
            ASSERT_TRUE(StretchRow(Row(pixels, bits, 13).data(), 13, from, destination.data(), to, bits));
            EXPECT_EQ(destination, Row(expected, bits)) << bits << ", " << from << ", " << to;
        }
    }
    Bytes source(8, 1), destination(8, 0);
    EXPECT_FALSE(StretchRow(source.data(), 0, 4, destination.data(), 4, 2));
    EXPECT_FALSE(StretchRow(source.data(), 0, 4, destination.data(), 4, 12));
    EXPECT_FALSE(StretchRow(source.data(), 0, 0, destination.data(), 4, 8));
    EXPECT_FALSE(StretchRow(source.data(), 0, 4, destination.data(), 0, 8));
    EXPECT_FALSE(StretchRow(nullptr, 0, 4, destination.data(), 4, 8));
    EXPECT_FALSE(StretchRow(source.data(), 0, 4, nullptr, 4, 8));
    EXPECT_EQ(destination, Bytes(8, 0));
}

TEST(ScaledRows, GivesEachSourceRowItsShareOfOutputRows)
{
    // Row, source and destination heights; the output rows.
    const std::tuple<uint32_t, uint32_t, uint32_t, RowRange> cases[] = {
        {0, 3, 5, {0, 1}}, {1, 3, 5, {1, 3}}, {2, 3, 5, {3, 5}},
        // Rows 0 and 2 make no output row and are skipped without conversion.
        {0, 5, 3, {0, 0}}, {1, 5, 3, {0, 1}}, {2, 5, 3, {1, 1}}, {3, 5, 3, {1, 2}}, {4, 5, 3, {2, 3}},
        {6, 7, 7, {6, 7}}, {4294967294u, 4294967295u, 4294967295u, {4294967294u, 4294967295u}},
        {3, 3, 5, {0, 0}}, {0, 0, 5, {0, 0}},
    };
    for (const auto& [row, sourceHeight, destinationHeight, expected] : cases)
        EXPECT_EQ(ScaledRows(row, sourceHeight, destinationHeight), expected) << row << ", " << sourceHeight;
}

// One pixel above a palette colour, by 3 in every channel or by 1 in blue alone, the
// rest exactly black: the error reaching the next two rows shows the weights, with
// those of columns outside the row moved inward. Rows run left to right and right to
// left in turn, the weights mirrored; rows of five pixels or fewer spread nothing.
TEST(DitherRow, SpreadsAPixelsErrorWithTheWeightsOfItsPositionInTheScan)
{
    // Width, position in the scan; the weights of columns 2 behind to 2 ahead in the next
    // row and the one after.
    using Weights = std::array<int, 5>;
    const std::tuple<uint32_t, uint32_t, Weights, Weights> cases[] = {
        {8, 0, {0, 0, 15, 5, 3}, {0, 0, 9, 3, 1}}, {8, 1, {0, 8, 7, 5, 3}, {0, 4, 5, 3, 1}},
        {8, 3, {3, 5, 7, 5, 3}, {1, 3, 5, 3, 1}},  {8, 6, {3, 5, 7, 8, 0}, {1, 3, 5, 4, 0}},
        {8, 7, {3, 5, 15, 0, 0}, {1, 3, 9, 0, 0}}, {6, 2, {3, 5, 7, 5, 3}, {1, 3, 5, 3, 1}},
        {5, 2, {}, {}},                            {1, 0, {}, {}},
    };
    // Grey shown as 0x606060 with an error in every channel, then in each alone (blue,
    // green, red), two turns each.
    const std::pair<uint32_t, std::array<int, 3>> shades[] = {
        {0x636363, {3, 3, 3}}, {0x606061, {1, 0, 0}}, {0x606160, {0, 1, 0}}, {0x616060, {0, 0, 1}}};
    Display display(8, Distinct);
    for (int turn = 0; turn < 8; ++turn) {
        const auto& [pixel, error] = shades[turn / 2];
        for (const auto& [width, position, next, after] : cases) {
            int32_t direction = LastScanDirection() > 0 ? -1 : 1;
            uint32_t column = direction > 0 ? position : width - 1 - position;
            Values pixels(width, 0), indices(width, 0);
            pixels[column] = pixel;
            indices[column] = 1;
            ErrorRows errors;
            ASSERT_TRUE(errors.Allocate(width));
            EXPECT_EQ(display.Dither(pixels, 24, &errors), Row(indices, 8));
            EXPECT_EQ(LastScanDirection(), direction);
            for (uint32_t x = 0; x < 3 * width; ++x) {
                int offset = (int(x / 3) - int(column)) * direction;
                bool near = offset >= -2 && offset <= 2;
                SCOPED_TRACE(testing::Message() << position << " of " << width << ", column " << x / 3);
                EXPECT_EQ(errors.Row(0)[x], near ? error[x % 3] * next[offset + 2] : 0);
                EXPECT_EQ(errors.Row(1)[x], near ? error[x % 3] * after[offset + 2] : 0);
            }
        }
    }
    // In a uniform grey between two palette colours the error runs ahead of the scan,
    // so the next row is this one mirrored.
    Bytes first = display.Dither(Values(12, 0x282828)), second = display.Dither(Values(12, 0x282828));
    EXPECT_NE(first, Bytes(12, first[0]));
    std::reverse(second.begin(), second.end());
    EXPECT_EQ(first, second);
    // The error of (136, 136, 136), shown as (96, 96, 96), takes white past 255: still white.
    EXPECT_EQ(display.Dither({0x888888, 0xFFFFFF, 0, 0, 0xFFFFFF, 0x888888}), Row({1, 8, 0, 0, 8, 1}, 8));
    // An error carried to a black pixel in blue, green or red alone shows that colour.
    for (const auto& [channel, index] : {std::pair(0, 4u), std::pair(1, 3u), std::pair(2, 2u)}) {
        ErrorRows carried;
        ASSERT_TRUE(carried.Allocate(1));
        carried.Row(0)[channel] = 200 * 48;
        EXPECT_EQ(display.Dither({0}, 24, &carried), Row({index}, 8)) << channel;
    }
    // Along the row the error goes 7/48 and 5/48 ahead, 12/48 from the second-to-last
    // pixel: after a grey of 96 shown black, greys that the error carried takes to 127,
    // still black, or to 128, white.
    Display mono(1, {0x000000, 0xFFFFFF});
    const std::tuple<size_t, Values, Values> alongTheRow[] = {
        {0, {96, 113, 99}, {0, 0, 0}}, {0, {96, 114, 136}, {0, 1, 1}}, {1, {96, 113, 99}, {0, 0, 0}},
        {1, {96, 114, 136}, {0, 1, 1}}, {2, {96, 113, 99}, {0, 0, 0}}, {2, {96, 114, 136}, {0, 1, 1}},
        {3, {96, 113, 86}, {0, 0, 0}}, {3, {96, 114, 149}, {0, 1, 1}}, {4, {96, 103}, {0, 0}}, {4, {96, 104}, {0, 1}},
    };
    for (const auto& [position, greys, shown] : alongTheRow) {
        bool leftToRight = LastScanDirection() <= 0;
        Values pixels(6, 0), indices(6, 0);
        for (size_t i = 0; i < greys.size(); ++i) {
            size_t x = leftToRight ? position + i : 5 - position - i;
            pixels[x] = greys[i] * 0x010101;
            indices[x] = shown[i];
        }
        EXPECT_EQ(mono.Dither(pixels), Row(indices, 1)) << position << ", " << greys[1];
    }
}

// A 4-bit display matches pixels whose channels lie within 31 of each other as grey;
// a 1-bit display matches every pixel as grey.
TEST(DitherRow, MatchesNearGreysAsGrey)
{
    Display four(4, {0x000000, 0xFFFFFF, 0x717171, 0x646E84, 0xC81E1E, 0x1EC81E, 0x1E1EC8, 0xDCDC28});
    // On its own (100, 110, 131) lies in the cell of (100, 110, 132); with a spread of
    // 31 it is taken as the grey (113, 113, 113) instead.
    EXPECT_EQ(four.table[HsvTableIndex(RgbToHsv(100, 110, 131), 4)], 3);
    // Both pixels of a byte, from a row scanned each way in turn.
    for (int turn = 0; turn < 2; ++turn)
        EXPECT_EQ(four.Dither({0x646E83, 0x646E84}), Row({2, 3}, 4));
    Display mono(1, {0x000000, 0xFFFFFF});
    EXPECT_EQ(mono.table[HsvTableIndex(RgbToHsv(200, 30, 30), 4)], 1);
    EXPECT_EQ(mono.Dither({0xC81E1E, 0x1EC8FA, 0x7F8081, 0x7E7F7D}), Row({0, 1, 1, 0}, 1));
}

TEST(DitherRow, ReadsEveryInputDepthFromItsFirstColumn)
{
    Display display(8, Distinct);
    const Palette sixteen(display.colours.begin(), display.colours.begin() + 16);
    // 16 bits: blue in bits 0-4, green 5-9, red 10-14, each widened to 8 bits.
    auto word = [](uint64_t r, uint64_t g, uint64_t b) { return r << 10 | g << 5 | b; };
    const Values words = {word(31, 0, 16), word(0, 16, 31), word(0, 0, 0), word(31, 31, 31) | 0x8000,
                          word(31, 16, 0), word(0, 31, 16), word(0, 16, 16), word(31, 0, 31)};
    const Values shown = {5, 7, 1, 6, 0, 14, 9, 16};
    Values rgb, rgbx;
    for (uint64_t i : shown) {
        rgb.push_back(Distinct[i]);
        rgbx.push_back(Distinct[i] | 0x77000000);
    }
    // Depth, pixels and their colour table; the palette indices they are shown as.
    const std::tuple<uint32_t, Values, Palette, Values> cases[] = {
        {1, {1, 0, 0, 1, 1, 0, 1, 0}, {display.colours[2], display.colours[4]}, {4, 2, 2, 4, 4, 2, 4, 2}},
        {4, {13, 14, 15, 0, 1, 2, 3, 4}, sixteen, {13, 14, 15, 0, 1, 2, 3, 4}},
        // Indices beyond the colour table read as black.
        {8, {4, 2, 9, 200, 3, 1, 5, 16}, sixteen, {4, 2, 9, 0, 3, 1, 5, 0}},
        {16, words, {}, {12, 11, 0, 8, 9, 13, 1, 6}},
        {24, rgb, {}, shown},
        {32, rgbx, {}, shown},
    };
    for (const auto& [bits, pixels, inputColours, expected] : cases)
        EXPECT_EQ(display.Dither(pixels, bits, nullptr, inputColours, 13), Row(expected, 8)) << bits;
}

// Over a flat area the spread error keeps the share of white pixels at the grey's
// level.
TEST(DitherRow, KeepsTheAverageOfAFlatGrey)
{
    Display display(1, {0x000000, 0xFFFFFF});
    ErrorRows errors;
    ASSERT_TRUE(errors.Allocate(64));
    int white = 0;
    for (int y = 0; y < 64; ++y) {
        for (uint8_t byte : display.Dither(Values(64, 0x404040), 24, &errors))
            white += std::popcount(byte);
    }
    EXPECT_NEAR(white / 4096.0, 64 / 255.0, 0.01);
}

TEST(DitherRow, RefusesMissingPartsWithoutTurning)
{
    Display display(8, Distinct);
    Bytes input(3 * 8, 0), output(8, 0xEE);
    ErrorRows errors, narrow;
    ASSERT_TRUE(errors.Allocate(8) && narrow.Allocate(7));
    const DitherSetup setup = display.Setup(24, 8);
    auto refused = [&](uint8_t* out, const uint8_t* in, ErrorRows& rows, const DitherSetup& spoilt) {
        int32_t before = LastScanDirection();
        bool done = DitherRow(out, in, 0, rows, spoilt);
        return !done && LastScanDirection() == before && output == Bytes(8, 0xEE);
    };
    EXPECT_TRUE(refused(nullptr, input.data(), errors, setup));
    EXPECT_TRUE(refused(output.data(), nullptr, errors, setup));
    EXPECT_TRUE(refused(output.data(), input.data(), narrow, setup));
    // An indexed input without its colours, then parts of the display missing or unsupported.
    std::vector<DitherSetup> spoilt(8, setup);
    spoilt[0] = display.Setup(8, 8);
    spoilt[1].paletteColours = nullptr;
    spoilt[2].inverseTable = nullptr;
    spoilt[3].tableBits = 2;
    spoilt[4].tableBits = 6;
    spoilt[5].outputBits = 2;
    spoilt[6].outputBits = 16;
    spoilt[7].inputBits = 12;
    for (const DitherSetup& s : spoilt)
        EXPECT_TRUE(refused(output.data(), input.data(), errors, s));
    EXPECT_TRUE(DitherRow(output.data(), input.data(), 0, errors, display.Setup(8, 8, Colours({0x010203}))));
    // Tables of the fewest and the most bits a channel are taken.
    for (unsigned bits : {InverseTableMinBits, InverseTableMaxBits}) {
        std::vector<uint8_t> table(InverseTableSize(bits), 0);
        ASSERT_TRUE(BuildInverseTable(uint32_t(display.colours.size()), display.colours.data(), bits, table.data()));
        DitherSetup edge = setup;
        edge.inverseTable = table.data();
        edge.tableBits = bits;
        EXPECT_TRUE(DitherRow(output.data(), input.data(), 0, errors, edge)) << bits;
    }
}

}  // namespace
}  // namespace orv
