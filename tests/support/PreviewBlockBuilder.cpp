#include "PreviewBlockBuilder.h"

namespace orv::test {

PreviewBlockBuilder::PreviewBlockBuilder(int width, int height, uint16_t pictureType, uint32_t dataOffset)
{
    out.U16(0xD005).U16(0).U16(0).U16(0).U16(static_cast<uint16_t>(height)).U16(static_cast<uint16_t>(width));
    out.U32(0).U16(0).U16(pictureType).U32(dataOffset);
}

PreviewBlockBuilder PreviewBlockBuilder::Bitmap(int width, int height, int bitsPerPixel,
                                                const std::vector<uint32_t>& palette,
                                                const std::function<uint32_t(int, int)>& pixel)
{
    PreviewBlockBuilder builder(width, height, 0, 0);
    ByteWriter& out = builder.out;
    out.U32(40).U32(static_cast<uint32_t>(width)).U32(static_cast<uint32_t>(height));
    out.U16(1).U16(static_cast<uint16_t>(bitsPerPixel)).U32(0).U32(0).U32(2835).U32(2835);
    out.U32(static_cast<uint32_t>(palette.size())).U32(0);
    for (uint32_t entry : palette)
        out.U32(entry);
    // Rows bottom first, each padded to four bytes; narrow pixels fill a byte from its top bit.
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row((static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4, 0);
        for (int x = 0; x < width; ++x) {
            uint32_t value = pixel(x, y);
            size_t at = static_cast<size_t>(x) * bitsPerPixel;
            if (bitsPerPixel < 8)
                row[at / 8] |= static_cast<uint8_t>(value << (8 - bitsPerPixel - at % 8));
            for (int i = 0; i < bitsPerPixel / 8; ++i)
                row[at / 8 + i] = static_cast<uint8_t>(value >> 8 * i);
        }
        out.Bytes(row);
    }
    return builder;
}

PreviewBlockBuilder PreviewBlockBuilder::Metafile(const std::vector<uint8_t>& bits, int16_t width, int16_t height)
{
    PreviewBlockBuilder builder(width, height, 1, 24);
    builder.out.Bytes(bits);
    return builder;
}

PreviewBlockBuilder& PreviewBlockBuilder::Patch(size_t offset, uint32_t value, size_t size)
{
    out.At(offset).Number(value, size).At(out.Size());
    return *this;
}

}  // namespace orv::test
