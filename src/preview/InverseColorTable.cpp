#include "preview/InverseColorTable.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>

namespace orv {
namespace {

constexpr uint32_t MaxColours = 256;

bool ValidTableArguments(uint32_t colourCount, const RgbQuad* colours, unsigned bits, const uint8_t* table)
{
    return colours != nullptr && table != nullptr && colourCount <= MaxColours &&
           bits >= InverseTableMinBits && bits <= InverseTableMaxBits;
}

// The cells of a table: `cells` per axis, each `size` channel values wide.
struct CellGrid {
    explicit CellGrid(unsigned bits)
        : bits(bits), cells(int32_t{1} << bits), size(int32_t{1} << (8 - bits)), half(size / 2)
    {
    }

    uint32_t Index(int32_t first, int32_t second, int32_t third) const
    {
        return (uint32_t(first) << 2 * bits) | (uint32_t(second) << bits) | uint32_t(third);
    }

    unsigned bits;
    int32_t cells;
    int32_t size;
    int32_t half;
};

// The RGB table is filled box by box, each box BoxCells cells along every axis. D is
// a sum of one term per axis, so over a box its least and greatest values for a
// colour are the sums of each term's least and greatest over the box's cells, and
// both are reached at some cell. A colour whose least exceeds the smallest of the
// greatest loses every cell of the box to the colour holding that greatest; only the
// others, equal values kept, are measured against the box's cells.
constexpr int32_t BoxCells = 4;
constexpr int32_t MaxCells = int32_t{1} << InverseTableMaxBits;
constexpr int32_t MaxBoxes = MaxCells / BoxCells;
static_assert((int32_t{1} << InverseTableMinBits) % BoxCells == 0);

class BoxedTable {
public:
    BoxedTable(uint32_t colourCount, const RgbQuad* colours, const CellGrid& grid) : grid(grid)
    {
        KeepFirstOfEach(colourCount, colours);
        for (uint32_t j = 0; j < distinct; ++j)
            SetTerms(j, colours[index[j]]);
    }

    void Fill(uint8_t* table)
    {
        int32_t boxes = grid.cells / BoxCells;
        for (int32_t red = 0; red < boxes; ++red) {
            for (int32_t green = 0; green < boxes; ++green) {
                for (int32_t blue = 0; blue < boxes; ++blue)
                    FillBox(red, green, blue, table);
            }
        }
    }

private:
    // A colour equal to an earlier one never wins a cell. The rest keep index order.
    void KeepFirstOfEach(uint32_t colourCount, const RgbQuad* colours)
    {
        std::array<uint32_t, MaxColours> keys;
        for (uint32_t i = 0; i < colourCount; ++i) {
            uint32_t colour = uint32_t{colours[i].rgbRed} << 16 | uint32_t{colours[i].rgbGreen} << 8 | colours[i].rgbBlue;
            keys[i] = colour << 8 | i;
        }
        std::sort(keys.begin(), keys.begin() + colourCount);
        std::array<bool, MaxColours> repeated{};
        for (uint32_t k = 1; k < colourCount; ++k) {
            if (keys[k] >> 8 == keys[k - 1] >> 8)
                repeated[keys[k] & 0xFF] = true;
        }
        distinct = 0;
        for (uint32_t i = 0; i < colourCount; ++i) {
            if (!repeated[i])
                index[distinct++] = uint8_t(i);
        }
    }

    void SetTerms(uint32_t j, const RgbQuad& colour)
    {
        int32_t channels[3] = {colour.rgbRed, colour.rgbGreen, colour.rgbBlue};
        for (size_t axis = 0; axis < 3; ++axis) {
            int32_t channel = channels[axis];
            int32_t own = 2 * (channel % grid.size - grid.half) + 1;
            int32_t* cell = terms[j][axis].data();
            for (int32_t k = 0; k < grid.cells; ++k) {
                int32_t d = channel - (k * grid.size + grid.half);
                cell[k] = d * d + own;
            }
            // The part grows with the distance from the colour's own cell: least at the
            // run's cell nearest to it, greatest at one of the run's ends.
            for (int32_t box = 0; box < grid.cells / BoxCells; ++box) {
                int32_t first = box * BoxCells;
                int32_t last = first + BoxCells - 1;
                boxLeast[axis][size_t(box)][j] = cell[std::clamp(channel / grid.size, first, last)];
                boxGreatest[axis][size_t(box)][j] = std::max(cell[first], cell[last]);
            }
        }
    }

    void FillBox(int32_t red, int32_t green, int32_t blue, uint8_t* table)
    {
        const int32_t* leastRed = boxLeast[0][size_t(red)].data();
        const int32_t* leastGreen = boxLeast[1][size_t(green)].data();
        const int32_t* leastBlue = boxLeast[2][size_t(blue)].data();
        const int32_t* greatestRed = boxGreatest[0][size_t(red)].data();
        const int32_t* greatestGreen = boxGreatest[1][size_t(green)].data();
        const int32_t* greatestBlue = boxGreatest[2][size_t(blue)].data();
        int32_t bound = INT32_MAX;
        for (uint32_t j = 0; j < distinct; ++j)
            bound = std::min(bound, greatestRed[j] + greatestGreen[j] + greatestBlue[j]);
        uint32_t count = 0;
        for (uint32_t j = 0; j < distinct; ++j) {
            candidates[count] = j;
            count += leastRed[j] + leastGreen[j] + leastBlue[j] <= bound;
        }

        int32_t r0 = red * BoxCells;
        int32_t g0 = green * BoxCells;
        int32_t b0 = blue * BoxCells;
        // A key of D above the palette index: the least key is the nearest colour,
        // the lowest index among equally near ones, whatever the order of the scan.
        int32_t best[BoxCells * BoxCells][BoxCells];
        for (auto& line : best)
            std::fill_n(line, BoxCells, INT32_MAX);
        for (uint32_t c = 0; c < count; ++c) {
            const auto& t = terms[candidates[c]];
            int32_t id = index[candidates[c]];
            int32_t lines[BoxCells * BoxCells];
            int32_t blues[BoxCells];
            for (int32_t r = 0; r < BoxCells; ++r) {
                for (int32_t g = 0; g < BoxCells; ++g)
                    lines[r * BoxCells + g] = (t[0][size_t(r0 + r)] + t[1][size_t(g0 + g)]) << 8 | id;
            }
            for (int32_t b = 0; b < BoxCells; ++b)
                blues[b] = t[2][size_t(b0 + b)] << 8;
            for (int32_t line = 0; line < BoxCells * BoxCells; ++line) {
                for (int32_t b = 0; b < BoxCells; ++b)
                    best[line][b] = std::min(best[line][b], lines[line] + blues[b]);
            }
        }
        for (int32_t r = 0; r < BoxCells; ++r) {
            for (int32_t g = 0; g < BoxCells; ++g) {
                uint8_t* row = table + grid.Index(r0 + r, g0 + g, b0);
                for (int32_t b = 0; b < BoxCells; ++b)
                    row[b] = uint8_t(best[r * BoxCells + g][b] & 0xFF);
            }
        }
    }

    CellGrid grid;
    uint32_t distinct = 0;
    std::array<uint8_t, MaxColours> index;
    // Each distinct colour's part of D along each axis, cell by cell.
    std::array<std::array<std::array<int32_t, MaxCells>, 3>, MaxColours> terms;
    // The least and greatest of those parts over each box's run of cells, by axis,
    // box and colour.
    std::array<std::array<std::array<int32_t, MaxColours>, MaxBoxes>, 3> boxLeast;
    std::array<std::array<std::array<int32_t, MaxColours>, MaxBoxes>, 3> boxGreatest;
    std::array<uint32_t, MaxColours> candidates;
};

}  // namespace

HueSaturationValue RgbToHsv(uint8_t red, uint8_t green, uint8_t blue)
{
    int32_t r = red;
    int32_t g = green;
    int32_t b = blue;
    int32_t largest = std::max({r, g, b});
    int32_t smallest = std::min({r, g, b});
    HueSaturationValue hsv{0, 0, uint8_t(largest)};
    if (largest == 0)
        return hsv;
    int32_t spread = largest - smallest;
    hsv.saturation = uint8_t(spread * 255 / largest);
    if (hsv.saturation == 0)
        return hsv;
    int32_t hue;
    if (largest == r)
        hue = (g - b) * 40 / spread;
    else if (largest == g)
        hue = (b - r) * 40 / spread + 80;
    else
        hue = (r - g) * 40 / spread + 160;
    if (hue < 0)
        hue += 240;
    hsv.hue = uint8_t(hue * 256 / 240);
    return hsv;
}

bool InverseTableSmall(uint32_t colourCount, const RgbQuad* colours, unsigned bits, uint8_t* table)
{
    if (!ValidTableArguments(colourCount, colours, bits, table))
        return false;
    CellGrid grid(bits);
    std::unique_ptr<int32_t[]> distances(new (std::nothrow) int32_t[InverseTableSize(bits)]);
    if (!distances)
        return false;
    int32_t s = grid.size;
    int32_t growth = 2 * s * s;
    for (uint32_t i = 0; i < colourCount; ++i) {
        HueSaturationValue hsv = RgbToHsv(colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue);
        int32_t hue = hsv.hue;
        int32_t saturation = hsv.saturation;
        int32_t value = hsv.value;
        auto first = [&](int32_t channel) { return (channel - grid.half + 1) * (channel - grid.half + 1); };
        // Stepping from cell k to k + 1 adds 2s^2 x (k + 1) - 2s x channel.
        uint32_t x = 0;
        int32_t hueDistance = first(hue) + first(saturation) + first(value);
        int32_t hueStep = growth - 2 * s * hue;
        for (int32_t h = 0; h < grid.cells; ++h) {
            int32_t saturationDistance = hueDistance;
            int32_t saturationStep = growth - 2 * s * saturation;
            for (int32_t k = 0; k < grid.cells; ++k) {
                int32_t distance = saturationDistance;
                int32_t valueStep = growth - 2 * s * value;
                for (int32_t v = 0; v < grid.cells; ++v, ++x) {
                    if (i == 0 || distance < distances[x]) {
                        distances[x] = distance;
                        table[x] = uint8_t(i);
                    }
                    distance += valueStep;
                    valueStep += growth;
                }
                saturationDistance += saturationStep;
                saturationStep += growth;
            }
            hueDistance += hueStep;
            hueStep += growth;
        }
    }
    return true;
}

bool InverseTableLarge(uint32_t colourCount, const RgbQuad* colours, unsigned bits, uint8_t* table)
{
    if (!ValidTableArguments(colourCount, colours, bits, table))
        return false;
    if (colourCount == 0)
        return true;
    std::unique_ptr<BoxedTable> boxes(new (std::nothrow) BoxedTable(colourCount, colours, CellGrid(bits)));
    if (!boxes)
        return false;
    boxes->Fill(table);
    return true;
}

bool BuildInverseTable(uint32_t colourCount, const RgbQuad* colours, unsigned bits, uint8_t* table)
{
    if (!ValidTableArguments(colourCount, colours, bits, table))
        return false;
    if (colourCount <= 16)
        return InverseTableSmall(colourCount, colours, bits, table);
    if (!InverseTableLarge(colourCount, colours, bits, table))
        return false;
    auto is = [&](uint32_t i, uint8_t level) {
        return colours[i].rgbRed == level && colours[i].rgbGreen == level && colours[i].rgbBlue == level;
    };
    for (uint32_t i = 0; i < colourCount; ++i) {
        if (is(i, 0)) {
            table[0] = uint8_t(i);
            break;
        }
    }
    for (uint32_t i = colourCount; i-- > 0;) {
        if (is(i, 255)) {
            table[InverseTableSize(bits) - 1] = uint8_t(i);
            break;
        }
    }
    return true;
}

}  // namespace orv
