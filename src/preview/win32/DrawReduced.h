#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "preview/PictureHeaders.h"
#include "preview/PreviewGeometry.h"
#include "util/win32/UniqueHandle.h"

namespace orv {

// The colours a palette display shows, as a logical palette and as colours.
struct ScreenPalette {
    unique_hpalette palette;
    std::vector<RgbQuad> colours;
};

// Black and white for two colours, else the first `size` entries of the system
// palette; none when they cannot be read or the palette cannot be made.
std::optional<ScreenPalette> BuildScreenPalette(HDC dc, uint32_t size);

// Draws the src part of an uncompressed bitmap onto dst of a display of 8 bits or
// fewer: scaled here, matched to the colours the screen shows through an inverse
// colour table, with the error diffused. False when it cannot, and the caller then
// draws directly.
bool DrawReduced(HDC dc, const uint8_t* bitmapInfo, const uint8_t* pixels, Rect src, Rect dst);

}  // namespace orv
