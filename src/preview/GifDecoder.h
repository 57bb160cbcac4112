#pragma once
#include <array>
#include <cstdint>
#include <memory>

namespace orv {

// Widest and tallest canvas the decoder builds: a row stays below 16384 bytes, and
// the whole bitmap below 64 MiB, which is as much as a preview may cost the shell.
// One image's indices may not exceed the same pixel count.
inline constexpr uint32_t GifMaxSide = 4095;
inline constexpr uint64_t GifMaxImagePixels = uint64_t{GifMaxSide} * GifMaxSide;

// Decodes a whole GIF stream into a preview block: a PreviewHeader, then a 32-bit
// bitmap, bottom row first, of the canvas with every image of the stream painted
// onto it in order. Null, and blockSize 0, when the stream cannot be decoded.
std::unique_ptr<uint8_t[]> DecodeGif(const uint8_t* stream, uint32_t length, uint32_t& blockSize);

// One decode: the stream, the canvas (kept in the output block's own pixel rows, so
// that the result needs no copy) and the tables that the images of the stream share.
// The steps are those of the format: SkipSubBlocks for extensions; for each image
// DecodeLzw (ProcessCode and EmitString), Deinterlace and PaintImage; at the
// trailer MakeBitmapBlock.
class GifDecoder {
public:
    GifDecoder(const uint8_t* stream, uint32_t length);
    GifDecoder(const GifDecoder&) = delete;
    GifDecoder& operator=(const GifDecoder&) = delete;

    std::unique_ptr<uint8_t[]> Decode(uint32_t& blockSize);

    // A string table entry: where its string was last written among the image's
    // indices, and its length. A code's string is copied from there rather than
    // rebuilt through its prefixes.
    struct CodeTable {
        std::array<uint32_t, 4096> start;
        std::array<uint16_t, 4096> length;
    };

private:
    struct Image {
        uint32_t left;
        uint32_t top;
        uint32_t width;
        uint32_t height;
        bool interlaced;
    };
    // The colour of every possible index as the bitmap stores it (blue, green, red,
    // 0); indices beyond the table take entry 0's colour.
    using ColourLookup = std::array<uint32_t, 256>;

    const uint8_t* Take(uint32_t count);
    bool ReadColourTable(uint8_t sizeField, ColourLookup& colours);
    bool SkipSubBlocks();
    bool DecodeImage();
    bool GatherSubBlocks(std::unique_ptr<uint8_t[]>& data, uint32_t& dataLength);
    // The buffer holds 2048 bytes for the root strings, then the count indices,
    // then 16 bytes of slack.
    void DecodeLzw(unsigned minCodeSize, const uint8_t* data, uint32_t dataLength,
                   uint8_t* buffer, uint32_t count);
    static std::unique_ptr<uint8_t[]> Deinterlace(const uint8_t* indices, uint32_t width,
                                                  uint32_t height);
    bool MakeCanvas(bool covered);
    void PaintImage(const Image& image, const uint8_t* indices, const ColourLookup& colours);
    uint8_t* CanvasRow(uint32_t y);
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
    std::unique_ptr<uint8_t[]> block;
    uint32_t blockSize = 0;
    CodeTable table;
};

}  // namespace orv
