#include "preview/GifDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "preview/GifImageRows.h"
#include "preview/PictureHeaders.h"

namespace orv {
namespace {

constexpr uint32_t HeaderSize = sizeof(PreviewHeader) + sizeof(BitmapInfoHeader);
constexpr unsigned MaxCodes = 4096;

uint16_t LoadU16(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t BitmapColour(const uint8_t* rgb)
{
    return uint32_t{rgb[2]} | uint32_t{rgb[1]} << 8 | uint32_t{rgb[0]} << 16;
}

// Expands one image's codes onto the canvas. A string is written from its last index
// back to its first along the prefix links, so it costs its length where it shows on
// the canvas and nothing where it does not. Every string is cut at the image's last
// pixel.
class LzwExpander {
public:
    LzwExpander(unsigned minCodeSize, GifDecoder::CodeTable& table, const GifImageRows& rows,
                uint32_t width, uint32_t count, const GifDecoder::ColourLookup& colours)
        : table(table), rows(rows), colours(colours), width(width), count(count),
          visibleColumns(rows.VisibleColumns()), rowPixels(rows.Row(0)), minCodeSize(minCodeSize),
          clear(1u << minCodeSize)
    {
        for (unsigned root = 0; root < clear; ++root) {
            auto index = static_cast<uint8_t>(root);
            table[root] = {0, 1, index, index};
        }
        Reset();
    }

    unsigned CodeSize() const { return codeSize; }
    unsigned Mask() const { return mask; }
    uint32_t Reached() const { return position; }

    // False once the image is complete: every pixel written, or its end code read.
    bool ProcessCode(unsigned code)
    {
        if (code < next && code - clear > 1) {
            AddEntry(table[code].first);
            previous = code;
            hasPrevious = true;
            return EmitString(code);
        }
        if (code == clear) {
            Reset();
            return true;
        }
        if (code == clear + 1)
            return false;
        // The code the encoder is about to define: the previous string and its own
        // first index again.
        if (code == next && hasPrevious) {
            AddEntry(table[previous].first);
            previous = code;
            return EmitString(code);
        }
        return true;
    }

private:
    void Reset()
    {
        codeSize = minCodeSize + 1;
        mask = (1u << codeSize) - 1;
        next = clear + 2;
        hasPrevious = false;
    }

    // The entry for the previous string and the index that follows it.
    void AddEntry(uint8_t index)
    {
        if (!hasPrevious || next >= MaxCodes)
            return;
        const GifDecoder::CodeEntry& prefix = table[previous];
        table[next] = {static_cast<uint16_t>(previous), static_cast<uint16_t>(prefix.length + 1), index,
                       prefix.first};
        ++next;
        if ((next & mask) == 0 && next < MaxCodes) {
            ++codeSize;
            mask += next;
        }
    }

    // Most strings end within the row they start in.
    bool EmitString(unsigned code)
    {
        uint32_t stringLength = table[code].length;
        if (column + stringLength >= width)
            return EmitAcrossRows(code, stringLength);
        if (rowPixels != nullptr && column < visibleColumns)
            WriteRun(code, rowPixels, column, column + stringLength);
        column += stringLength;
        position += stringLength;
        return true;
    }

    bool EmitAcrossRows(unsigned code, uint32_t stringLength)
    {
        uint32_t end = std::min(position + stringLength, count);
        uint32_t lastRow = (end - 1) / width;
        if (rows.Reaches(row, column, lastRow)) {
            for (uint32_t cut = position + stringLength - end; cut > 0; --cut)
                code = table[code].prefix;
            uint32_t to = end - lastRow * width;
            for (uint32_t r = lastRow; r > row; --r) {
                code = WriteRun(code, rows.Row(r), 0, to);
                to = width;
            }
            WriteRun(code, rowPixels, column, to);
        }
        position = end;
        row = end / width;
        column = end - row * width;
        rowPixels = position < count ? rows.Row(row) : nullptr;
        return position < count;
    }

    // Writes the last to - from indices of the entry's string into columns from to
    // to - 1 of a row (null: off the canvas) where they lie on the canvas; returns
    // the entry of the rest of the string.
    unsigned WriteRun(unsigned code, uint8_t* pixels, uint32_t from, uint32_t to)
    {
        uint32_t x = pixels == nullptr ? from : std::clamp(visibleColumns, from, to);
        for (uint32_t skipped = to; skipped > x; --skipped)
            code = table[code].prefix;
        while (x > from) {
            --x;
            std::memcpy(pixels + 4 * x, &colours[table[code].last], 4);
            code = table[code].prefix;
        }
        return code;
    }

    GifDecoder::CodeTable& table;
    const GifImageRows& rows;
    const GifDecoder::ColourLookup& colours;
    uint32_t width;
    uint32_t count;
    uint32_t visibleColumns;
    // The next pixel: its place in storage order, its row and column, and where
    // that row starts on the canvas.
    uint32_t position = 0;
    uint32_t row = 0;
    uint32_t column = 0;
    uint8_t* rowPixels;
    unsigned minCodeSize;
    unsigned clear;
    unsigned codeSize = 0;
    unsigned mask = 0;
    unsigned next = 0;
    bool hasPrevious = false;
    unsigned previous = 0;
};

}  // namespace

std::unique_ptr<uint8_t[]> DecodeGif(const uint8_t* stream, uint32_t length, uint32_t& blockSize)
{
    blockSize = 0;
    if (stream == nullptr)
        return nullptr;
    std::unique_ptr<GifDecoder> decoder(new (std::nothrow) GifDecoder(stream, length));
    if (!decoder)
        return nullptr;
    return decoder->Decode(blockSize);
}

GifDecoder::GifDecoder(const uint8_t* stream, uint32_t length) : stream(stream), length(length) {}

const uint8_t* GifDecoder::Take(uint32_t count)
{
    if (count > length - position)
        return nullptr;
    const uint8_t* bytes = stream + position;
    position += count;
    return bytes;
}

std::unique_ptr<uint8_t[]> GifDecoder::Decode(uint32_t& resultSize)
{
    resultSize = 0;
    const uint8_t* header = Take(13);
    if (header == nullptr || std::memcmp(header, "GIF", 3) != 0)
        return nullptr;
    canvasWidth = LoadU16(header + 6);
    canvasHeight = LoadU16(header + 8);
    uint8_t flags = header[10];
    uint8_t background = header[11];
    if (canvasWidth == 0 || canvasHeight == 0 || canvasWidth > GifMaxSide ||
        canvasHeight > GifMaxSide)
        return nullptr;

    constexpr uint8_t noTableBackground[3] = {117, 0, 0};
    backgroundColour = BitmapColour(noTableBackground);
    if (flags & 0x80) {
        hasGlobalTable = true;
        if (!ReadColourTable(flags & 7, globalColours))
            return nullptr;
        if (background < 2u << (flags & 7))
            backgroundColour = globalColours[background];
    }


    while (const uint8_t* introducer = Take(1)) {
        switch (*introducer) {
        case 0x21:
            if (Take(1) == nullptr || !SkipSubBlocks())
                return nullptr;
            break;
        case 0x2C:
            if (!DecodeImage())
                return nullptr;
            break;
        case 0x3B:
            if (!block && !MakeCanvas(false))
                return nullptr;
            MakeBitmapBlock();
            resultSize = blockSize;
            return std::move(block);
        default:
            break;
        }
    }
    return nullptr;
}

bool GifDecoder::ReadColourTable(uint8_t sizeField, ColourLookup& colours)
{
    uint32_t entries = 2u << sizeField;
    const uint8_t* table = Take(3 * entries);
    if (table == nullptr)
        return false;
    for (uint32_t i = 0; i < colours.size(); ++i)
        colours[i] = BitmapColour(table + 3 * (i < entries ? i : 0));
    return true;
}

bool GifDecoder::SkipSubBlocks()
{
    for (;;) {
        const uint8_t* size = Take(1);
        if (size == nullptr)
            return false;
        if (*size == 0)
            return true;
        if (Take(*size) == nullptr)
            return false;
    }
}

// The image's data sub-blocks, joined, up to their zero-size terminator, after which
// the block loop goes on whether or not the codes filled the image.
bool GifDecoder::GatherSubBlocks(std::unique_ptr<uint8_t[]>& data, uint32_t& dataLength)
{
    uint32_t start = position;
    if (!SkipSubBlocks())
        return false;
    // The joined data is shorter than the sub-blocks with their size bytes.
    dataLength = 0;
    data.reset(new (std::nothrow) uint8_t[position - start]);
    if (!data)
        return false;
    for (uint32_t at = start; stream[at] != 0; at += 1 + stream[at]) {
        std::memcpy(data.get() + dataLength, stream + at + 1, stream[at]);
        dataLength += stream[at];
    }
    return true;
}

bool GifDecoder::DecodeImage()
{
    const uint8_t* descriptor = Take(9);
    if (descriptor == nullptr)
        return false;
    GifImageRows::Placement image{LoadU16(descriptor), LoadU16(descriptor + 2), LoadU16(descriptor + 4),
                                  LoadU16(descriptor + 6), (descriptor[8] & 0x40) != 0};
    const ColourLookup* colours = &globalColours;
    if (descriptor[8] & 0x80) {
        if (!ReadColourTable(descriptor[8] & 7, localColours))
            return false;
        colours = &localColours;
    } else if (!hasGlobalTable) {
        return false;
    }

    // With a larger minimum the clear and end codes would leave the table no room.
    const uint8_t* minCodeSize = Take(1);
    if (minCodeSize == nullptr || *minCodeSize > 11)
        return false;
    std::unique_ptr<uint8_t[]> data;
    uint32_t dataLength = 0;
    if (!GatherSubBlocks(data, dataLength))
        return false;

    uint64_t pixels = uint64_t{image.width} * image.height;
    if (pixels > GifMaxImagePixels)
        return false;
    bool covered = !block && image.left == 0 && image.top == 0 && image.width >= canvasWidth &&
                   image.height >= canvasHeight;
    if (!block && !MakeCanvas(covered))
        return false;
    GifImageRows rows(block.get() + HeaderSize, canvasWidth, canvasHeight, image);
    uint32_t reached = DecodeLzw(*minCodeSize, data.get(), dataLength, rows, image.width,
                                 static_cast<uint32_t>(pixels), *colours);
    if (covered)
        rows.FillFrom(reached / image.width, reached % image.width, backgroundColour);
    return true;
}

uint32_t GifDecoder::DecodeLzw(unsigned minCodeSize, const uint8_t* data, uint32_t dataLength,
                               const GifImageRows& rows, uint32_t width, uint32_t count,
                               const ColourLookup& colours)
{
    if (count == 0)
        return 0;
    LzwExpander expander(minCodeSize, table, rows, width, count, colours);
    const uint8_t* in = data;
    const uint8_t* end = data + dataLength;
    // Codes are packed least significant bit first. The accumulator is topped up
    // before every code, eight bytes at a time, which costs less than deciding
    // whether it needs to be; the bits of a byte loaded twice agree, so or-ing them
    // in again changes nothing.
    uint64_t bits = 0;
    unsigned bitCount = 0;
    for (;;) {
        unsigned codeSize = expander.CodeSize();
        if (end - in >= 8) {
            uint64_t word;
            std::memcpy(&word, in, 8);
            bits |= word << bitCount;
            in += (63 - bitCount) >> 3;
            bitCount |= 56;
        } else {
            while (bitCount < 56 && in < end) {
                bits |= uint64_t{*in++} << bitCount;
                bitCount += 8;
            }
            if (bitCount < codeSize)
                break;
        }
        unsigned mask = expander.Mask();
        auto code = static_cast<unsigned>(bits & mask);
        // Minimum code sizes below 2 grow the mask past the code size. Its extra
        // bits see what a reader taking one byte at a time would hold: the bytes
        // up to the one that completes the code, and zeros above them.
        if (mask >> codeSize) {
            uint64_t consumed = uint64_t(in - data) * 8 - bitCount;
            auto held = static_cast<unsigned>(((consumed + codeSize + 7) & ~uint64_t{7}) - consumed);
            code &= (1u << held) - 1;
        }
        bits >>= codeSize;
        bitCount -= codeSize;
        if (!expander.ProcessCode(code))
            break;
    }
    return expander.Reached();
}

// The canvas is made when the first image or the trailer needs it, so that a stream
// broken before then costs no canvas. When that image covers it all, the background
// is painted only where the image's data does not reach.
bool GifDecoder::MakeCanvas(bool covered)
{
    blockSize = HeaderSize + canvasWidth * canvasHeight * 4;
    block.reset(new (std::nothrow) uint8_t[blockSize]);
    if (!block)
        return false;
    for (uint32_t at = HeaderSize; !covered && at < blockSize; at += 4)
        std::memcpy(block.get() + at, &backgroundColour, 4);
    return true;
}

void GifDecoder::MakeBitmapBlock()
{
    PreviewHeader preview{};
    preview.frameBottom = static_cast<int16_t>(canvasHeight);
    preview.frameRight = static_cast<int16_t>(canvasWidth);
    preview.flags = PreviewFlagGif;
    StoreStruct(block.get(), preview);
    BitmapInfoHeader bitmap{};
    bitmap.biSize = sizeof(BitmapInfoHeader);
    bitmap.biWidth = static_cast<int32_t>(canvasWidth);
    bitmap.biHeight = static_cast<int32_t>(canvasHeight);
    bitmap.biPlanes = 1;
    bitmap.biBitCount = 32;
    bitmap.biCompression = CompressionRgb;
    bitmap.biSizeImage = canvasWidth * canvasHeight * 4;
    StoreStruct(block.get() + sizeof(PreviewHeader), bitmap);
}

}  // namespace orv
