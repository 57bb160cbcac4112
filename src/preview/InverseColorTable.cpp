#include "preview/InverseColorTable.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
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

// A cell's key is D x 256 + the palette index: the least key names the nearest colour
// and, among equally near ones, the lowest index, whatever the order of the scan. The
// keys of a run of BoxCells cells along blue are measured together, as one vector.
template <class Key>
struct KeyRun {
    typedef Key Vector __attribute__((vector_size(BoxCells * sizeof(Key))));
};

// Each axis's part of a key (below 65,536 x 256) is exact in a float, and so is every
// sum below 2^24, while rounding keeps larger sums at 2^24 or more. So floats find
// the same least key wherever every cell's nearest D is below 65,536, as it is when
// the box's bound is; elsewhere integers measure.
constexpr int32_t FloatExactBound = 65536;

class BoxedTable {
public:
    BoxedTable(uint32_t colourCount, const RgbQuad* colours, const CellGrid& grid) : grid(grid)
    {
        OrderDistinct(colourCount, colours);
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
    // Distinct colours in the order of their interleaved bits, so that near colours sit
    // together, each the first of its equals (a later equal colour never wins a cell).
    void OrderDistinct(uint32_t colourCount, const RgbQuad* colours)
    {
        std::array<uint32_t, MaxColours> keys;
        for (uint32_t i = 0; i < colourCount; ++i)
            keys[i] = Interleaved(colours[i]) << 8 | i;
        std::sort(keys.begin(), keys.begin() + colourCount);
        distinct = 0;
        for (uint32_t k = 0; k < colourCount; ++k) {
            if (k == 0 || keys[k] >> 8 != keys[k - 1] >> 8)
                index[distinct++] = uint8_t(keys[k] & 0xFF);
        }
    }

    static uint32_t Interleaved(const RgbQuad& colour)
    {
        uint32_t bits = 0;
        for (int32_t bit = 7; bit >= 0; --bit)
            bits = bits << 3 | (colour.rgbRed >> bit & 1u) << 2 | (colour.rgbGreen >> bit & 1u) << 1 | (colour.rgbBlue >> bit & 1u);
        return bits;
    }

    void SetTerms(uint32_t j, const RgbQuad& colour)
    {
        int32_t channels[3] = {colour.rgbRed, colour.rgbGreen, colour.rgbBlue};
        for (size_t axis = 0; axis < 3; ++axis) {
            int32_t channel = channels[axis];
            int32_t own = 2 * ((channel & (grid.size - 1)) - grid.half) + 1;
            auto term = [&](int32_t k) {
                int32_t d = channel - (k * grid.size + grid.half);
                return d * d + own;
            };
            // The palette index rides in the red part of the key.
            int32_t id = axis == 0 ? index[j] : 0;
            for (int32_t k = 0; k < grid.cells; ++k)
                terms[j][axis][size_t(k)] = float(term(k) << 8 | id);
            // The part grows with the distance from the colour's own cell: least at the
            // run's cell nearest to it, greatest at one of the run's ends.
            int32_t home = channel >> (8 - grid.bits);
            for (int32_t box = 0; box < grid.cells / BoxCells; ++box) {
                int32_t first = box * BoxCells;
                int32_t last = first + BoxCells - 1;
                boxLeast[axis][size_t(box)][j] = term(std::clamp(home, first, last));
                boxGreatest[axis][size_t(box)][j] = std::max(term(first), term(last));
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
        alignas(8) std::array<uint8_t, MaxColours> near{};
        for (uint32_t j = 0; j < distinct; ++j)
            near[j] = leastRed[j] + leastGreen[j] + leastBlue[j] <= bound;
        // Near colours sit together, so most words of flags are empty.
        uint32_t count = 0;
        for (uint32_t first = 0; first < distinct; first += 8) {
            uint64_t word;
            std::memcpy(&word, &near[first], sizeof word);
            for (; word != 0; word &= word - 1)
                candidates[count++] = first + uint32_t(std::countr_zero(word)) / 8;
        }
        int32_t r0 = red * BoxCells;
        int32_t g0 = green * BoxCells;
        int32_t b0 = blue * BoxCells;
        for (int32_t half = 0; half < BoxCells; half += BoxCells / 2) {
            if (bound < FloatExactBound)
                Measure<float>(count, r0 + half, g0, b0, table);
            else
                Measure<int32_t>(count, r0 + half, g0, b0, table);
        }
    }

    // Half a box at a time, so the least keys stay in registers.
    template <class Key>
    void Measure(uint32_t count, int32_t r0, int32_t g0, int32_t b0, uint8_t* table)
    {
        using Vector = typename KeyRun<Key>::Vector;
        using Floats = typename KeyRun<float>::Vector;
        constexpr int32_t Reds = BoxCells / 2;
        Vector best[Reds][BoxCells];
        for (auto& line : best)
            std::fill_n(line, BoxCells, Vector{} + std::numeric_limits<Key>::max());
        for (uint32_t c = 0; c < count; ++c) {
            const auto& t = terms[candidates[c]];
            Floats greens;
            Floats blues;
            std::memcpy(&greens, &t[1][size_t(g0)], sizeof greens);
            std::memcpy(&blues, &t[2][size_t(b0)], sizeof blues);
            Vector blueKeys = __builtin_convertvector(blues, Vector);
            Vector greenKeys = __builtin_convertvector(greens, Vector);
            for (int32_t r = 0; r < Reds; ++r) {
                Vector lines = greenKeys + Key(t[0][size_t(r0 + r)]);
                for (int32_t g = 0; g < BoxCells; ++g) {
                    Vector keys = blueKeys + lines[g];
                    best[r][g] = best[r][g] < keys ? best[r][g] : keys;
                }
            }
        }
        for (int32_t r = 0; r < Reds; ++r) {
            for (int32_t g = 0; g < BoxCells; ++g) {
                auto indices = __builtin_convertvector(best[r][g], typename KeyRun<int32_t>::Vector) & 0xFF;
                uint8_t* row = table + grid.Index(r0 + r, g0 + g, b0);
                for (int32_t b = 0; b < BoxCells; ++b)
                    row[b] = uint8_t(indices[b]);
            }
        }
    }

    CellGrid grid;
    uint32_t distinct = 0;
    std::array<uint8_t, MaxColours> index;
    // Each distinct colour's part of the key along each axis, cell by cell.
    std::array<std::array<std::array<float, MaxCells>, 3>, MaxColours> terms;
    // The least and greatest of each part of D over each box's run of cells, by axis,
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
