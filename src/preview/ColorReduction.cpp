#include "preview/ColorReduction.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "preview/InverseColorTable.h"

namespace orv {
namespace {

// Shared by every conversion in the process, as the shell's threads paint; atomic so
// that two painting threads race on it without harm.
std::atomic<int32_t> scanDirection{0};

int32_t FlipScanDirection()
{
    int32_t direction = scanDirection.load(std::memory_order_relaxed) > 0 ? -1 : 1;
    scanDirection.store(direction, std::memory_order_relaxed);
    return direction;
}

bool IsIndexedDepth(uint32_t bits)
{
    return bits == 1 || bits == 4 || bits == 8;
}

bool IsSourceDepth(uint32_t bits)
{
    return IsIndexedDepth(bits) || bits == 16 || bits == 24 || bits == 32;
}

uint32_t ReadIndex(const uint8_t* row, uint64_t x, uint32_t bits)
{
    switch (bits) {
    case 1:
        return row[x / 8] >> (7 - x % 8) & 1;
    case 4:
        return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    default:
        return row[x];
    }
}

void WriteIndex(uint8_t* row, uint64_t x, uint32_t bits, uint32_t index)
{
    switch (bits) {
    case 1: {
        uint8_t mask = uint8_t(0x80 >> x % 8);
        row[x / 8] = uint8_t((row[x / 8] & ~mask) | (index & 1 ? mask : 0));
        break;
    }
    case 4:
        if (x % 2 == 0)
            row[x / 2] = uint8_t((row[x / 2] & 0x0F) | (index & 0x0F) << 4);
        else
            row[x / 2] = uint8_t((row[x / 2] & 0xF0) | (index & 0x0F));
        break;
    default:
        row[x] = uint8_t(index);
        break;
    }
}

struct Colour {
    int32_t blue;
    int32_t green;
    int32_t red;
};

Colour ColourOf(const RgbQuad& quad)
{
    return {quad.rgbBlue, quad.rgbGreen, quad.rgbRed};
}

int32_t Widen5(uint32_t value)
{
    return int32_t((value << 3) + (value >> 2));
}

Colour ReadColour(const uint8_t* row, uint64_t x, const DitherSetup& setup)
{
    switch (setup.inputBits) {
    case 16: {
        uint32_t word = row[2 * x] | uint32_t{row[2 * x + 1]} << 8;
        return {Widen5(word & 0x1F), Widen5(word >> 5 & 0x1F), Widen5(word >> 10 & 0x1F)};
    }
    case 24:
        return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
    case 32:
        return {row[4 * x], row[4 * x + 1], row[4 * x + 2]};
    default: {
        uint32_t index = ReadIndex(row, x, setup.inputBits);
        return index < setup.inputColourCount ? ColourOf(setup.inputColours[index]) : Colour{0, 0, 0};
    }
    }
}

// Error weights out of 48 by position in scan order: the row being converted at 1
// and 2 ahead, the next two rows from 2 behind to 2 ahead. Near the ends of the row
// the weights of missing columns are moved inward, and at the last pixel the
// current row's share is dropped.
struct Spread {
    int8_t current[2];
    int8_t next[5];
    int8_t after[5];
};

constexpr Spread FirstPixel{{7, 5}, {0, 0, 15, 5, 3}, {0, 0, 9, 3, 1}};
constexpr Spread SecondPixel{{7, 5}, {0, 8, 7, 5, 3}, {0, 4, 5, 3, 1}};
constexpr Spread InnerPixel{{7, 5}, {3, 5, 7, 5, 3}, {1, 3, 5, 3, 1}};
constexpr Spread SecondToLastPixel{{12, 0}, {3, 5, 7, 8, 0}, {1, 3, 5, 4, 0}};
constexpr Spread LastPixel{{0, 0}, {3, 5, 15, 0, 0}, {1, 3, 9, 0, 0}};

// Narrower rows are matched pixel by pixel.
constexpr uint32_t MinimumSpreadWidth = 6;

const Spread& SpreadAt(uint32_t position, uint32_t width)
{
    if (position == 0)
        return FirstPixel;
    if (position == 1)
        return SecondPixel;
    if (position == width - 1)
        return LastPixel;
    if (position == width - 2)
        return SecondToLastPixel;
    return InnerPixel;
}

void AddError(int32_t* row, int64_t column, int32_t weight, const int32_t error[3])
{
    if (weight == 0)
        return;
    int32_t* pixel = row + 3 * column;
    for (int c = 0; c < 3; ++c)
        pixel[c] += weight * error[c];
}

}  // namespace

bool ErrorRows::Allocate(uint32_t pixels)
{
    uint64_t rowValues = 3 * uint64_t{pixels};
    values.reset(new (std::nothrow) int32_t[3 * rowValues]());
    if (!values) {
        width = 0;
        return false;
    }
    width = pixels;
    rowStart[0] = 0;
    rowStart[1] = rowValues;
    rowStart[2] = 2 * rowValues;
    return true;
}

void ErrorRows::Advance()
{
    if (!values)
        return;
    uint64_t spent = rowStart[0];
    rowStart[0] = rowStart[1];
    rowStart[1] = rowStart[2];
    rowStart[2] = spent;
    std::fill_n(values.get() + spent, 3 * uint64_t{width}, 0);
}

RowRange ScaledRows(uint32_t row, uint32_t sourceHeight, uint32_t destinationHeight)
{
    if (sourceHeight == 0 || row >= sourceHeight)
        return {0, 0};
    uint64_t first = uint64_t{row} * destinationHeight / sourceHeight;
    uint64_t end = (uint64_t{row} + 1) * destinationHeight / sourceHeight;
    return {uint32_t(first), uint32_t(end)};
}

bool StretchRow(const uint8_t* source, uint32_t firstColumn, uint32_t sourceWidth, uint8_t* destination,
                uint32_t destinationWidth, uint32_t bitsPerPixel)
{
    if (source == nullptr || destination == nullptr || !IsSourceDepth(bitsPerPixel) || sourceWidth == 0 ||
        destinationWidth == 0)
        return false;
    // An integer step error: pixel j takes input pixel
    // (2j(sw - 1) + (dw - 1)) / (2(dw - 1)) without dividing.
    int64_t sourceSteps = 2 * (int64_t{sourceWidth} - 1);
    int64_t destinationSteps = 2 * (int64_t{destinationWidth} - 1);
    int64_t error = sourceSteps - (int64_t{destinationWidth} - 1);
    uint64_t in = firstColumn;
    uint32_t bytesPerPixel = bitsPerPixel / 8;
    for (uint64_t out = 0; out < destinationWidth; ++out) {
        if (bitsPerPixel < 8) {
            WriteIndex(destination, out, bitsPerPixel, ReadIndex(source, in, bitsPerPixel));
        } else {
            std::memcpy(destination + out * bytesPerPixel, source + in * bytesPerPixel, bytesPerPixel);
        }
        while (destinationWidth > 1 && error >= 0) {
            error -= destinationSteps;
            ++in;
        }
        error += sourceSteps;
    }
    return true;
}

bool DitherRow(uint8_t* output, const uint8_t* input, uint32_t firstColumn, ErrorRows& errors,
               const DitherSetup& setup)
{
    uint32_t width = setup.width;
    if (output == nullptr || input == nullptr || errors.Width() < width)
        return false;
    if (!IsIndexedDepth(setup.outputBits) || !IsSourceDepth(setup.inputBits))
        return false;
    if (setup.inputBits <= 8 && setup.inputColours == nullptr)
        return false;
    if (setup.paletteColours == nullptr || setup.inverseTable == nullptr ||
        setup.tableBits < InverseTableMinBits || setup.tableBits > InverseTableMaxBits)
        return false;

    int32_t direction = FlipScanDirection();
    uint32_t outputBits = setup.outputBits;
    if (outputBits < 8)
        std::memset(output, 0, (uint64_t{width} * outputBits + 7) / 8);
    int32_t* current = errors.Row(0);
    int32_t* next = errors.Row(1);
    int32_t* after = errors.Row(2);
    for (uint32_t position = 0; position < width; ++position) {
        uint32_t x = direction > 0 ? position : width - 1 - position;
        Colour colour = ReadColour(input, uint64_t{firstColumn} + x, setup);
        const int32_t* reached = current + 3 * uint64_t{x};
        int32_t wanted[3] = {std::clamp(colour.blue + reached[0] / 48, 0, 255),
                             std::clamp(colour.green + reached[1] / 48, 0, 255),
                             std::clamp(colour.red + reached[2] / 48, 0, 255)};
        int32_t& blue = wanted[0];
        int32_t& green = wanted[1];
        int32_t& red = wanted[2];
        if (outputBits == 1 ||
            (outputBits == 4 && std::max({red, green, blue}) - std::min({red, green, blue}) < 32))
            blue = green = red = (green + red + blue) / 3;

        uint32_t entry;
        if (outputBits <= 4)
            entry = HsvTableIndex(RgbToHsv(uint8_t(red), uint8_t(green), uint8_t(blue)), setup.tableBits);
        else
            entry = RgbTableIndex(uint8_t(red), uint8_t(green), uint8_t(blue), setup.tableBits);
        uint32_t index = setup.inverseTable[entry];
        Colour shown = index < setup.paletteSize ? ColourOf(setup.paletteColours[index]) : Colour{0, 0, 0};
        WriteIndex(output, x, outputBits, index);

        if (width < MinimumSpreadWidth)
            continue;
        int32_t error[3] = {blue - shown.blue, green - shown.green, red - shown.red};
        if (error[0] == 0 && error[1] == 0 && error[2] == 0)
            continue;
        if (outputBits == 1)
            error[0] = error[1] = error[2] = (error[1] + error[2] + error[0]) / 3;
        const Spread& spread = SpreadAt(position, width);
        for (int step = 1; step <= 2; ++step)
            AddError(current, int64_t{x} + step * direction, spread.current[step - 1], error);
        for (int step = -2; step <= 2; ++step) {
            AddError(next, int64_t{x} + step * direction, spread.next[step + 2], error);
            AddError(after, int64_t{x} + step * direction, spread.after[step + 2], error);
        }
    }
    errors.Advance();
    return true;
}

int32_t LastScanDirection()
{
    return scanDirection.load(std::memory_order_relaxed);
}

}  // namespace orv
