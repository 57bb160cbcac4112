#include "GifWriter.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace orv::test {
namespace {

constexpr unsigned MaxCodes = 4096;

// The code width a decoder reads with, following the codes as they arrive.
class CodeWidth {
public:
    explicit CodeWidth(unsigned minCodeSize) : minCodeSize(minCodeSize), clear(1u << minCodeSize)
    {
        Reset();
    }

    unsigned Bits() const { return size; }

    void After(unsigned code)
    {
        if (code == clear) {
            Reset();
            return;
        }
        if (code == clear + 1 || code > next || (code == next && !hasPrevious))
            return;
        if (hasPrevious && next < MaxCodes) {
            ++next;
            if ((next & mask) == 0 && next < MaxCodes) {
                ++size;
                mask += next;
            }
        }
        hasPrevious = true;
    }

private:
    void Reset()
    {
        size = minCodeSize + 1;
        mask = (1u << size) - 1;
        next = clear + 2;
        hasPrevious = false;
    }

    unsigned minCodeSize;
    unsigned clear;
    unsigned size = 0;
    unsigned mask = 0;
    unsigned next = 0;
    bool hasPrevious = false;
};

class BitPacker {
public:
    void Put(unsigned code, unsigned width)
    {
        bits |= uint64_t{code & ((1u << width) - 1)} << count;
        count += width;
        while (count >= 8) {
            bytes.push_back(static_cast<uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    }

    std::vector<uint8_t> Finish()
    {
        if (count > 0)
            bytes.push_back(static_cast<uint8_t>(bits));
        return bytes;
    }

private:
    uint64_t bits = 0;
    unsigned count = 0;
    std::vector<uint8_t> bytes;
};

}  // namespace

uint8_t TableSizeField(size_t entries)
{
    if (entries == 0 || entries > 256)
        throw std::invalid_argument("a colour table holds 1 to 256 entries");
    uint8_t field = 0;
    while ((2u << field) < entries)
        ++field;
    return field;
}

GifWriter::GifWriter(const char* version)
{
    out.Bytes("GIF", 3).Bytes(version, 3);
}

GifWriter& GifWriter::Screen(uint16_t width, uint16_t height, const Palette& globalTable,
                             uint8_t background)
{
    uint8_t flags = globalTable.empty() ? 0 : 0x80 | 0x70 | TableSizeField(globalTable.size());
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
    if (image.indices.size() != size_t{image.width} * image.height)
        throw std::invalid_argument("an image needs width x height indices");
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

GifWriter& GifWriter::Raw(const std::vector<uint8_t>& bytes)
{
    out.Bytes(bytes);
    return *this;
}

GifWriter& GifWriter::Trailer()
{
    out.U8(0x3B);
    return *this;
}

void GifWriter::Table(const Palette& table)
{
    if (table.empty())
        return;
    size_t entries = 2u << TableSizeField(table.size());
    for (size_t i = 0; i < entries; ++i) {
        Rgb colour = i < table.size() ? table[i] : Rgb{0, 0, 0};
        out.U8(colour.red).U8(colour.green).U8(colour.blue);
    }
}

void GifWriter::SubBlocks(const std::vector<uint8_t>& data, size_t blockSize)
{
    if (blockSize == 0 || blockSize > 255)
        throw std::invalid_argument("a sub-block holds 1 to 255 bytes");
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
            rows.insert(rows.end(), indices.begin() + row * width,
                        indices.begin() + (row + 1) * width);
    }
    return rows;
}

std::vector<unsigned> EncodeLzw(const std::vector<uint8_t>& indices, unsigned minCodeSize,
                                const LzwOptions& options)
{
    const unsigned clear = 1u << minCodeSize;
    std::vector<unsigned> codes;
    std::unordered_map<uint32_t, unsigned> strings;
    unsigned next = clear + 2;
    if (options.leadingClear)
        codes.push_back(clear);
    long current = -1;
    for (uint8_t index : indices) {
        if (index >= clear)
            throw std::invalid_argument("an index needs a root code");
        if (current < 0) {
            current = index;
            continue;
        }
        uint32_t key = static_cast<uint32_t>(current) << 8 | index;
        if (auto found = strings.find(key); found != strings.end()) {
            current = found->second;
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
    if (options.endCode)
        codes.push_back(clear + 1);
    return codes;
}

std::vector<uint8_t> PackCodes(const std::vector<unsigned>& codes, unsigned minCodeSize)
{
    CodeWidth width(minCodeSize);
    BitPacker packer;
    for (unsigned code : codes) {
        packer.Put(code, width.Bits());
        width.After(code);
    }
    return packer.Finish();
}

std::vector<uint8_t> PackBits(const std::vector<std::pair<unsigned, unsigned>>& codesAndWidths)
{
    BitPacker packer;
    for (auto [code, width] : codesAndWidths)
        packer.Put(code, width);
    return packer.Finish();
}

std::vector<uint8_t> ExpandCodesByChain(const std::vector<uint8_t>& codeBytes,
                                        unsigned minCodeSize, size_t count)
{
    struct Entry {
        int prefix;
        uint8_t first;
        uint8_t last;
    };
    const unsigned clear = 1u << minCodeSize;
    std::vector<Entry> table(MaxCodes);
    for (unsigned code = 0; code < clear; ++code)
        table[code] = {-1, static_cast<uint8_t>(code), static_cast<uint8_t>(code)};
    unsigned size = 0, mask = 0, next = 0;
    int previous = -1;
    auto reset = [&] {
        size = minCodeSize + 1;
        mask = (1u << size) - 1;
        next = clear + 2;
        previous = -1;
    };
    auto add = [&](uint8_t last) {
        table[next] = {previous, table[previous].first, last};
        ++next;
        if ((next & mask) == 0 && next < MaxCodes) {
            ++size;
            mask += next;
        }
    };
    std::vector<uint8_t> out;
    auto emit = [&](unsigned code) {
        std::vector<uint8_t> reversed;
        for (int link = static_cast<int>(code); link >= 0; link = table[link].prefix)
            reversed.push_back(table[link].last);
        out.insert(out.end(), reversed.rbegin(), reversed.rend());
    };

    reset();
    uint32_t bits = 0;
    unsigned bitCount = 0;
    for (uint8_t byte : codeBytes) {
        if (out.size() >= count)
            break;
        bits |= uint32_t{byte} << bitCount;
        bitCount += 8;
        while (bitCount >= size) {
            unsigned code = bits & mask;
            bits >>= size;
            bitCount -= size;
            if (code == clear) {
                reset();
            } else if (code == clear + 1) {
                out.resize(count);
                return out;
            } else if (code < next) {
                emit(code);
                if (previous >= 0 && next < MaxCodes)
                    add(table[code].first);
                previous = static_cast<int>(code);
            } else if (code == next && previous >= 0) {
                add(table[previous].first);
                emit(code);
                previous = static_cast<int>(code);
            }
        }
    }
    out.resize(count);
    return out;
}

}  // namespace orv::test
