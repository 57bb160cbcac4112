// Any stream either fails quietly or gives a block whose size and headers agree
// with each other; the sanitizers catch every read or write outside a buffer.
#include "DocumentChecks.h"
#include "preview/GifDecoder.h"
#include "preview/PictureHeaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orv;
    using fuzz::Expect;
    if (size > UINT32_MAX)
        return 0;
    // Large canvases only slow the search down; the unit tests cover the limits.
    if (size >= 10 && uint32_t(data[6] | data[7] << 8) * uint32_t(data[8] | data[9] << 8) > 512 * 512)
        return 0;
    uint32_t blockSize = 12345;
    std::unique_ptr<uint8_t[]> block = DecodeGif(data, static_cast<uint32_t>(size), blockSize);
    Expect(block != nullptr || blockSize == 0, "a failed decode gives no block size");
    if (!block)
        return 0;
    auto preview = LoadStruct<PreviewHeader>(block.get());
    auto bitmap = LoadStruct<BitmapInfoHeader>(block.get() + sizeof(PreviewHeader));
    const int32_t width = bitmap.biWidth;
    const int32_t height = bitmap.biHeight;
    const uint64_t pixelBytes = uint64_t(width) * uint64_t(height) * 4;
    Expect(width > 0 && height > 0 && width <= int32_t{GifMaxSide} && height <= int32_t{GifMaxSide},
           "a picture has 1 to GifMaxSide pixels a side");
    Expect(blockSize == 64 + pixelBytes && bitmap.biSizeImage == pixelBytes,
           "the block holds the headers and 4 bytes a pixel");
    Expect(preview.flags == PreviewFlagGif && preview.frameRight == width && preview.frameBottom == height,
           "the preview header frames the whole picture");
    for (uint64_t at = 64 + 3; at < blockSize; at += 4)
        Expect(block[at] == 0, "the fourth byte of every pixel is 0");
    return 0;
}
