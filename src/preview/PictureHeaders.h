#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orv {

// Preview blocks and the bitmaps and metafiles inside them are little-endian, as on
// Windows, and are read and written through these structures as they lie in memory.
static_assert(std::endian::native == std::endian::little);

// The 24 bytes in front of every preview picture. Fields are used as stored.
struct PreviewHeader {
    uint16_t tag;
    uint16_t reserved;
    int16_t frameTop;
    int16_t frameLeft;
    int16_t frameBottom;
    int16_t frameRight;
    // Low 32 bits of the metafile handle while the picture is played; 0 at rest.
    uint32_t playHandle;
    uint16_t flags;
    // 0: device-independent bitmap; anything else: enhanced metafile.
    uint16_t pictureType;
    uint32_t dataOffset;
};
static_assert(sizeof(PreviewHeader) == 24);

inline constexpr uint16_t PreviewFlagAndBitmap = 0x04 | 0x20;
inline constexpr uint16_t PreviewFlagGif = 0x40;

// BITMAPINFOHEADER.
struct BitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

enum BitmapCompression : uint32_t {
    CompressionRgb = 0,        // BI_RGB
    CompressionRle8 = 1,       // BI_RLE8
    CompressionRle4 = 2,       // BI_RLE4
    CompressionBitFields = 3,  // BI_BITFIELDS
};

// RGBQUAD.
struct RgbQuad {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};
static_assert(sizeof(RgbQuad) == 4);

// RECTL.
struct RectL {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
static_assert(sizeof(RectL) == 16);

// ENHMETAHEADER, the first record of an enhanced metafile.
struct EnhMetaHeader {
    uint32_t iType;
    uint32_t nSize;
    RectL rclBounds;
    // Picture frame in 0.01 mm.
    RectL rclFrame;
    uint32_t dSignature;
    uint32_t nVersion;
    uint32_t nBytes;
    uint32_t nRecords;
    uint16_t nHandles;
    uint16_t sReserved;
    uint32_t nDescription;
    uint32_t offDescription;
    uint32_t nPalEntries;
    int32_t szlDevice[2];
    int32_t szlMillimeters[2];
    uint32_t cbPixelFormat;
    uint32_t offPixelFormat;
    uint32_t bOpenGL;
    int32_t szlMicrometers[2];
};
static_assert(sizeof(EnhMetaHeader) == 108);
static_assert(offsetof(EnhMetaHeader, rclFrame) == 24);

// Copies a structure out of or into a byte block, whatever the block's alignment.
template <typename T>
T LoadStruct(const uint8_t* bytes)
{
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

template <typename T>
void StoreStruct(uint8_t* bytes, const T& value)
{
    std::memcpy(bytes, &value, sizeof(T));
}

}  // namespace orv
