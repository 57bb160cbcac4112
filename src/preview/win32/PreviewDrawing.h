#pragma once
#include <windows.h>

#include <cstdint>

#include "preview/PreviewPicture.h"

namespace orv {

// Draws the picture fitted into rect with its proportions kept, inside a sunken
// edge that hugs the fitted area; an empty picture, or one too short to tell its
// size, shows an empty frame.
void DrawPreview(const PreviewPicture& picture, HDC dc, const RECT& rect);

// Stretch a bitmap block or play a metafile block onto dst; a block that does not
// hold what its headers claim draws nothing.
void DrawBitmap(HDC dc, RECT dst, const uint8_t* block, uint32_t blockSize);
void PlayMetafile(HDC dc, const RECT& dst, const uint8_t* block, uint32_t blockSize);

// BLACKONWHITE for two-colour bitmaps, COLORONCOLOR otherwise; returns the mode
// that was set before.
int SelectStretchMode(HDC dc, uint32_t colourCount);

struct ScreenDepth {
    int bitsPerPixel;
    int paletteSize;  // 0 above 8 bits per pixel
    bool paletteDevice;
};

// Of the device context, or of the screen when dc is null.
bool GetScreenDepth(HDC dc, ScreenDepth& depth);

}  // namespace orv
