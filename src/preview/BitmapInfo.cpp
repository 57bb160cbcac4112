#include "preview/BitmapInfo.h"

namespace orv {
namespace {

// Stays at the largest value instead of wrapping, which no block can hold anyway.
uint64_t SaturatedProduct(uint64_t a, uint64_t b)
{
    return a != 0 && b > UINT64_MAX / a ? UINT64_MAX : a * b;
}

}  // namespace

bool GetBitmapInfo(const BitmapInfoHeader* header, BitmapFacts& facts)
{
    if (header == nullptr || header->biSize != sizeof(BitmapInfoHeader))
        return false;
    // Other plane counts would let a header claim any size with no pixel data.
    if (header->biCompression > CompressionBitFields || header->biWidth < 0 || header->biPlanes != 1)
        return false;
    uint32_t bitsPerPixel = header->biBitCount;
    uint32_t colourCount = header->biClrUsed;
    if (colourCount == 0 && bitsPerPixel <= 8)
        colourCount = 1u << bitsPerPixel;
    int64_t rowBytes = (int64_t{bitsPerPixel} * header->biWidth + 31) / 32 * 4;
    uint64_t rows = header->biHeight < 0 ? -int64_t{header->biHeight} : header->biHeight;
    uint64_t totalBytes = SaturatedProduct(static_cast<uint64_t>(rowBytes), rows);
    uint64_t imageSize = totalBytes;
    if (header->biCompression == CompressionRle8 || header->biCompression == CompressionRle4) {
        if (header->biSizeImage == 0)
            return false;
        imageSize = header->biSizeImage;
    }
    facts.bitsPerPixel = bitsPerPixel;
    facts.colourCount = colourCount;
    facts.source = {0, 0, static_cast<int16_t>(header->biWidth), static_cast<int16_t>(header->biHeight)};
    facts.rowBytes = rowBytes;
    facts.infoSize = sizeof(BitmapInfoHeader) + uint64_t{colourCount} * sizeof(RgbQuad) +
                     (header->biCompression == CompressionBitFields ? 12 : 0);
    facts.imageSize = imageSize;
    facts.totalBytes = totalBytes;
    return true;
}

}  // namespace orv
