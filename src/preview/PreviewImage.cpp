#include "preview/PreviewImage.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "preview/BitmapInfo.h"
#include "preview/PictureHeaders.h"

namespace orv {
namespace {

constexpr uint32_t HeaderSize = sizeof(PreviewHeader);
constexpr uint32_t BitmapStart = HeaderSize + sizeof(BitmapInfoHeader);

// A channel of a bit-field pixel, widened or narrowed to 8 bits.
uint8_t Channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = std::countr_zero(mask);
    uint64_t field = mask >> shift;
    uint64_t value = (pixel & mask) >> shift;
    return static_cast<uint8_t>((value * 255 + field / 2) / field);
}

// A bitmap being expanded into 3 bytes per pixel, rows from the top.
class Expansion {
public:
    Expansion(const BitmapInfoHeader& info, const uint8_t* colourTable, uint32_t colourCount)
        : width(static_cast<uint32_t>(info.biWidth)),
          height(static_cast<uint32_t>(std::abs(int64_t{info.biHeight}))),
          topDown(info.biHeight < 0),
          bits(info.biBitCount),
          rgb(uint64_t{width} * height * 3, 0)
    {
        for (uint32_t i = 0; i < std::min(colourCount, 256u); ++i)
            colours[i] = LoadStruct<RgbQuad>(colourTable + i * sizeof(RgbQuad));
    }

    // Rows as stored, each rowBytes long; masks for 16 and 32 bits.
    void Rows(const uint8_t* pixels, uint64_t rowBytes, const uint32_t (&masks)[3])
    {
        for (uint32_t row = 0; row < height; ++row) {
            const uint8_t* from = pixels + row * rowBytes;
            uint32_t y = topDown ? row : height - 1 - row;
            for (uint32_t x = 0; x < width; ++x) {
                if (bits <= 8) {
                    uint32_t bit = x * bits;
                    Put(x, y, from[bit / 8] >> (8 - bits - bit % 8) & ((1u << bits) - 1));
                    continue;
                }
                uint32_t value = 0;
                for (uint32_t k = bits / 8; k-- > 0;)
                    value = value << 8 | from[x * (bits / 8) + k];
                if (bits == 24)
                    Set(x, y, {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), 0});
                else
                    Set(x, y, {Channel(value, masks[2]), Channel(value, masks[1]), Channel(value, masks[0]), 0});
            }
        }
    }

    // A run-length stream, rows from the bottom. A run is cut at the row's end in one
    // step, so the work is bounded by the stream and the picture, not by the counts.
    void RunLength(const uint8_t* data, uint64_t size)
    {
        // Pixel i of a run: 4-bit pixels take a byte's high half first.
        auto index = [&](uint8_t byte, uint32_t i) { return bits == 4 ? (i % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte; };
        uint64_t x = 0, y = 0;
        for (uint64_t at = 0; at + 2 <= size && y < height;) {
            uint8_t count = data[at], value = data[at + 1];
            at += 2;
            if (count > 0) {
                for (uint32_t i = 0; i < count && x + i < width; ++i)
                    Put(uint32_t(x + i), uint32_t(height - 1 - y), index(value, i));
                x += count;
            } else if (value == 0) {
                x = 0;
                ++y;
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                if (at + 2 > size)
                    break;
                x += data[at];
                y += data[at + 1];
                at += 2;
            } else {
                uint64_t bytes = bits == 4 ? (value + 1u) / 2 : value;
                if (at + bytes > size)
                    break;
                for (uint32_t i = 0; i < value && x + i < width; ++i)
                    Put(uint32_t(x + i), uint32_t(height - 1 - y), index(data[at + (bits == 4 ? i / 2 : i)], i));
                x += value;
                at += (bytes + 1) & ~uint64_t{1};
            }
        }
    }

    // Scaled by averaging each output pixel's box of source pixels.
    RgbaImage Scaled(uint32_t maxSide) const
    {
        RgbaImage image{width, height, {}};
        uint32_t larger = std::max(width, height);
        if (maxSide != 0 && larger > maxSide) {
            image.width = std::max<uint32_t>(1, uint32_t((uint64_t{width} * maxSide + larger / 2) / larger));
            image.height = std::max<uint32_t>(1, uint32_t((uint64_t{height} * maxSide + larger / 2) / larger));
        }
        image.pixels.reserve(uint64_t{image.width} * image.height * 4);
        for (uint32_t oy = 0; oy < image.height; ++oy) {
            uint64_t y0 = uint64_t{oy} * height / image.height, y1 = uint64_t{oy + 1} * height / image.height;
            for (uint32_t ox = 0; ox < image.width; ++ox) {
                uint64_t x0 = uint64_t{ox} * width / image.width, x1 = uint64_t{ox + 1} * width / image.width;
                uint64_t sums[3] = {}, count = (x1 - x0) * (y1 - y0);
                for (uint64_t y = y0; y < y1; ++y)
                    for (uint64_t x = x0; x < x1; ++x)
                        for (int c = 0; c < 3; ++c)
                            sums[c] += rgb[(y * width + x) * 3 + c];
                for (uint64_t sum : sums)
                    image.pixels.push_back(uint8_t((sum + count / 2) / count));
                image.pixels.push_back(255);
            }
        }
        return image;
    }

private:
    void Put(uint32_t x, uint32_t y, uint32_t index) { Set(x, y, colours[index]); }

    void Set(uint32_t x, uint32_t y, const RgbQuad& colour)
    {
        uint8_t* at = &rgb[(uint64_t{y} * width + x) * 3];
        at[0] = colour.rgbRed;
        at[1] = colour.rgbGreen;
        at[2] = colour.rgbBlue;
    }

    uint32_t width;
    uint32_t height;
    bool topDown;
    uint32_t bits;
    RgbQuad colours[256] = {};
    std::vector<uint8_t> rgb;
};

bool Supported(const BitmapInfoHeader& info)
{
    uint32_t bits = info.biBitCount;
    switch (info.biCompression) {
    case CompressionRgb:
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case CompressionBitFields:
        return bits == 16 || bits == 32;
    case CompressionRle8:
        return bits == 8 && info.biHeight > 0;
    default:
        return bits == 4 && info.biHeight > 0;
    }
}

}  // namespace

PreviewShape ShapeOf(const PreviewPicture& picture)
{
    const uint8_t* block = picture.GetBlock();
    uint32_t size = picture.GetBlockSize();
    if (block == nullptr || size < HeaderSize)
        return {};
    auto header = LoadStruct<PreviewHeader>(block);
    if (header.pictureType != 0) {
        auto extent = [](int32_t from, int32_t to) { return uint32_t(std::max(0, to - from)); };
        return {PreviewContent::Metafile, extent(header.frameLeft, header.frameRight),
                extent(header.frameTop, header.frameBottom)};
    }
    if (size < BitmapStart)
        return {};
    auto info = LoadStruct<BitmapInfoHeader>(block + HeaderSize);
    return {PreviewContent::Bitmap, uint32_t(std::max(0, info.biWidth)),
            uint32_t(std::abs(int64_t{info.biHeight}))};
}

bool PreviewBitmap(const PreviewPicture& picture, uint32_t maxSide, RgbaImage& image)
{
    if (ShapeOf(picture).content != PreviewContent::Bitmap)
        return false;
    const uint8_t* block = picture.GetBlock();
    uint64_t available = picture.GetBlockSize() - HeaderSize;
    auto info = LoadStruct<BitmapInfoHeader>(block + HeaderSize);
    BitmapFacts facts;
    uint64_t pixelCount = uint64_t(std::max(0, info.biWidth)) * uint64_t(std::abs(int64_t{info.biHeight}));
    if (!GetBitmapInfo(&info, facts) || !Supported(info) || pixelCount == 0 || pixelCount > MaxPreviewPixels ||
        facts.infoSize > available || facts.imageSize > available - facts.infoSize)
        return false;
    const uint8_t* masksAt = block + BitmapStart;
    bool fields = info.biCompression == CompressionBitFields;
    uint32_t masks[3] = {info.biBitCount == 16 ? 0x7C00u : 0xFF0000u, info.biBitCount == 16 ? 0x03E0u : 0xFF00u,
                         info.biBitCount == 16 ? 0x001Fu : 0xFFu};
    for (int i = 0; fields && i < 3; ++i)
        masks[i] = LoadStruct<uint32_t>(masksAt + 4 * i);
    Expansion expansion(info, masksAt + (fields ? 12 : 0), info.biBitCount <= 8 ? facts.colourCount : 0);
    const uint8_t* pixels = block + HeaderSize + facts.infoSize;
    if (info.biCompression == CompressionRle8 || info.biCompression == CompressionRle4)
        expansion.RunLength(pixels, facts.imageSize);
    else
        expansion.Rows(pixels, uint64_t(facts.rowBytes), masks);
    image = expansion.Scaled(maxSide);
    return true;
}

}  // namespace orv
