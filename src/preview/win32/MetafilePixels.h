#pragma once
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "preview/PreviewPicture.h"
#include "util/win32/UniqueHandle.h"

namespace orv {

// A 32-bit device-independent bitmap, rows from the top; bits points at its pixels.
// Null when the platform cannot make one of that size.
unique_hbitmap MakeTopDownBitmap(uint32_t width, uint32_t height, uint8_t*& bits);

// The preview's metafile played into width x height pixels once over each background
// colour, giving each play as BGRA bytes, rows from the top (the fourth byte as GDI
// leaves it). Played at the size asked, so that lines stay one pixel wide. False, with
// nothing played, when the picture holds no metafile the platform takes.
bool PlayMetafilePixels(const PreviewPicture& picture, uint32_t width, uint32_t height,
                        std::initializer_list<COLORREF> backgrounds, std::vector<std::vector<uint8_t>>& plays);

}  // namespace orv
