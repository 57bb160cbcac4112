#include "preview/win32/PreviewDrawing.h"

#include <cstddef>

#include "preview/BitmapInfo.h"
#include "preview/PictureHeaders.h"
#include "preview/PreviewGeometry.h"
#include "preview/win32/DrawReduced.h"
#include "util/win32/UniqueHandle.h"

namespace orv {
namespace {

static_assert(sizeof(RECT) == sizeof(Rect));

Rect ToRect(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

RECT ToRECT(const Rect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

constexpr uint32_t headerSize = sizeof(PreviewHeader);
constexpr uint32_t bitmapBlockMinimum = headerSize + sizeof(BitmapInfoHeader);
// A bitmap header cut short still frames its picture once it holds width and height.
constexpr uint32_t bitmapSizeEnd = headerSize + offsetof(BitmapInfoHeader, biHeight) + sizeof(int32_t);

// The picture's own size: a metafile's frame, a bitmap's header. False for a block
// too short to tell.
bool PictureSize(const uint8_t* block, uint32_t blockSize, int32_t& width, int32_t& height)
{
    if (blockSize < headerSize)
        return false;
    auto header = LoadStruct<PreviewHeader>(block);
    if (header.pictureType != 0) {
        width = header.frameRight - header.frameLeft;
        height = header.frameBottom - header.frameTop;
        return true;
    }
    if (blockSize < bitmapSizeEnd)
        return false;
    width = LoadStruct<int32_t>(block + headerSize + offsetof(BitmapInfoHeader, biWidth));
    height = LoadStruct<int32_t>(block + headerSize + offsetof(BitmapInfoHeader, biHeight));
    return true;
}

}  // namespace

void DrawPreview(const PreviewPicture& picture, HDC dc, const RECT& rect)
{
    if (!RectVisible(dc, &rect))
        return;
    const uint8_t* block = picture.GetBlock();
    uint32_t blockSize = picture.GetBlockSize();
    int32_t width = 0;
    int32_t height = 0;
    if (block == nullptr || static_cast<int32_t>(blockSize) <= 0 || !PictureSize(block, blockSize, width, height)) {
        RECT frame = rect;
        DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        FillRect(dc, &frame, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        return;
    }
    Rect fitted = ToRect(rect);
    FitToRect(fitted, width, height);
    RECT inner = ToRECT(fitted);
    DrawEdge(dc, &inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (LoadStruct<PreviewHeader>(block).pictureType != 0) {
        FillRect(dc, &inner, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        PlayMetafile(dc, inner, block, blockSize);
    } else {
        DrawBitmap(dc, inner, block, blockSize);
    }
}

void DrawBitmap(HDC dc, RECT dst, const uint8_t* block, uint32_t blockSize)
{
    if (block == nullptr || blockSize < bitmapBlockMinimum)
        return;
    auto info = LoadStruct<BitmapInfoHeader>(block + headerSize);
    BitmapFacts facts;
    if (!GetBitmapInfo(&info, facts))
        return;
    // Sizes in 64 bits: a header may claim more than any block holds.
    if (uint64_t{blockSize} < facts.imageSize + facts.infoSize + headerSize ||
        facts.imageSize > UINT64_MAX - facts.infoSize - headerSize)
        return;
    const uint8_t* pixels = block + headerSize + facts.infoSize;
    Rect src = facts.source;
    // Palette displays get the picture matched to the colours they show, with the
    // error diffused; where that cannot be done it is drawn directly.
    ScreenDepth depth;
    if (GetScreenDepth(dc, depth) && depth.bitsPerPixel <= 8) {
        RECT clip;
        Rect visible = ToRect(dst);
        bool anyVisible = GetClipBox(dc, &clip) != ERROR && ClipToVisible(ToRect(clip), src, visible);
        dst = ToRECT(visible);
        if (anyVisible && DrawReduced(dc, block + headerSize, pixels, src, visible))
            return;
    }
    auto header = LoadStruct<PreviewHeader>(block);
    DWORD operation = (header.flags & PreviewFlagAndBitmap) == PreviewFlagAndBitmap ? SRCAND : SRCCOPY;
    int previous = SelectStretchMode(dc, facts.colourCount);
    StretchDIBits(dc, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, src.left, src.top,
                  src.right - src.left, src.bottom - src.top, pixels,
                  reinterpret_cast<const BITMAPINFO*>(block + headerSize), DIB_RGB_COLORS, operation);
    SetStretchBltMode(dc, previous);
}

void PlayMetafile(HDC dc, const RECT& dst, const uint8_t* block, uint32_t blockSize)
{
    if (block == nullptr || blockSize < headerSize)
        return;
    uint32_t dataOffset = LoadStruct<PreviewHeader>(block).dataOffset;
    if (blockSize <= dataOffset)
        return;
    // The handle lives for this one playback; nothing is cached between paints.
    unique_henhmetafile metafile(SetEnhMetaFileBits(blockSize - dataOffset, block + dataOffset));
    if (metafile)
        PlayEnhMetaFile(dc, metafile.get(), &dst);
}

int SelectStretchMode(HDC dc, uint32_t colourCount)
{
    return SetStretchBltMode(dc, colourCount == 2 ? BLACKONWHITE : COLORONCOLOR);
}

bool GetScreenDepth(HDC dc, ScreenDepth& depth)
{
    unique_screen_dc screen;
    if (dc == nullptr) {
        screen.reset(GetDC(nullptr));
        if (!screen)
            return false;
        dc = screen.get();
    }
    int colours = GetDeviceCaps(dc, NUMCOLORS);
    depth.paletteDevice = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    if (depth.paletteDevice)
        colours = GetDeviceCaps(dc, SIZEPALETTE);
    depth.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    depth.paletteSize = depth.bitsPerPixel <= 8 ? colours : 0;
    return true;
}

}  // namespace orv
