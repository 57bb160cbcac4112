#include "PreviewBlockBuilder.h"

#include "ByteWriter.h"

namespace orv::test {
namespace {

void PreviewHeader(ByteWriter& out, int16_t width, int16_t height, uint16_t pictureType, uint32_t dataOffset)
{
    out.U16(0xD005).U16(0);
    out.U16(0).U16(0).U16(static_cast<uint16_t>(height)).U16(static_cast<uint16_t>(width));
    out.U32(0).U16(0).U16(pictureType).U32(dataOffset);
}

void BitmapInfo(ByteWriter& out, int width, int height, int bitsPerPixel, uint32_t colours)
{
    out.U32(40).U32(static_cast<uint32_t>(width)).U32(static_cast<uint32_t>(height));
    out.U16(1).U16(static_cast<uint16_t>(bitsPerPixel)).U32(0).U32(0).U32(2835).U32(2835);
    out.U32(colours).U32(0);
}

size_t RowBytes(int width, int bitsPerPixel)
{
    return (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

}  // namespace

PreviewBlockBuilder PreviewBlockBuilder::Bitmap32(int width, int height, std::function<uint32_t(int, int)> colour)
{
    ByteWriter out;
    PreviewHeader(out, static_cast<int16_t>(width), static_cast<int16_t>(height), 0, 0);
    BitmapInfo(out, width, height, 32, 0);
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x)
            out.U32(colour(x, y));
    PreviewBlockBuilder builder;
    builder.bytes = out.Data();
    return builder;
}

PreviewBlockBuilder PreviewBlockBuilder::Indexed(int width, int height, int bitsPerPixel,
                                                 const std::vector<uint32_t>& palette,
                                                 std::function<uint8_t(int, int)> index)
{
    ByteWriter out;
    PreviewHeader(out, static_cast<int16_t>(width), static_cast<int16_t>(height), 0, 0);
    BitmapInfo(out, width, height, bitsPerPixel, static_cast<uint32_t>(palette.size()));
    for (uint32_t entry : palette)
        out.U32(entry);
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(RowBytes(width, bitsPerPixel), 0);
        for (int x = 0; x < width; ++x) {
            size_t bit = static_cast<size_t>(x) * bitsPerPixel;
            int shift = 8 - bitsPerPixel - static_cast<int>(bit % 8);
            row[bit / 8] |= static_cast<uint8_t>(index(x, y) << shift);
        }
        out.Bytes(row);
    }
    PreviewBlockBuilder builder;
    builder.bytes = out.Data();
    return builder;
}

PreviewBlockBuilder PreviewBlockBuilder::Metafile(const std::vector<uint8_t>& bits, int16_t width, int16_t height)
{
    ByteWriter out;
    PreviewHeader(out, width, height, 1, 24);
    out.Bytes(bits);
    PreviewBlockBuilder builder;
    builder.bytes = out.Data();
    return builder;
}

PreviewBlockBuilder& PreviewBlockBuilder::Flags(uint16_t flags)
{
    bytes[16] = static_cast<uint8_t>(flags);
    bytes[17] = static_cast<uint8_t>(flags >> 8);
    return *this;
}

PreviewBlockBuilder& PreviewBlockBuilder::HeaderSize(uint32_t size)
{
    for (int i = 0; i < 4; ++i)
        bytes[24 + i] = static_cast<uint8_t>(size >> (8 * i));
    return *this;
}

PreviewBlockBuilder& PreviewBlockBuilder::DataOffset(uint32_t offset)
{
    for (int i = 0; i < 4; ++i)
        bytes[20 + i] = static_cast<uint8_t>(offset >> (8 * i));
    return *this;
}

std::vector<uint8_t> PreviewBlockBuilder::Build() const
{
    return bytes;
}

}  // namespace orv::test
