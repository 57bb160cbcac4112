#include "handlers/ThumbnailPixels.h"

#include <algorithm>
#include <utility>

namespace orv {

PixelSize FitInSquare(uint32_t width, uint32_t height, uint32_t side)
{
    if (width == 0 || height == 0 || side == 0)
        return {};
    uint64_t larger = std::max(width, height);
    auto fitted = [&](uint32_t length) {
        return std::max<uint32_t>(1, uint32_t((uint64_t{length} * side + larger / 2) / larger));
    };
    return {fitted(width), fitted(height)};
}

BgraImage ToBgra(const RgbaImage& image)
{
    BgraImage bgra{image.width, image.height, image.pixels};
    for (size_t at = 0; at + 4 <= bgra.pixels.size(); at += 4)
        std::swap(bgra.pixels[at], bgra.pixels[at + 2]);
    return bgra;
}

BgraImage FromBackgrounds(uint32_t width, uint32_t height, const std::vector<uint8_t>& overWhite,
                          const std::vector<uint8_t>& overBlack)
{
    uint64_t bytes = uint64_t{width} * height * 4;
    if (overWhite.size() != bytes || overBlack.size() != bytes)
        return {};
    BgraImage image{width, height, std::vector<uint8_t>(overBlack.size())};
    for (size_t at = 0; at < overBlack.size(); at += 4) {
        // Over white a channel shows colour + (255 - alpha); over black the colour alone.
        int through = 0;
        for (size_t channel = 0; channel < 3; ++channel)
            through = std::max(through, overWhite[at + channel] - overBlack[at + channel]);
        uint8_t alpha = uint8_t(255 - through);
        for (size_t channel = 0; channel < 3; ++channel)
            image.pixels[at + channel] = std::min(overBlack[at + channel], alpha);
        image.pixels[at + 3] = alpha;
    }
    return image;
}

}  // namespace orv
