#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "ByteWriter.h"

namespace orv::test {

// Preview blocks as documents store them (kind 0xD005): the 24-byte preview header,
// then a packed bitmap or the bits of an enhanced metafile.
class PreviewBlockBuilder {
public:
    // A 32-bit bitmap; colour(x, y) gives 0x00RRGGBB with y counted from the top.
    static PreviewBlockBuilder Bitmap32(int width, int height, std::function<uint32_t(int, int)> colour)
    {
        return Bitmap(width, height, 32, {}, colour);
    }
    // A bitmap of 1, 4 or 8 bits per pixel with its colour table (0x00RRGGBB each);
    // index(x, y) picks the entry, y counted from the top.
    static PreviewBlockBuilder Indexed(int width, int height, int bitsPerPixel,
                                       const std::vector<uint32_t>& palette,
                                       std::function<uint8_t(int, int)> index)
    {
        return Bitmap(width, height, bitsPerPixel, palette, index);
    }
    // Metafile bits framed as width x height pixels.
    static PreviewBlockBuilder Metafile(const std::vector<uint8_t>& bits, int16_t width, int16_t height);

    PreviewBlockBuilder& Flags(uint16_t flags) { return Patch(16, flags, 2); }
    PreviewBlockBuilder& DataOffset(uint32_t offset) { return Patch(20, offset, 4); }

    std::vector<uint8_t> Build() const { return out.Data(); }

private:
    PreviewBlockBuilder(int width, int height, uint16_t pictureType, uint32_t dataOffset);
    PreviewBlockBuilder& Patch(size_t offset, uint32_t value, size_t size);
    static PreviewBlockBuilder Bitmap(int width, int height, int bitsPerPixel,
                                      const std::vector<uint32_t>& palette,
                                      const std::function<uint32_t(int, int)>& pixel);

    ByteWriter out;
};

}  // namespace orv::test
