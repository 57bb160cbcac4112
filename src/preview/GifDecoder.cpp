#include "preview/GifDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "preview/PictureHeaders.h"

namespace orv {
namespace {

constexpr uint32_t HeaderSize = sizeof(PreviewHeader) + sizeof(BitmapInfoHeader);
constexpr unsigned MaxCodes = 4096;
// Strings are copied in 16-byte steps where they are short, so the index buffer
// has this much room past its last pixel for the overrun.
constexpr uint32_t CopySlack = 16;
// Room for the root strings in front of an image's indices: up to 2048 roots with
// a minimum code size of 11.
constexpr uint32_t RootRoom = 2048;

uint16_t LoadU16(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t BitmapColour(const uint8_t* rgb)
{
    return uint32_t{rgb[2]} | uint32_t{rgb[1]} << 8 | uint32_t{rgb[0]} << 16;
}

// Expands one image's codes into its indices. The buffer begins with the root
// strings, one byte each, so that every code's string is a copy of earlier bytes;
// the image's indices follow them. Every string is cut at the image's last pixel.
class LzwExpander {
public:
    LzwExpander(unsigned minCodeSize, GifDecoder::CodeTable& table, uint8_t* buffer,
                uint32_t count)
        : table(table), buffer(buffer), end(RootRoom + count), minCodeSize(minCodeSize),
          clear(1u << minCodeSize)
    {
        for (unsigned root = 0; root < clear; ++root) {
            buffer[root] = static_cast<uint8_t>(root);
            table.start[root] = root;
            table.length[root] = 1;
        }
        Reset();
    }

    unsigned CodeSize() const { return codeSize; }
    unsigned Mask() const { return mask; }

    // Short strings are copied with an overrun past their end, which the next string
    // covers; indices that no string reached are 0.
    void ClearRest()
    {
        if (position < end)
            std::memset(buffer + position, 0, end - position);
    }

    // False once the image is complete: every pixel written, or its end code read.
    bool ProcessCode(unsigned code)
    {
        if (code < next && code - clear > 1) {
            uint32_t stringLength = table.length[code];
            EmitString(table.start[code], stringLength);
            AddEntry();
            return Emitted(stringLength);
        }
        if (code == clear) {
            Reset();
            return true;
        }
        if (code == clear + 1)
            return false;
        // The code the encoder is about to define: the previous string and its
        // own first byte again.
        if (code == next && hasPrevious) {
            EmitString(previousStart, previousLength);
            if (position + previousLength < end)
                buffer[position + previousLength] = buffer[previousStart];
            AddEntry();
            return Emitted(previousLength + 1);
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

    // The entry for the previous string plus the first byte of the string written
    // just after it, which is where that string now stands in the indices.
    void AddEntry()
    {
        if (!hasPrevious || next >= MaxCodes)
            return;
        table.start[next] = previousStart;
        table.length[next] = static_cast<uint16_t>(previousLength + 1);
        ++next;
        if ((next & mask) == 0 && next < MaxCodes) {
            ++codeSize;
            mask += next;
        }
    }

    // Copies an earlier string to the output position. The source ends at or before
    // the position, so the two never overlap.
    void EmitString(uint32_t start, uint32_t stringLength)
    {
        uint32_t room = end - position;
        uint8_t* to = buffer + position;
        const uint8_t* from = buffer + start;
        if (stringLength <= CopySlack || room <= CopySlack)
            std::memmove(to, from, CopySlack);
        else
            std::memcpy(to, from, std::min(stringLength, room));
    }

    bool Emitted(uint32_t stringLength)
    {
        previousStart = position;
        previousLength = stringLength;
        hasPrevious = true;
        position += stringLength;
        return position < end;
    }

    GifDecoder::CodeTable& table;
    uint8_t* buffer;
    uint32_t end;
    uint32_t position = RootRoom;
    unsigned minCodeSize;
    unsigned clear;
    unsigned codeSize = 0;
    unsigned mask = 0;
    unsigned next = 0;
    bool hasPrevious = false;
    uint32_t previousStart = 0;
    uint32_t previousLength = 0;
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
    Image image{LoadU16(descriptor), LoadU16(descriptor + 2), LoadU16(descriptor + 4),
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
    auto count = static_cast<uint32_t>(pixels);
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[RootRoom + count + CopySlack]);
    if (!buffer)
        return false;
    DecodeLzw(*minCodeSize, data.get(), dataLength, buffer.get(), count);
    const uint8_t* indices = buffer.get() + RootRoom;
    if (image.interlaced) {
        buffer = Deinterlace(indices, image.width, image.height);
        if (!buffer)
            return false;
        indices = buffer.get();
    }
    if (!block && !MakeCanvas(image.left == 0 && image.top == 0 && image.width >= canvasWidth &&
                              image.height >= canvasHeight))
        return false;
    PaintImage(image, indices, *colours);
    return true;
}

void GifDecoder::DecodeLzw(unsigned minCodeSize, const uint8_t* data, uint32_t dataLength,
                           uint8_t* buffer, uint32_t count)
{
    if (count == 0)
        return;
    LzwExpander expander(minCodeSize, table, buffer, count);
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
    expander.ClearRest();
}

std::unique_ptr<uint8_t[]> GifDecoder::Deinterlace(const uint8_t* indices, uint32_t width,
                                                   uint32_t height)
{
    std::unique_ptr<uint8_t[]> rows(new (std::nothrow) uint8_t[uint64_t{width} * height]);
    if (!rows)
        return nullptr;
    static constexpr struct {
        uint32_t first;
        uint32_t step;
    } passes[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    const uint8_t* from = indices;
    for (const auto& pass : passes) {
        for (uint32_t row = pass.first; row < height; row += pass.step) {
            std::memcpy(rows.get() + uint64_t{row} * width, from, width);
            from += width;
        }
    }
    return rows;
}

// The canvas is made when the first image or the trailer needs it, so that a stream
// broken before then costs no canvas. An image that covers it all hides the
// background entirely.
bool GifDecoder::MakeCanvas(bool covered)
{
    blockSize = HeaderSize + canvasWidth * canvasHeight * 4;
    block.reset(new (std::nothrow) uint8_t[blockSize]);
    if (!block)
        return false;
    if (covered)
        return true;
    for (uint32_t y = 0; y < canvasHeight; ++y) {
        uint8_t* row = CanvasRow(y);
        for (uint32_t x = 0; x < canvasWidth; ++x)
            std::memcpy(row + 4 * x, &backgroundColour, 4);
    }
    return true;
}

uint8_t* GifDecoder::CanvasRow(uint32_t y)
{
    return block.get() + HeaderSize + uint64_t{canvasHeight - 1 - y} * canvasWidth * 4;
}

void GifDecoder::PaintImage(const Image& image, const uint8_t* indices, const ColourLookup& colours)
{
    if (image.left >= canvasWidth || image.top >= canvasHeight)
        return;
    uint32_t columns = std::min(image.width, canvasWidth - image.left);
    uint32_t rows = std::min(image.height, canvasHeight - image.top);
    for (uint32_t r = 0; r < rows; ++r) {
        const uint8_t* from = indices + uint64_t{r} * image.width;
        uint8_t* to = CanvasRow(image.top + r) + 4 * image.left;
        for (uint32_t c = 0; c < columns; ++c)
            std::memcpy(to + 4 * c, &colours[from[c]], 4);
    }
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
