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
// Short strings are copied in one 16-byte step, whose overrun the next string covers.
constexpr uint32_t CopySlack = 16;
// The index buffer's room past an image's last pixel: a string that runs over it
// is cut, but its end still points into the buffer.
constexpr uint32_t OverrunRoom = MaxCodes;
// The length in the string tables of the clear and end codes, which have no string.
constexpr uint16_t NoString = 0xFFFF;
// Zero bytes after an image's joined data, so that a code near its end is read as
// one 8-byte word like any other.
constexpr uint32_t ReadSlack = 8;
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

// Reads an image's codes, packed least significant bit first, until the data or
// the image ends, and tells the expander of each code below the next entry, with
// the entry that code adds (the previous string and the first index of the one
// emitted), or the sink past the last code when the table is full; EmitDefined is
// told of a code equal to the entry it adds, and Start of the first string after a
// clear code, which adds none. The expander answers false once every pixel is
// written, and for the clear and end codes. The data is followed by ReadSlack zero
// bytes. The state lives in locals so that it stays in registers, pointer-wide where
// it indexes the tables: this loop is where a decode spends its time. Only minimum
// code sizes below 2 (SmallCodes) need the extra masking step, so the usual sizes
// get a copy of the loop without it.
template <bool SmallCodes, class Expander>
void ExpandCodesOf(const uint8_t* data, uint32_t dataLength, unsigned minCodeSize, Expander& expander)
{
    const unsigned clear = 1u << minCodeSize;
    unsigned codeSize = minCodeSize + 1;
    size_t mask = (1u << codeSize) - 1;
    size_t next = clear + 2;

    // Each code is taken from the eight bytes at its first bit, so that reading one
    // depends on nothing but where the previous one ended.
    const uint64_t dataBits = uint64_t{dataLength} * 8;
    uint64_t at = 0;
    auto read = [&](size_t& code) {
        if (at + codeSize > dataBits)
            return false;
        uint64_t word;
        std::memcpy(&word, data + (at >> 3), 8);
        code = (word >> (at & 7)) & mask;
        // Minimum code sizes below 2 grow the mask past the code size. Its extra
        // bits see what a reader taking one byte at a time would hold: the bytes
        // up to the one that completes the code, and zeros above them.
        if (SmallCodes && (mask >> codeSize)) {
            auto held = static_cast<unsigned>(((at + codeSize + 7) & ~uint64_t{7}) - at);
            code &= (1u << held) - 1;
        }
        at += codeSize;
        return true;
    };

    size_t code = 0;
    for (;;) {
        // The first string after a clear code adds no entry; until it comes, only
        // the end code counts.
        do {
            if (!read(code) || code == clear + 1)
                return;
        } while (code >= clear);
        if (!expander.Start(code))
            return;
        for (;;) {
            if (!read(code))
                return;
            // The clear and end codes take this path too: their strings are marked
            // in the expander's table, which refuses them, so that a string costs
            // no test of its own for them.
            if (code < next) [[likely]] {
                if (!expander.Emit(code, next++)) {
                    if (code == clear)
                        break;
                    return;
                }
            } else if (code == next) {
                // The code the encoder is about to define: the previous string and
                // its own first index again.
                if (!expander.EmitDefined(next++))
                    return;
            } else {
                continue;
            }
            if ((next & mask) == 0) [[unlikely]] {
                if (next < MaxCodes) {
                    ++codeSize;
                    mask += next;
                    continue;
                }
                // The table is full: strings add no entries until a clear code, and
                // are told of the sink past the last code, which nothing reads.
                do {
                    if (!read(code))
                        return;
                } while (expander.Emit(code, MaxCodes));
                if (code != clear)
                    return;
                break;
            }
        }
        codeSize = minCodeSize + 1;
        mask = (1u << codeSize) - 1;
        next = clear + 2;
    }
}

template <class Expander>
void ExpandCodes(const uint8_t* data, uint32_t dataLength, unsigned minCodeSize, Expander& expander)
{
    if (minCodeSize < 2)
        ExpandCodesOf<true>(data, dataLength, minCodeSize, expander);
    else
        ExpandCodesOf<false>(data, dataLength, minCodeSize, expander);
}

// Expands an image's codes into its indices. The buffer begins with the root
// strings, one byte each, so that every code's string is a copy of earlier bytes;
// the image's indices follow them, and then room for a short copy's overrun, which
// the next string covers. Every string is cut at the image's last pixel.
class IndexExpander {
public:
    IndexExpander(unsigned minCodeSize, GifDecoder::StringTable& table, uint8_t* buffer, uint32_t count)
        : table(table), clear(1u << minCodeSize), first(buffer + RootRoom), end(first + count), position(first)
    {
        for (unsigned root = 0; root < clear; ++root) {
            buffer[root] = static_cast<uint8_t>(root);
            table.start[root] = buffer + root;
            table.length[root] = 1;
        }
        for (unsigned control : {clear, clear + 1}) {
            table.start[control] = buffer;
            table.length[control] = NoString;
        }
    }

    uint32_t Reached() const { return static_cast<uint32_t>(std::min(position, end) - first); }

    // The first string after a clear code, which adds no entry; the next one adds the
    // first entry after the end code.
    bool Start(size_t code) { return Emit(code, clear + 1); }

    // The entry a string adds, the previous string and this one's first index, is
    // whole in the buffer as soon as the previous string is: Advance enters it then.
    bool Emit(size_t code, size_t entry)
    {
        uint32_t stringLength = table.length[code];
        if (stringLength <= CopySlack) [[likely]]
            std::memmove(position, table.start[code], CopySlack);
        else if (stringLength == NoString)
            return false;
        else
            Copy(table.start[code], stringLength);
        return Advance(entry, stringLength);
    }

    // The code just defined: the previous string, which ends here, and its first
    // index once more.
    bool EmitDefined(size_t entry)
    {
        uint32_t stringLength = table.length[entry];
        const uint8_t* start = table.start[entry];
        Copy(start, stringLength - 1);
        if (stringLength - 1 < static_cast<uint32_t>(end - position))
            position[stringLength - 1] = *start;
        return Advance(entry, stringLength);
    }

private:
    // Enters the entry that the next string adds: the one just written and the
    // index after it, which is where the next string's first index goes.
    bool Advance(size_t entry, uint32_t stringLength)
    {
        table.start[entry + 1] = position;
        table.length[entry + 1] = static_cast<uint16_t>(stringLength + 1);
        position += stringLength;
        return position < end;
    }

    // The source ends at or before the position, so a string never overlaps its copy.
    void Copy(const uint8_t* start, uint32_t stringLength)
    {
        if (stringLength <= CopySlack)
            std::memmove(position, start, CopySlack);
        else
            std::memcpy(position, start, std::min<size_t>(stringLength, end - position));
    }

    GifDecoder::StringTable& table;
    size_t clear;
    uint8_t* first;
    uint8_t* end;
    uint8_t* position;
};

// Expands an image's codes straight onto the canvas. A string is written from its
// last index back to its first along the prefix links, and only where it shows:
// the part of it off the canvas is passed over with the jump links, in steps
// logarithmic in its length, so that each code costs its pixels on the canvas and
// a few steps for each row it reaches. Every string is cut at the image's last pixel.
class CanvasExpander {
public:
    CanvasExpander(unsigned minCodeSize, GifDecoder::CodeTable& table, const GifImageRows& rows,
                   uint32_t width, uint32_t count, const GifDecoder::ColourLookup& colours)
        : table(table), rows(rows), colours(colours), width(width), count(count),
          visibleColumns(rows.VisibleColumns())
    {
        for (unsigned root = 0; root < 1u << minCodeSize; ++root) {
            auto index = static_cast<uint8_t>(root);
            table[root] = {static_cast<uint16_t>(root), static_cast<uint16_t>(root), 1, index, index};
        }
        for (unsigned control : {1u << minCodeSize, (1u << minCodeSize) + 1})
            table[control] = {0, 0, NoString, 0, 0};
    }

    uint32_t Reached() const { return position; }

    bool Start(size_t code) { return Write(code); }

    bool Emit(size_t code, size_t entry)
    {
        AddEntry(entry, table[code].first);
        return table[code].length != NoString && Write(code);
    }

    bool EmitDefined(size_t entry)
    {
        AddEntry(entry, table[previous].first);
        return Write(entry);
    }

private:
    bool Write(unsigned code)
    {
        previous = code;
        uint32_t end = std::min(position + table[code].length, count);
        uint32_t lastRow = (end - 1) / width;
        uint32_t firstRow = position / width;
        for (uint32_t row = rows.VisibleAtOrBefore(lastRow); row != GifImageRows::NoRow && row >= firstRow;
             row = row > 0 ? rows.VisibleAtOrBefore(row - 1) : GifImageRows::NoRow) {
            uint32_t rowStart = row * width;
            uint32_t from = std::max(position, rowStart) - rowStart;
            uint32_t to = std::min({end - rowStart, width, visibleColumns});
            if (from < to)
                code = WriteRun(code, rows.Row(row), from, to, rowStart + to - position);
        }
        position = end;
        return position < count;
    }

    // The entry for the previous string and the index that follows it; its jump
    // link follows the previous entry's where that keeps the links' lengths in
    // the shape that makes every search logarithmic.
    void AddEntry(unsigned entry, uint8_t index)
    {
        const GifDecoder::CodeEntry& prefix = table[previous];
        const GifDecoder::CodeEntry& jump = table[prefix.jump];
        uint16_t farther = prefix.length - jump.length == jump.length - table[jump.jump].length
                               ? jump.jump
                               : static_cast<uint16_t>(previous);
        table[entry] = {static_cast<uint16_t>(previous), farther, static_cast<uint16_t>(prefix.length + 1),
                        index, prefix.first};
    }

    // Writes the indices from column from to column to - 1 of a row, which are the
    // string's first stringEnd indices' last ones; returns the entry they were
    // taken from, shortened past them.
    unsigned WriteRun(unsigned code, uint8_t* pixels, uint32_t from, uint32_t to, uint32_t stringEnd)
    {
        while (table[code].length > stringEnd) {
            unsigned jump = table[code].jump;
            code = table[jump].length >= stringEnd ? jump : table[code].prefix;
        }
        for (uint32_t x = to; x > from; --x) {
            std::memcpy(pixels + 4 * (x - 1), &colours[table[code].last], 4);
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
    uint32_t position = 0;
    unsigned previous = 0;
};

// Paints a row's indices eight at a time; a run of one index, common in drawings,
// is one colour stored eight times. Other indices are read one byte each: cheaper
// than shifting them out of the word. The column is pointer-wide so that each of
// the eight is addressed at a fixed offset from it.
void PaintRow(uint8_t* pixels, const uint8_t* indices, uint32_t count, const GifDecoder::ColourLookup& colours)
{
    constexpr uint64_t everyByte = 0x0101010101010101;
    size_t x = 0;
    for (; x + 8 <= count; x += 8) {
        uint64_t eight;
        std::memcpy(&eight, indices + x, 8);
        if (eight == (eight & 0xFF) * everyByte) {
            uint64_t two = colours[eight & 0xFF] * uint64_t{0x100000001};
            for (unsigned k = 0; k < 4; ++k)
                std::memcpy(pixels + 4 * x + 8 * k, &two, 8);
        } else {
            for (unsigned k = 0; k < 8; ++k)
                std::memcpy(pixels + 4 * (x + k), &colours[indices[x + k]], 4);
        }
    }
    for (; x < count; ++x)
        std::memcpy(pixels + 4 * x, &colours[indices[x]], 4);
}

}  // namespace

PictureBlock DecodeGif(const uint8_t* stream, uint32_t length, uint32_t& blockSize)
{
    blockSize = 0;
    if (stream == nullptr)
        return nullptr;
    GifDecoder decoder(stream, length);
    return decoder.Decode(blockSize);
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

PictureBlock GifDecoder::Decode(uint32_t& resultSize)
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

bool GifDecoder::MakeWorkArea()
{
    uint64_t size = uint64_t{RootRoom} + canvasWidth * canvasHeight + OverrunRoom +
                    (length - position) + ReadSlack;
    work.reset(new (std::nothrow) uint8_t[size]);
    if (!work)
        return false;
    indices = work.get();
    joined = indices + RootRoom + canvasWidth * canvasHeight + OverrunRoom;
    return true;
}

// The image's data sub-blocks, joined, up to their zero-size terminator, after which
// the block loop goes on whether or not the codes filled the image.
bool GifDecoder::GatherSubBlocks(uint32_t& dataLength)
{
    uint32_t start = position;
    if (!SkipSubBlocks())
        return false;
    dataLength = 0;
    for (uint32_t at = start; stream[at] != 0; at += 1 + stream[at]) {
        std::memcpy(joined + dataLength, stream + at + 1, stream[at]);
        dataLength += stream[at];
    }
    std::memset(joined + dataLength, 0, ReadSlack);
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
    uint32_t dataLength = 0;
    if ((!work && !MakeWorkArea()) || !GatherSubBlocks(dataLength))
        return false;

    uint64_t pixels = uint64_t{image.width} * image.height;
    if (pixels > GifMaxImagePixels)
        return false;
    bool covered = !block && image.left == 0 && image.top == 0 && image.width >= canvasWidth &&
                   image.height >= canvasHeight;
    if (!block && !MakeCanvas(covered))
        return false;
    GifImageRows rows(block.get() + HeaderSize, canvasWidth, canvasHeight, image);
    auto count = static_cast<uint32_t>(pixels);
    uint32_t reached = 0;
    if (count > 0) {
        bool onCanvas = image.left + image.width <= canvasWidth && image.top + image.height <= canvasHeight;
        reached = onCanvas ? ExpandIntoIndices(*minCodeSize, dataLength, rows, image.width, count, *colours)
                           : ExpandOntoCanvas(*minCodeSize, dataLength, rows, image.width, count, *colours);
    }
    if (covered)
        rows.FillFrom(reached / image.width, reached % image.width, backgroundColour);
    return true;
}

uint32_t GifDecoder::ExpandIntoIndices(unsigned minCodeSize, uint32_t dataLength, const GifImageRows& rows,
                                       uint32_t width, uint32_t count, const ColourLookup& colours)
{
    IndexExpander expander(minCodeSize, *new (&tables.strings) StringTable, indices, count);
    ExpandCodes(joined, dataLength, minCodeSize, expander);
    uint32_t reached = expander.Reached();
    for (uint32_t row = 0; row * width < reached; ++row) {
        uint32_t rowEnd = std::min(width, reached - row * width);
        PaintRow(rows.Row(row), indices + RootRoom + row * width, rowEnd, colours);
    }
    return reached;
}

uint32_t GifDecoder::ExpandOntoCanvas(unsigned minCodeSize, uint32_t dataLength, const GifImageRows& rows,
                                      uint32_t width, uint32_t count, const ColourLookup& colours)
{
    CanvasExpander expander(minCodeSize, *new (&tables.table) CodeTable, rows, width, count, colours);
    ExpandCodes(joined, dataLength, minCodeSize, expander);
    return expander.Reached();
}

// The canvas is made when the first image or the trailer needs it, so that a stream
// broken before then costs no canvas. When that image covers it all, the background
// is painted only where the image's data does not reach.
bool GifDecoder::MakeCanvas(bool covered)
{
    blockSize = HeaderSize + canvasWidth * canvasHeight * 4;
    block = NewPictureBlock(blockSize);
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
