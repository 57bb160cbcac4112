#pragma once
#include <array>
#include <cstdint>
#include <memory>

#include "preview/GifImageRows.h"
#include "preview/PictureBlock.h"

namespace orv {

// Widest and tallest canvas the decoder builds: a row stays below 16384 bytes, and
// the whole bitmap below 64 MiB, which is as much as a preview may cost the shell.
// One image's indices may not exceed the same pixel count.
inline constexpr uint32_t GifMaxSide = 4095;
inline constexpr uint64_t GifMaxImagePixels = uint64_t{GifMaxSide} * GifMaxSide;

// Decodes a whole GIF stream into a preview block: a PreviewHeader, then a 32-bit
// bitmap, bottom row first, of the canvas with every image of the stream painted
// onto it in order. Null, and blockSize 0, when the stream cannot be decoded.
PictureBlock DecodeGif(const uint8_t* stream, uint32_t length, uint32_t& blockSize);

// One decode: the stream, the canvas (kept in the output block's own pixel rows, so
// that the result needs no copy), the string tables, and the working memory that the
// images of the stream share, in one allocation made at the first image: an index
// buffer as large as the canvas, and room for an image's data sub-blocks joined,
// which is no more than what is left of the stream.
// The steps are those of the format: SkipSubBlocks for extensions; for each image its
// codes, expanded by one of two ways; at the trailer MakeBitmapBlock. An image that
// lies wholly on the canvas is expanded into an index buffer no larger than the
// canvas, where every string is a copy of earlier indices, and then painted. Any
// other image has its strings written straight onto the canvas, from their last
// index back along the prefix links, so that it costs nothing for pixels off the
// canvas or that its data does not reach.
class GifDecoder {
public:
    GifDecoder(const uint8_t* stream, uint32_t length);
    GifDecoder(const GifDecoder&) = delete;
    GifDecoder& operator=(const GifDecoder&) = delete;

    PictureBlock Decode(uint32_t& blockSize);

    // A string table entry for writing onto the canvas: the entry of its string
    // without the last index, that index, its first index and its length, and a
    // farther ancestor on the prefix chain, chosen so that any ancestor is found in
    // a number of steps logarithmic in the length.
    struct CodeEntry {
        uint16_t prefix;
        uint16_t jump;
        uint16_t length;
        uint8_t last;
        uint8_t first;
    };
    // Both tables have room past the last code: a sink for the entries that a full
    // table does not add.
    using CodeTable = std::array<CodeEntry, 4097>;
    // A string table for the index buffer: where each entry's string was written
    // in it, and its length. An entry is made with the string before the one that
    // adds it, so a full table takes two in its sink.
    struct StringTable {
        std::array<const uint8_t*, 4098> start;
        std::array<uint16_t, 4098> length;
    };
    // The colour of every possible index as the bitmap stores it (blue, green, red,
    // 0); indices beyond the table take entry 0's colour.
    using ColourLookup = std::array<uint32_t, 256>;

private:
    const uint8_t* Take(uint32_t count);
    bool ReadColourTable(uint8_t sizeField, ColourLookup& colours);
    bool SkipSubBlocks();
    bool DecodeImage();
    bool MakeWorkArea();
    bool GatherSubBlocks(uint32_t& dataLength);
    // Both paint the image's pixels as far as its codes reach and return how many
    // that is.
    uint32_t ExpandIntoIndices(unsigned minCodeSize, uint32_t dataLength, const GifImageRows& rows,
                               uint32_t width, uint32_t count, const ColourLookup& colours);
    uint32_t ExpandOntoCanvas(unsigned minCodeSize, uint32_t dataLength, const GifImageRows& rows,
                              uint32_t width, uint32_t count, const ColourLookup& colours);
    bool MakeCanvas(bool covered);
    void MakeBitmapBlock();

    const uint8_t* stream;
    uint32_t length;
    uint32_t position = 0;
    uint32_t canvasWidth = 0;
    uint32_t canvasHeight = 0;
    uint32_t backgroundColour = 0;
    bool hasGlobalTable = false;
    ColourLookup globalColours{};
    ColourLookup localColours{};
    PictureBlock block;
    uint32_t blockSize = 0;
    // An image uses one of the two tables and sets up its entries before reading
    // them. They live with the decoder rather than on the heap: pages freshly
    // given by the system cost more than the decode of a small picture.
    union Tables {
        CodeTable table;
        StringTable strings;
    } tables;
    std::unique_ptr<uint8_t[]> work;
    uint8_t* indices = nullptr;
    uint8_t* joined = nullptr;
};

}  // namespace orv
