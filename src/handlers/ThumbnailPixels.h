#pragma once
#include <cstdint>
#include <vector>

#include "preview/PreviewImage.h"

namespace orv {

// A thumbnail's pixels as the shell takes them: blue, green, red and alpha bytes, the
// colours premultiplied by alpha, rows from the top.
struct BgraImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
};

struct PixelSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

// A picture of width x height fitted into side x side with its proportions kept,
// larger or smaller; neither side below 1. 0 x 0 when the picture or side is empty.
PixelSize FitInSquare(uint32_t width, uint32_t height, uint32_t side);

// An opaque image's pixels in the shell's order, which need no premultiplying.
BgraImage ToBgra(const RgbaImage& image);

// A picture played once over white and once over black, both width x height in BGRA
// bytes (the fourth byte of each ignored): where the plays differ the picture let the
// background through. The play over black holds the premultiplied colours. Empty
// when the plays are not both of that size.
BgraImage FromBackgrounds(uint32_t width, uint32_t height, const std::vector<uint8_t>& overWhite,
                          const std::vector<uint8_t>& overBlack);

}  // namespace orv
