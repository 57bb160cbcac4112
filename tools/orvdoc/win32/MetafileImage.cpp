#include "MetafileImage.h"

#include <windows.h>

#include <algorithm>

#include "preview/win32/PreviewDrawing.h"
#include "preview/win32/Win32MetafileConverter.h"
#include "util/win32/UniqueHandle.h"

namespace orv {

void UsePlatformMetafiles()
{
    static const Win32MetafileConverter converter;
    MetafileConverter::SetCurrent(&converter);
}

bool MetafileImage(const PreviewPicture& picture, uint32_t maxSide, RgbaImage& image)
{
    PreviewShape shape = ShapeOf(picture);
    if (shape.content != PreviewContent::Metafile || shape.width == 0 || shape.height == 0)
        return false;
    uint32_t larger = std::max(shape.width, shape.height);
    uint32_t side = maxSide != 0 ? maxSide : larger;
    int width = int(std::max<uint64_t>(1, (uint64_t{shape.width} * side + larger / 2) / larger));
    int height = int(std::max<uint64_t>(1, (uint64_t{shape.height} * side + larger / 2) / larger));
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    unique_hdc dc(CreateCompatibleDC(nullptr));
    unique_hbitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !bitmap || bits == nullptr)
        return false;
    HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
    PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
    PlayMetafile(dc.get(), RECT{0, 0, width, height}, picture.GetBlock(), picture.GetBlockSize());
    GdiFlush();
    SelectObject(dc.get(), previous);
    const uint8_t* bgra = static_cast<const uint8_t*>(bits);
    image = {uint32_t(width), uint32_t(height), {}};
    image.pixels.reserve(size_t(width) * height * 4);
    for (size_t i = 0; i < size_t(width) * height; ++i)
        image.pixels.insert(image.pixels.end(), {bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i], 255});
    return true;
}

}  // namespace orv
