#pragma once
#include <windows.h>

#include "preview/PreviewPicture.h"

namespace orv {

// A size x size icon of the whole picture stretched onto the square, no frame; null
// when the picture cannot give one. The caller owns the icon.
HICON MakeIcon(const PreviewPicture& picture, int size);

// An icon of the bitmap in which pixels of the key colour are transparent. The
// bitmap stays the caller's; its key-coloured pixels are made black.
HICON BitmapToIcon(HBITMAP bitmap, COLORREF key);

}  // namespace orv
