// The decoder's indices against the format's definition, where every string is
// rebuilt through its prefixes: any code stream, at any minimum code size, in an
// image of any shape, must give the same pixels.
#include <algorithm>
#include <cstdlib>

#include "GifWriter.h"
#include "preview/GifDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orv;
    using namespace orv::test;
    if (size < 4 || size > 1 << 16)
        return 0;
    unsigned minCodeSize = data[0] % 12;
    uint16_t width = static_cast<uint16_t>(1 + data[1] % 64);
    uint16_t height = static_cast<uint16_t>(1 + data[2] % 64);
    GifImage image;
    image.width = width;
    image.height = height;
    image.minCodeSize = static_cast<uint8_t>(minCodeSize);
    image.interlaced = (data[3] & 1) != 0;
    image.subBlockSize = 1 + data[3] % 255;
    std::vector<uint8_t> codeBytes(data + 4, data + size);
    Palette identity;
    for (int i = 0; i < 256; ++i)
        identity.push_back({uint8_t(i), uint8_t(i ^ 0x5A), uint8_t(255 - i)});
    std::vector<uint8_t> stream =
        GifWriter().Screen(width, height, identity).ImageWithCodes(image, codeBytes).Trailer().Data();

    uint32_t blockSize = 0;
    std::unique_ptr<uint8_t[]> block = DecodeGif(stream.data(), static_cast<uint32_t>(stream.size()), blockSize);
    if (!block)
        std::abort();
    std::vector<uint8_t> stored = ExpandCodesByChain(codeBytes, minCodeSize, size_t{width} * height);
    std::vector<uint8_t> expected = image.interlaced ? std::vector<uint8_t>(stored.size()) : stored;
    if (image.interlaced) {
        size_t k = 0;
        for (auto [first, step] : {std::pair<size_t, size_t>{0, 8}, {4, 8}, {2, 4}, {1, 2}})
            for (size_t row = first; row < height; row += step, ++k)
                std::copy_n(stored.begin() + k * width, width, expected.begin() + row * width);
    }
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            const uint8_t* pixel = block.get() + 64 + ((height - 1 - y) * width + x) * 4;
            if (pixel[2] != expected[y * width + x])
                std::abort();
        }
    }
    return 0;
}
