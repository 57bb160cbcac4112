// Any stream either fails quietly or gives a block whose size and headers agree
// with each other; the sanitizers catch every read or write outside a buffer.
#include <cstdlib>
#include <cstring>

#include "preview/GifDecoder.h"
#include "preview/PictureHeaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orv;
    if (size > UINT32_MAX)
        return 0;
    // Large canvases only slow the search down; the unit tests cover the limits.
    if (size >= 10 && uint32_t(data[6] | data[7] << 8) * uint32_t(data[8] | data[9] << 8) > 512 * 512)
        return 0;
    uint32_t blockSize = 12345;
    std::unique_ptr<uint8_t[]> block = DecodeGif(data, static_cast<uint32_t>(size), blockSize);
    if (!block) {
        if (blockSize != 0)
            std::abort();
        return 0;
    }
    auto preview = LoadStruct<PreviewHeader>(block.get());
    auto bitmap = LoadStruct<BitmapInfoHeader>(block.get() + sizeof(PreviewHeader));
    uint64_t pixelBytes = uint64_t(bitmap.biWidth) * uint64_t(bitmap.biHeight) * 4;
    if (bitmap.biWidth <= 0 || bitmap.biHeight <= 0 || bitmap.biWidth > int32_t{GifMaxSide} ||
        bitmap.biHeight > int32_t{GifMaxSide} || blockSize != 64 + pixelBytes ||
        bitmap.biSizeImage != pixelBytes || preview.flags != PreviewFlagGif ||
        preview.frameRight != bitmap.biWidth || preview.frameBottom != bitmap.biHeight)
        std::abort();
    for (uint64_t at = 64 + 3; at < blockSize; at += 4)
        if (block[at] != 0)
            std::abort();
    return 0;
}
