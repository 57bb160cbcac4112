// ReadBlock and ReadGif over an in-memory document: the first byte chooses the
// operation and the screen, the next four the stored length, the next two how many
// of the following bytes are the caller's metafile bits; the rest is the file.
#include <algorithm>
#include <cstring>

#include "DocumentChecks.h"
#include "preview/BitmapInfo.h"
#include "preview/PictureHeaders.h"
#include "preview/PreviewGeometry.h"
#include "preview/ScreenResolution.h"

namespace {

class FuzzScreen : public orv::ScreenResolution {
public:
    orv::ScreenMetrics metrics{};
    bool Query(orv::ScreenMetrics& out) const override
    {
        out = metrics;
        return true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orv;
    if (size < 7)
        return 0;
    uint8_t choice = data[0];
    uint32_t length;
    std::memcpy(&length, data + 1, 4);
    size_t bitsLength = std::min<size_t>(data[5] | data[6] << 8, size - 7);
    const uint8_t* bits = data + 7;
    MemoryFile file(bits + bitsLength, size - 7 - bitsLength);

    FuzzScreen screen;
    if (choice & 0x10 && bitsLength >= 16) {
        std::memcpy(&screen.metrics, bits, 16);
        ScreenResolution::SetCurrent(&screen);
    }
    static const uint32_t kinds[] = {PreviewKindRecord16, PreviewKindRecord18, PreviewKindBlock, 0xD003};
    PreviewPicture picture;
    bool read = (choice & 7) == 4
                    ? picture.ReadGif(file, length)
                    : picture.ReadBlock(file, length, kinds[choice & 3],
                                        (choice & 0x20) ? nullptr : bits,
                                        static_cast<uint32_t>(bitsLength));
    ScreenResolution::SetCurrent(nullptr);

    orv::fuzz::ExpectPreview(picture);
    const uint8_t* block = picture.GetBlock();
    if (!read || block == nullptr)
        return 0;
    auto header = LoadStruct<PreviewHeader>(block);
    Rect rect{0, 0, 120, 90};
    if (header.pictureType == 0 && picture.GetBlockSize() >= 64) {
        auto bitmap = LoadStruct<BitmapInfoHeader>(block + sizeof(PreviewHeader));
        BitmapFacts facts;
        if (GetBitmapInfo(&bitmap, facts)) {
            FitToRect(rect, bitmap.biWidth, bitmap.biHeight);
            Rect src = facts.source;
            ClipToVisible({30, 20, 100, 70}, src, rect);
        }
    } else {
        FitToRect(rect, header.frameRight - header.frameLeft, header.frameBottom - header.frameTop);
    }
    return 0;
}
