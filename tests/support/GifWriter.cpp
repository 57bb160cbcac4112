#include "GifWriter.h"

#include <algorithm>
#include <unordered_map>

namespace orv::test {
namespace {

constexpr unsigned MaxCodes = 4096;

// The string table as a decoder keeps it while codes arrive: the code width, and
// each code's prefix link and last index.
struct StringTable {
    explicit StringTable(unsigned minCodeSize) : minCodeSize(minCodeSize), clear(1u << minCodeSize)
    {
        for (unsigned code = 0; code < clear; ++code)
            entries[code] = {-1, static_cast<uint8_t>(code)};
        Reset();
    }

    // The indices the code stands for: none for the clear and end codes, nor for the
    // codes a decoder skips (beyond the next free one, or that one with no string
    // before it).
    std::vector<uint8_t> Take(unsigned code)
    {
        if (code == clear)
            Reset();
        if (code == clear || code == clear + 1 || code > next || (code == next && previous < 0))
            return {};
        std::vector<uint8_t> string;
        for (int link = static_cast<int>(code == next ? previous : code); link >= 0; link = entries[link].prefix)
            string.push_back(entries[link].last);
        std::reverse(string.begin(), string.end());
        if (code == next)
            string.push_back(string[0]);
        if (previous >= 0 && next < MaxCodes) {
            entries[next++] = {previous, string[0]};
            if ((next & mask) == 0 && next < MaxCodes) {
                ++bits;
                mask += next;
            }
        }
        previous = static_cast<int>(code);
        return string;
    }

    void Reset()
    {
        bits = minCodeSize + 1;
        mask = (1u << bits) - 1;
        next = clear + 2;
        previous = -1;
    }

    struct Entry {
        int prefix;
        uint8_t last;
    };
    unsigned minCodeSize;
    unsigned clear;
    unsigned bits = 0;
    unsigned mask = 0;
    unsigned next = 0;
    int previous = -1;
    Entry entries[MaxCodes];
};

// The size field n of a table of 2 << n entries that holds entries colours.
uint8_t TableSizeField(size_t entries)
{
    uint8_t field = 0;
    while ((2u << field) < entries)
        ++field;
    return field;
}

}  // namespace

GifWriter::GifWriter(const char* version)
{
    out.Bytes("GIF", 3).Bytes(version, 3);
}

GifWriter& GifWriter::Screen(uint16_t width, uint16_t height, const Palette& globalTable,
                             uint8_t background)
{
    uint8_t flags = globalTable.empty() ? 0 : 0xF0 | TableSizeField(globalTable.size());
    out.U16(width).U16(height).U8(flags).U8(background).U8(0);
    Table(globalTable);
    return *this;
}

GifWriter& GifWriter::GraphicControl(uint8_t transparentIndex)
{
    out.U8(0x21).U8(0xF9).U8(4).U8(0x01).U16(0).U8(transparentIndex).U8(0);
    return *this;
}

GifWriter& GifWriter::Comment(const std::string& text)
{
    out.U8(0x21).U8(0xFE);
    SubBlocks(std::vector<uint8_t>(text.begin(), text.end()), 255);
    return *this;
}

GifWriter& GifWriter::Image(const GifImage& image)
{
    const std::vector<uint8_t>& rows =
        image.interlaced ? InterlaceRows(image.indices, image.width, image.height) : image.indices;
    return ImageWithCodes(image, PackCodes(EncodeLzw(rows, image.minCodeSize, image.lzw),
                                           image.minCodeSize));
}

GifWriter& GifWriter::ImageWithCodes(const GifImage& image, const std::vector<uint8_t>& codeBytes)
{
    uint8_t flags = image.interlaced ? 0x40 : 0;
    if (!image.localTable.empty())
        flags |= 0x80 | TableSizeField(image.localTable.size());
    out.U8(0x2C).U16(image.left).U16(image.top).U16(image.width).U16(image.height).U8(flags);
    Table(image.localTable);
    out.U8(image.minCodeSize);
    SubBlocks(codeBytes, image.subBlockSize);
    return *this;
}

GifWriter& GifWriter::Trailer()
{
    out.U8(0x3B);
    return *this;
}

void GifWriter::Table(const Palette& table)
{
    for (size_t i = 0; !table.empty() && i < 2u << TableSizeField(table.size()); ++i) {
        Rgb colour = i < table.size() ? table[i] : Rgb{0, 0, 0};
        out.U8(colour.red).U8(colour.green).U8(colour.blue);
    }
}

void GifWriter::SubBlocks(const std::vector<uint8_t>& data, size_t blockSize)
{
    for (size_t at = 0; at < data.size(); at += blockSize) {
        size_t size = std::min(blockSize, data.size() - at);
        out.U8(static_cast<uint8_t>(size)).Bytes(data.data() + at, size);
    }
    out.U8(0);
}

std::vector<uint8_t> InterlaceRows(const std::vector<uint8_t>& indices, size_t width,
                                   size_t height)
{
    std::vector<uint8_t> rows;
    for (auto [first, step] : {std::pair<size_t, size_t>{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
        for (size_t row = first; row < height; row += step)
            rows.insert(rows.end(), indices.begin() + row * width, indices.begin() + (row + 1) * width);
    }
    return rows;
}

std::vector<unsigned> EncodeLzw(const std::vector<uint8_t>& indices, unsigned minCodeSize,
                                const LzwOptions& options)
{
    const unsigned clear = 1u << minCodeSize;
    std::vector<unsigned> codes = {clear};
    std::unordered_map<uint32_t, unsigned> strings;
    unsigned next = clear + 2;
    long current = -1;
    for (uint8_t index : indices) {
        uint32_t key = static_cast<uint32_t>(current) << 8 | index;
        if (current < 0 || strings.count(key) != 0) {
            current = current < 0 ? index : strings[key];
            continue;
        }
        codes.push_back(static_cast<unsigned>(current));
        if (next < MaxCodes) {
            strings.emplace(key, next++);
        } else if (!options.deferredClear) {
            codes.push_back(clear);
            strings.clear();
            next = clear + 2;
        }
        current = index;
    }
    if (current >= 0)
        codes.push_back(static_cast<unsigned>(current));
    codes.push_back(clear + 1);
    return codes;
}

std::vector<uint8_t> PackCodes(const std::vector<unsigned>& codes, unsigned minCodeSize)
{
    StringTable table(minCodeSize);
    std::vector<uint8_t> bytes;
    uint64_t bits = 0;
    unsigned count = 0;
    for (unsigned code : codes) {
        bits |= uint64_t{code & ((1u << table.bits) - 1)} << count;
        count += table.bits;
        for (; count >= 8; count -= 8, bits >>= 8)
            bytes.push_back(static_cast<uint8_t>(bits));
        table.Take(code);
    }
    if (count > 0)
        bytes.push_back(static_cast<uint8_t>(bits));
    return bytes;
}

std::vector<uint8_t> ExpandCodesByChain(const std::vector<uint8_t>& codeBytes,
                                        unsigned minCodeSize, size_t count)
{
    StringTable table(minCodeSize);
    std::vector<uint8_t> out;
    uint32_t bits = 0;
    unsigned bitCount = 0;
    for (size_t at = 0; out.size() < count;) {
        unsigned width = table.bits;
        // Bytes are loaded only as the next code needs them.
        while (bitCount < width && at < codeBytes.size()) {
            bits |= uint32_t{codeBytes[at++]} << bitCount;
            bitCount += 8;
        }
        unsigned code = bits & table.mask;
        if (bitCount < width || code == (1u << minCodeSize) + 1)
            break;
        bits >>= width;
        bitCount -= width;
        std::vector<uint8_t> string = table.Take(code);
        out.insert(out.end(), string.begin(), string.end());
    }
    out.resize(std::min(out.size(), count));
    return out;
}

}  // namespace orv::test
