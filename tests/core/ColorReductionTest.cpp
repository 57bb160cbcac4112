#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "preview/ColorReduction.h"
#include "preview/InverseColorTable.h"
#include "preview/PictureHeaders.h"

namespace orv {
namespace {

using Palette = std::vector<RgbQuad>;
using Bytes = std::vector<uint8_t>;

RgbQuad Colour(int red, int green, int blue)
{
    return {uint8_t(blue), uint8_t(green), uint8_t(red), 0};
}

uint32_t IndexAt(const Bytes& row, uint32_t x, uint32_t bits)
{
    if (bits == 1)
        return row[x / 8] >> (7 - x % 8) & 1;
    if (bits == 4)
        return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    return row[x];
}

void SetIndex(Bytes& row, uint32_t x, uint32_t bits, uint32_t index)
{
    if (bits == 1)
        row[x / 8] = uint8_t(row[x / 8] | (index & 1) << (7 - x % 8));
    else if (bits == 4)
        row[x / 2] = uint8_t(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
    else
        row[x] = uint8_t(index);
}

// A row of 24-bit pixels.
Bytes RgbRow(const std::vector<RgbQuad>& pixels)
{
    Bytes row;
    for (const RgbQuad& p : pixels)
        row.insert(row.end(), {p.rgbBlue, p.rgbGreen, p.rgbRed});
    return row;
}

// A display: the colours it shows for its palette indices and their inverse table.
struct Display {
    Display(uint32_t bits, Palette colours) : bits(bits), colours(std::move(colours)), table(4096, 0)
    {
        EXPECT_TRUE(BuildInverseTable(uint32_t(this->colours.size()), this->colours.data(), 4, table.data()));
    }

    DitherSetup Setup(uint32_t inputBits, uint32_t width, const Palette& inputColours = {}) const
    {
        return {bits, inputBits, width, colours.data(), uint32_t(colours.size()),
                inputColours.empty() ? nullptr : inputColours.data(), uint32_t(inputColours.size()), table.data(), 4};
    }

    Bytes Dither(const Bytes& input, uint32_t inputBits, uint32_t width, ErrorRows& errors, uint32_t firstColumn = 0,
                 const Palette& inputColours = {}) const
    {
        Bytes output((width * bits + 7) / 8, 0xFF);
        EXPECT_TRUE(DitherRow(output.data(), input.data(), firstColumn, errors, Setup(inputBits, width, inputColours)));
        return output;
    }

    // Converts one row with fresh error rows; the indices stored.
    std::vector<uint32_t> Convert(const Bytes& input, uint32_t inputBits, uint32_t width, uint32_t firstColumn = 0,
                                  const Palette& inputColours = {}) const
    {
        ErrorRows errors;
        EXPECT_TRUE(errors.Allocate(width));
        Bytes output = Dither(input, inputBits, width, errors, firstColumn, inputColours);
        std::vector<uint32_t> indices;
        for (uint32_t x = 0; x < width; ++x)
            indices.push_back(IndexAt(output, x, bits));
        return indices;
    }

    uint32_t bits;
    Palette colours;
    Bytes table;
};

// Seventeen colours far apart, so that each is the nearest to its own cell.
Palette DistinctColours()
{
    return {Colour(0, 0, 0),     Colour(96, 96, 96),  Colour(255, 0, 0),     Colour(0, 255, 0),  Colour(0, 0, 255),
            Colour(255, 255, 0), Colour(255, 0, 255), Colour(0, 255, 255),   Colour(255, 255, 255), Colour(255, 128, 0),
            Colour(128, 0, 255), Colour(0, 132, 255), Colour(255, 0, 132),   Colour(0, 255, 128), Colour(128, 255, 0),
            Colour(200, 200, 60), Colour(60, 200, 200)};
}

int32_t NextDirection()
{
    return LastScanDirection() > 0 ? -1 : 1;
}

// Both end pixels map onto each other and halves go to the higher pixel, in every
// depth, from column 13 on.
TEST(StretchRow, CopiesPixelsOfEveryDepthFromTheFirstColumn)
{
    const struct {
        uint32_t from;
        uint32_t to;
        std::vector<uint32_t> taken;
    } cases[] = {
        {4, 10, {0, 0, 1, 1, 1, 2, 2, 2, 3, 3}}, {10, 4, {0, 3, 6, 9}}, {3, 5, {0, 1, 1, 2, 2}},
        {2, 7, {0, 0, 0, 1, 1, 1, 1}}, {5, 5, {0, 1, 2, 3, 4}}, {1, 3, {0, 0, 0}}, {3, 1, {0}},
    };
    const uint32_t first = 13;
    for (uint32_t bits : {1u, 4u, 8u, 16u, 24u, 32u}) {
        for (const auto& c : cases) {
            uint32_t columns = first + c.from;
            Bytes source((columns * bits + 7) / 8, 0);
            auto value = [&](uint32_t x) { return bits == 1 ? (x * 5 + 1) / 3 % 2 : (x * 7 + 3) % 16; };
            for (uint32_t x = 0; x < columns; ++x) {
                if (bits < 8)
                    SetIndex(source, x, bits, value(x));
                else
                    for (uint32_t k = 0; k < bits / 8; ++k)
                        source[x * (bits / 8) + k] = uint8_t(x * 11 + k);
            }
            Bytes destination((c.to * bits + 7) / 8, 0xFF);
            ASSERT_TRUE(StretchRow(source.data(), first, c.from, destination.data(), c.to, bits));
            for (uint32_t j = 0; j < c.to; ++j) {
                uint32_t x = first + c.taken[j];
                if (bits < 8) {
                    EXPECT_EQ(IndexAt(destination, j, bits), value(x)) << bits << " bits, " << c.from << " to " << c.to;
                } else {
                    for (uint32_t k = 0; k < bits / 8; ++k)
                        EXPECT_EQ(destination[j * (bits / 8) + k], uint8_t(x * 11 + k)) << bits << " bits";
                }
            }
        }
    }
}

TEST(StretchRow, RefusesOtherDepthsAndEmptyRows)
{
    Bytes source(8, 1), destination(8, 0);
    EXPECT_FALSE(StretchRow(source.data(), 0, 4, destination.data(), 4, 2));
    EXPECT_FALSE(StretchRow(source.data(), 0, 4, destination.data(), 4, 12));
    EXPECT_FALSE(StretchRow(source.data(), 0, 0, destination.data(), 4, 8));
    EXPECT_FALSE(StretchRow(source.data(), 0, 4, destination.data(), 0, 8));
    EXPECT_FALSE(StretchRow(nullptr, 0, 4, destination.data(), 4, 8));
    EXPECT_EQ(destination, Bytes(8, 0));
}

TEST(ScaledRows, GivesEachSourceRowItsShareOfOutputRows)
{
    const struct {
        uint32_t row, sourceHeight, destinationHeight;
        RowRange expected;
    } cases[] = {
        {0, 3, 5, {0, 1}}, {1, 3, 5, {1, 3}}, {2, 3, 5, {3, 5}},
        // Rows 0 and 2 make no output row and are skipped without conversion.
        {0, 5, 3, {0, 0}}, {1, 5, 3, {0, 1}}, {2, 5, 3, {1, 1}}, {3, 5, 3, {1, 2}}, {4, 5, 3, {2, 3}},
        {6, 7, 7, {6, 7}}, {4294967294u, 4294967295u, 4294967295u, {4294967294u, 4294967295u}},
        {3, 3, 5, {0, 0}}, {0, 0, 5, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaledRows(c.row, c.sourceHeight, c.destinationHeight), c.expected)
            << "row " << c.row << " of " << c.sourceHeight << " to " << c.destinationHeight;
}

TEST(DitherRow, TurnsTheScanDirectionOnEveryRow)
{
    Display display(8, DistinctColours());
    Bytes uniform = RgbRow(std::vector<RgbQuad>(12, Colour(40, 40, 40)));

    int32_t direction = NextDirection();
    std::vector<uint32_t> first = display.Convert(uniform, 24, 12);
    EXPECT_EQ(LastScanDirection(), direction);
    std::vector<uint32_t> second = display.Convert(uniform, 24, 12);
    EXPECT_EQ(LastScanDirection(), -direction);

    // The error runs ahead of the scan, so the second row is the first one mirrored.
    EXPECT_GT(std::set<uint32_t>(first.begin(), first.end()).size(), 1u);
    std::reverse(second.begin(), second.end());
    EXPECT_EQ(first, second);
}

TEST(DitherRow, MatchesRowsOfFivePixelsOrFewerWithoutSpreading)
{
    Display display(8, DistinctColours());
    for (uint32_t width : {1u, 5u, 6u}) {
        ErrorRows errors;
        ASSERT_TRUE(errors.Allocate(width));
        Bytes output = display.Dither(RgbRow(std::vector<RgbQuad>(width, Colour(150, 60, 110))), 24, width, errors);
        bool spread = false;
        for (unsigned k = 0; k < 2; ++k)
            spread |= std::any_of(errors.Row(k), errors.Row(k) + 3 * width, [](int32_t v) { return v != 0; });
        EXPECT_EQ(spread, width == 6) << width << " pixels";
        if (width < 6) {
            EXPECT_EQ(std::count(output.begin(), output.end(), output[0]), width);
        }
    }
}

// One pixel 3 above a palette colour in every channel, the rest exactly black: the
// error reaching the next two rows shows the weights, with those of columns outside
// the row moved inward, mirrored for rows running right to left.
TEST(DitherRow, SpreadsAPixelsErrorWithTheWeightsOfItsPosition)
{
    struct Weights {
        uint32_t position;
        int next[5];
        int after[5];
    };
    const Weights table[] = {
        {0, {0, 0, 15, 5, 3}, {0, 0, 9, 3, 1}},
        {1, {0, 8, 7, 5, 3}, {0, 4, 5, 3, 1}},
        {3, {3, 5, 7, 5, 3}, {1, 3, 5, 3, 1}},
        {6, {3, 5, 7, 8, 0}, {1, 3, 5, 4, 0}},
        {7, {3, 5, 15, 0, 0}, {1, 3, 9, 0, 0}},
    };
    const uint32_t width = 8;
    Display display(8, DistinctColours());
    for (int turn = 0; turn < 2; ++turn) {
        for (const Weights& w : table) {
            int32_t direction = NextDirection();
            uint32_t column = direction > 0 ? w.position : width - 1 - w.position;
            std::vector<RgbQuad> pixels(width, Colour(0, 0, 0));
            pixels[column] = Colour(99, 99, 99);
            ErrorRows errors;
            ASSERT_TRUE(errors.Allocate(width));
            Bytes output = display.Dither(RgbRow(pixels), 24, width, errors);
            for (uint32_t x = 0; x < width; ++x)
                EXPECT_EQ(output[x], x == column ? 1 : 0);
            for (uint32_t x = 0; x < width; ++x) {
                int offset = (int(x) - int(column)) * direction;
                bool near = offset >= -2 && offset <= 2;
                int next = near ? 3 * w.next[offset + 2] : 0;
                int after = near ? 3 * w.after[offset + 2] : 0;
                for (int c = 0; c < 3; ++c) {
                    EXPECT_EQ(errors.Row(0)[3 * x + c], next) << "position " << w.position << ", column " << x;
                    EXPECT_EQ(errors.Row(1)[3 * x + c], after) << "position " << w.position << ", column " << x;
                }
            }
        }
    }
}

TEST(DitherRow, MatchesNearGreysAsGreyOnFourBitDisplays)
{
    Palette colours = {Colour(0, 0, 0),       Colour(255, 255, 255), Colour(113, 113, 113), Colour(100, 110, 132),
                       Colour(200, 30, 30),   Colour(30, 200, 30),   Colour(30, 30, 200),   Colour(220, 220, 40)};
    Display display(4, colours);
    // On its own (100, 110, 131) lies in the cell of (100, 110, 132); with a spread of
    // 31 it is taken as the grey (113, 113, 113) instead.
    EXPECT_EQ(display.table[HsvTableIndex(RgbToHsv(100, 110, 131), 4)], 3);
    EXPECT_EQ(display.Convert(RgbRow({Colour(100, 110, 131)}), 24, 1), std::vector<uint32_t>{2});
    EXPECT_EQ(display.Convert(RgbRow({Colour(100, 110, 132)}), 24, 1), std::vector<uint32_t>{3});
}

TEST(DitherRow, MatchesEveryPixelAsGreyOnMonochromeDisplays)
{
    Display display(1, {Colour(0, 0, 0), Colour(255, 255, 255)});
    EXPECT_EQ(display.table[HsvTableIndex(RgbToHsv(200, 30, 30), 4)], 1);
    std::vector<RgbQuad> pixels = {Colour(200, 30, 30), Colour(30, 200, 250), Colour(127, 128, 129),
                                   Colour(126, 127, 125)};
    ErrorRows errors;
    ASSERT_TRUE(errors.Allocate(4));
    EXPECT_EQ(display.Dither(RgbRow(pixels), 24, 4, errors), Bytes{0x60});
}

TEST(DitherRow, ReadsEveryInputDepthFromItsFirstColumn)
{
    Display display(8, DistinctColours());
    for (uint32_t i = 0; i < display.colours.size(); ++i) {
        const RgbQuad& c = display.colours[i];
        ASSERT_EQ(display.table[RgbTableIndex(c.rgbRed, c.rgbGreen, c.rgbBlue, 4)], i);
    }
    const uint32_t first = 13, width = 8;
    const Palette sixteen(display.colours.begin(), display.colours.begin() + 16);

    // Red (2) for 0 and blue (4) for 1; the bit before the first column is set.
    Bytes oneBit(4, 0);
    const uint32_t bits[width] = {1, 0, 0, 1, 1, 0, 1, 0};
    for (uint32_t x = 0; x < width; ++x)
        SetIndex(oneBit, first + x, 1, bits[x]);
    SetIndex(oneBit, first - 1, 1, 1);
    Bytes fourBit(16, 0);
    for (uint32_t x = 0; x < 32; ++x)
        SetIndex(fourBit, x, 4, x % 16);
    // 16 bits: blue in bits 0-4, green 5-9, red 10-14, each widened to 8 bits.
    auto word = [](uint32_t r, uint32_t g, uint32_t b) { return uint16_t(r << 10 | g << 5 | b); };
    const uint16_t words[] = {word(31, 0, 16), word(0, 16, 31), word(0, 0, 0), word(31, 31, 31) | 0x8000,
                              word(31, 16, 0), word(0, 31, 16), word(12, 12, 12), word(31, 0, 31)};
    Bytes sixteenBit;
    for (uint16_t w : words)
        sixteenBit.insert(sixteenBit.end(), {uint8_t(w), uint8_t(w >> 8)});
    const std::vector<uint32_t> shown = {5, 7, 1, 6, 0, 14, 9, 16};
    Bytes rgb, rgbx;
    for (uint32_t i : shown) {
        const RgbQuad& c = display.colours[i];
        rgb.insert(rgb.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed});
        rgbx.insert(rgbx.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed, 0x77});
    }
    const struct {
        uint32_t bits;
        Bytes input;
        uint32_t firstColumn;
        Palette inputColours;
        std::vector<uint32_t> expected;
    } cases[] = {
        {1, oneBit, first, {display.colours[2], display.colours[4]}, {4, 2, 2, 4, 4, 2, 4, 2}},
        {4, fourBit, first, sixteen, {13, 14, 15, 0, 1, 2, 3, 4}},
        // Indices beyond the colour table read as black.
        {8, {4, 2, 9, 200, 3, 1, 5, 2}, 0, sixteen, {4, 2, 9, 0, 3, 1, 5, 2}},
        {16, sixteenBit, 0, {}, {12, 11, 0, 8, 9, 13, 1, 6}},
        {24, rgb, 0, {}, shown},
        {32, rgbx, 0, {}, shown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(display.Convert(c.input, c.bits, width, c.firstColumn, c.inputColours), c.expected)
            << c.bits << " bits";
}

// Over a flat area the spread error keeps the share of white pixels at the grey's
// level.
TEST(DitherRow, KeepsTheAverageOfAFlatGrey)
{
    Display display(1, {Colour(0, 0, 0), Colour(255, 255, 255)});
    const uint32_t size = 64;
    ErrorRows errors;
    ASSERT_TRUE(errors.Allocate(size));
    Bytes input = RgbRow(std::vector<RgbQuad>(size, Colour(64, 64, 64)));
    int white = 0;
    for (uint32_t y = 0; y < size; ++y) {
        Bytes output = display.Dither(input, 24, size, errors);
        for (uint32_t x = 0; x < size; ++x)
            white += int(IndexAt(output, x, 1));
    }
    EXPECT_NEAR(white / double(size * size), 64 / 255.0, 0.01);
}

TEST(DitherRow, RefusesMissingPartsWithoutTurning)
{
    Display display(8, DistinctColours());
    Bytes input(3 * 8, 0), output(8, 0xEE);
    Palette inputColours = {Colour(1, 2, 3)};
    ErrorRows errors;
    ASSERT_TRUE(errors.Allocate(8));
    ErrorRows narrow;
    ASSERT_TRUE(narrow.Allocate(7));
    int32_t before = LastScanDirection();

    DitherSetup setup = display.Setup(24, 8);
    EXPECT_FALSE(DitherRow(nullptr, input.data(), 0, errors, setup));
    EXPECT_FALSE(DitherRow(output.data(), nullptr, 0, errors, setup));
    EXPECT_FALSE(DitherRow(output.data(), input.data(), 0, narrow, setup));
    EXPECT_FALSE(DitherRow(output.data(), input.data(), 0, errors, display.Setup(8, 8)));
    EXPECT_EQ(LastScanDirection(), before);
    EXPECT_TRUE(DitherRow(output.data(), input.data(), 0, errors, display.Setup(8, 8, inputColours)));
    before = LastScanDirection();
    for (auto spoil : {+[](DitherSetup& s) { s.paletteColours = nullptr; }, +[](DitherSetup& s) { s.inverseTable = nullptr; },
                       +[](DitherSetup& s) { s.tableBits = 6; }, +[](DitherSetup& s) { s.outputBits = 2; },
                       +[](DitherSetup& s) { s.outputBits = 16; }, +[](DitherSetup& s) { s.inputBits = 12; }}) {
        DitherSetup bad = setup;
        spoil(bad);
        output.assign(8, 0xEE);
        EXPECT_FALSE(DitherRow(output.data(), input.data(), 0, errors, bad));
        EXPECT_EQ(output, Bytes(8, 0xEE));
    }
    EXPECT_EQ(LastScanDirection(), before);
}

}  // namespace
}  // namespace orv
