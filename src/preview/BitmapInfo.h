#pragma once
#include <cstdint>

#include "preview/PictureHeaders.h"
#include "preview/PreviewGeometry.h"

namespace orv {

// What drawing needs to know about a packed bitmap, from its header alone. Sizes are
// 64-bit so that a header cannot make a size check wrap around.
struct BitmapFacts {
    uint32_t bitsPerPixel;
    uint32_t colourCount;
    // (0, 0, width, height), each taken as its low 16 bits.
    Rect source;
    int64_t rowBytes;
    // Header, colour table and bit-field masks.
    uint64_t infoSize;
    // Bytes of pixel data the header asks for; the largest value when they would
    // not fit in 64 bits.
    uint64_t imageSize;
    uint64_t totalBytes;
};

// False for a missing header, a header size other than 40, a plane count other than 1,
// a compression other than none, run-length or bit fields, a negative width, and
// run-length data of no size.
// A negative height (rows stored top down) counts its rows like a positive one.
bool GetBitmapInfo(const BitmapInfoHeader* header, BitmapFacts& facts);

}  // namespace orv
