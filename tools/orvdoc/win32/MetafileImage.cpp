#include "MetafileImage.h"

#include <windows.h>

#include <algorithm>

#include "handlers/ThumbnailPixels.h"
#include "preview/win32/MetafilePixels.h"
#include "preview/win32/Win32MetafileConverter.h"

namespace orv {

void UsePlatformMetafiles()
{
    static const Win32MetafileConverter converter;
    MetafileConverter::SetCurrent(&converter);
}

bool MetafileImage(const PreviewPicture& picture, uint32_t maxSide, RgbaImage& image)
{
    PreviewShape shape = ShapeOf(picture);
    if (shape.content != PreviewContent::Metafile)
        return false;
    uint32_t side = maxSide != 0 ? maxSide : std::max(shape.width, shape.height);
    PixelSize size = FitInSquare(shape.width, shape.height, side);
    std::vector<std::vector<uint8_t>> plays;
    if (!PlayMetafilePixels(picture, size.width, size.height, {RGB(255, 255, 255)}, plays))
        return false;
    const std::vector<uint8_t>& bgra = plays.front();
    image = {size.width, size.height, {}};
    image.pixels.reserve(bgra.size());
    for (size_t at = 0; at < bgra.size(); at += 4)
        image.pixels.insert(image.pixels.end(), {bgra[at + 2], bgra[at + 1], bgra[at], 255});
    return true;
}

}  // namespace orv
