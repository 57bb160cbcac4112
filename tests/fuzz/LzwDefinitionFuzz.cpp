// The decoder's indices against the format's definition, where every string is
// rebuilt through its prefixes: any code stream, at any minimum code size, in an
// image of any shape, must give the same pixels.
#include "DocumentChecks.h"
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
    GifImage image{.width = width, .height = height, .interlaced = (data[3] & 1) != 0,
                   .minCodeSize = static_cast<uint8_t>(minCodeSize), .subBlockSize = 1 + data[3] % 255u};
    std::vector<uint8_t> codeBytes(data + 4, data + size);
    Palette identity;
    for (int i = 0; i < 256; ++i)
        identity.push_back({uint8_t(i), uint8_t(i ^ 0x5A), uint8_t(255 - i)});
    std::vector<uint8_t> stream =
        GifWriter().Screen(width, height, identity).ImageWithCodes(image, codeBytes).Trailer().Data();

    uint32_t blockSize = 0;
    std::unique_ptr<uint8_t[]> block =
        DecodeGif(stream.data(), static_cast<uint32_t>(stream.size()), blockSize);
    orv::fuzz::Expect(block != nullptr, "any code stream decodes");
    // Pixels the codes do not reach keep the background, entry 0.
    std::vector<uint8_t> stored = ExpandCodesByChain(codeBytes, minCodeSize, size_t{width} * height);
    stored.resize(size_t{width} * height);
    std::vector<uint8_t> shown(stored.size());
    for (size_t y = 0; y < height; ++y)
        for (size_t x = 0; x < width; ++x)
            shown[y * width + x] = block[64 + ((height - 1 - y) * width + x) * 4 + 2];
    orv::fuzz::Expect((image.interlaced ? InterlaceRows(shown, width, height) : shown) == stored,
                      "the decoder gives the pixels the definition gives");
    return 0;
}
