#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ByteWriter.h"

namespace orv::test {

struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};
using Palette = std::vector<Rgb>;

struct LzwOptions {
    // A full table is kept and used without a clear code.
    bool deferredClear = false;
};

// One image of a stream. Indices are given row by row from the top; the writer
// stores them in the interlaced order when asked.
struct GifImage {
    uint16_t left = 0;
    uint16_t top = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    bool interlaced = false;
    Palette localTable{};
    uint8_t minCodeSize = 8;
    std::vector<uint8_t> indices{};
    LzwOptions lzw{};
    size_t subBlockSize = 255;
};

// Writes GIF streams byte by byte, with an LZW encoder of its own: the sub-blocks,
// tables and code streams that the decoder must take apart, including ones no
// ordinary encoder writes.
class GifWriter {
public:
    explicit GifWriter(const char* version = "89a");

    // A palette of fewer than 2 << n entries is padded with black to that size.
    // An empty palette writes no global table.
    GifWriter& Screen(uint16_t width, uint16_t height, const Palette& globalTable = {},
                      uint8_t background = 0);
    GifWriter& GraphicControl(uint8_t transparentIndex);
    GifWriter& Comment(const std::string& text);
    GifWriter& Image(const GifImage& image);
    // The image's descriptor and tables with the given code bytes as its data.
    GifWriter& ImageWithCodes(const GifImage& image, const std::vector<uint8_t>& codeBytes);
    GifWriter& Trailer();

    const std::vector<uint8_t>& Data() const { return out.Data(); }

private:
    void Table(const Palette& table);
    void SubBlocks(const std::vector<uint8_t>& data, size_t blockSize);

    ByteWriter out;
};

// The rows of an image in the order an interlaced image stores them.
std::vector<uint8_t> InterlaceRows(const std::vector<uint8_t>& indices, size_t width,
                                   size_t height);

// The codes of an LZW encoding of the indices, from a clear code to the end code.
std::vector<unsigned> EncodeLzw(const std::vector<uint8_t>& indices, unsigned minCodeSize,
                                const LzwOptions& options = {});

// Codes packed least significant bit first, each at the width a decoder reads it
// with: the width grows with the string table as codes arrive and falls back at a
// clear code. Codes that a decoder ignores leave the width alone.
std::vector<uint8_t> PackCodes(const std::vector<unsigned>& codes, unsigned minCodeSize);

// What the code bytes stand for by the format's definition, computed the slow way:
// a byte-wise bit reader, a table of prefix links and every string rebuilt by
// walking its chain. At most count indices: as many as the codes reach.
std::vector<uint8_t> ExpandCodesByChain(const std::vector<uint8_t>& codeBytes,
                                        unsigned minCodeSize, size_t count);

}  // namespace orv::test
