#include "preview/win32/MetafilePixels.h"

#include <climits>

#include "preview/PictureHeaders.h"

namespace orv {

unique_hbitmap MakeTopDownBitmap(uint32_t width, uint32_t height, uint8_t*& bits)
{
    bits = nullptr;
    if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX)
        return {};
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), LONG(width), -LONG(height), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    unique_hbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap || pixels == nullptr)
        return {};
    bits = static_cast<uint8_t*>(pixels);
    return bitmap;
}

bool PlayMetafilePixels(const PreviewPicture& picture, uint32_t width, uint32_t height,
                        std::initializer_list<COLORREF> backgrounds, std::vector<std::vector<uint8_t>>& plays)
{
    const uint8_t* block = picture.GetBlock();
    uint32_t blockSize = picture.GetBlockSize();
    if (block == nullptr || blockSize < sizeof(PreviewHeader))
        return false;
    auto header = LoadStruct<PreviewHeader>(block);
    if (header.pictureType == 0 || header.dataOffset >= blockSize)
        return false;
    unique_henhmetafile metafile(SetEnhMetaFileBits(blockSize - header.dataOffset, block + header.dataOffset));
    uint8_t* bits = nullptr;
    unique_hbitmap bitmap = MakeTopDownBitmap(width, height, bits);
    unique_hdc dc(CreateCompatibleDC(nullptr));
    if (!metafile || !bitmap || !dc)
        return false;
    unique_select_object selected(dc.get(), bitmap.get());
    RECT frame = {0, 0, LONG(width), LONG(height)};
    std::vector<std::vector<uint8_t>> played;
    for (COLORREF background : backgrounds) {
        SetDCBrushColor(dc.get(), background);
        FillRect(dc.get(), &frame, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        PlayEnhMetaFile(dc.get(), metafile.get(), &frame);
        GdiFlush();
        played.emplace_back(bits, bits + size_t{width} * height * 4);
    }
    plays = std::move(played);
    return true;
}

}  // namespace orv
