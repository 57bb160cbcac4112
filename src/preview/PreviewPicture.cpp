#include "preview/PreviewPicture.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "preview/GifDecoder.h"
#include "preview/PictureHeaders.h"
#include "preview/PreviewGeometry.h"
#include "preview/ScreenResolution.h"

namespace orv {
namespace {

constexpr uint32_t HeaderSize = sizeof(PreviewHeader);

// Where the 16- and 18-byte records keep what they give the header.
struct RecordLayout {
    uint32_t size;
    uint32_t flagsOffset;
    uint32_t pictureTypeOffset;
};

constexpr RecordLayout Record16{16, 12, 14};
constexpr RecordLayout Record18{18, 14, 16};

PreviewHeader HeaderFromRecord(const uint8_t* record, const RecordLayout& layout)
{
    PreviewHeader header{};
    std::memcpy(&header.tag, record, 2);
    std::memcpy(&header.frameTop, record + 2, 8);
    std::memcpy(&header.flags, record + layout.flagsOffset, 2);
    std::memcpy(&header.pictureType, record + layout.pictureTypeOffset, 2);
    header.dataOffset = HeaderSize;
    return header;
}

// The metafile's own frame (0.01 mm) in screen pixels. Without a screen, or with
// bits too short to hold the frame, the stored frame stays.
void FrameAtScreenResolution(PreviewHeader& header, const uint8_t* bits, uint32_t length)
{
    const ScreenResolution* screen = ScreenResolution::Current();
    ScreenMetrics metrics;
    if (screen == nullptr || !screen->Query(metrics))
        return;
    if (metrics.horizontalMillimetres <= 0 || metrics.verticalMillimetres <= 0)
        return;
    constexpr size_t frameEnd = offsetof(EnhMetaHeader, rclFrame) + sizeof(RectL);
    if (length < frameEnd)
        return;
    auto frame = LoadStruct<RectL>(bits + offsetof(EnhMetaHeader, rclFrame));
    double pixelsX = double(metrics.horizontalPixels) / metrics.horizontalMillimetres;
    double pixelsY = double(metrics.verticalPixels) / metrics.verticalMillimetres;
    header.frameLeft = NearestShort(frame.left * pixelsX * 0.01);
    header.frameRight = NearestShort(frame.right * pixelsX * 0.01);
    header.frameTop = NearestShort(frame.top * pixelsY * 0.01);
    header.frameBottom = NearestShort(frame.bottom * pixelsY * 0.01);
}

}  // namespace

bool PreviewPicture::ReadBlock(File& file, uint32_t length, uint32_t kind,
                               const uint8_t* metafileBits, uint32_t metafileLength)
{
    if (length == 0) {
        Clear();
        return true;
    }
    uint32_t recordSize = kind == PreviewKindRecord16   ? Record16.size
                          : kind == PreviewKindRecord18 ? Record18.size
                          : kind == PreviewKindBlock    ? HeaderSize
                                                        : 0;
    // The header record lies inside the stored block; a shorter block has none.
    if (recordSize == 0 || length < recordSize)
        return false;
    uint8_t record[HeaderSize];
    if (kind == PreviewKindBlock && length > file.Remaining())
        return false;
    if (!file.ReadExactly(record, recordSize))
        return false;

    if (kind == PreviewKindBlock) {
        auto header = LoadStruct<PreviewHeader>(record);
        header.playHandle = 0;
        PictureBlock newBlock = NewPictureBlock(length);
        if (!newBlock)
            return false;
        StoreStruct(newBlock.get(), header);
        if (!file.ReadExactly(newBlock.get() + HeaderSize, length - HeaderSize))
            return false;
        Install(std::move(newBlock), length);
        return true;
    }

    if (metafileBits == nullptr || metafileLength == 0 || metafileLength > UINT32_MAX - HeaderSize)
        return false;
    PreviewHeader header =
        HeaderFromRecord(record, kind == PreviewKindRecord16 ? Record16 : Record18);
    FrameAtScreenResolution(header, metafileBits, metafileLength);
    uint32_t newSize = HeaderSize + metafileLength;
    PictureBlock newBlock = NewPictureBlock(newSize);
    if (!newBlock)
        return false;
    StoreStruct(newBlock.get(), header);
    std::memcpy(newBlock.get() + HeaderSize, metafileBits, metafileLength);
    Install(std::move(newBlock), newSize);
    return true;
}

bool PreviewPicture::ReadGif(File& file, uint32_t length)
{
    if (length == 0) {
        Clear();
        return true;
    }
    if (length > file.Remaining())
        return false;
    std::unique_ptr<uint8_t[]> stream(new (std::nothrow) uint8_t[length]);
    if (!stream || !file.ReadExactly(stream.get(), length))
        return false;
    uint32_t newSize = 0;
    PictureBlock newBlock = DecodeGif(stream.get(), length, newSize);
    if (!newBlock)
        return false;
    Install(std::move(newBlock), newSize);
    return true;
}

void PreviewPicture::Clear()
{
    block.reset();
    blockSize = 0;
}

void PreviewPicture::Install(PictureBlock newBlock, uint32_t newSize)
{
    block = std::move(newBlock);
    blockSize = newSize;
}

}  // namespace orv
