#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "handlers/ThumbnailPixels.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(ThumbnailPixels, FitInSquareKeepsTheProportionsLargerOrSmallerAndNeverGoesBelowOnePixel)
{
    // Width, height, side, then the fitted width and height; 2.67 and 1.5 round up.
    const uint32_t cases[][5] = {
        {128, 96, 256, 256, 192}, {96, 128, 64, 48, 64}, {10, 5, 3, 3, 2}, {2, 3, 4, 3, 4},
        {1000, 1, 64, 64, 1}, {0xFFFFFFFF, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0x7FFFFFFF},
        {0, 96, 64, 0, 0}, {128, 0, 64, 0, 0}, {128, 96, 0, 0, 0},
    };
    for (const auto& c : cases) {
        PixelSize size = FitInSquare(c[0], c[1], c[2]);
        EXPECT_EQ(std::pair(size.width, size.height), std::pair(c[3], c[4])) << c[0] << "x" << c[1] << ", " << c[2];
    }
}

TEST(ThumbnailPixels, ToBgraSwapsRedAndBlue)
{
    BgraImage bgra = ToBgra(RgbaImage{2, 1, {10, 20, 30, 255, 200, 100, 50, 255}});
    EXPECT_EQ(std::tuple(bgra.width, bgra.height), std::tuple(2u, 1u));
    EXPECT_EQ(bgra.pixels, (Bytes{30, 20, 10, 255, 50, 100, 200, 255}));
}

TEST(ThumbnailPixels, AlphaIsWhatTheBackgroundsLetThroughAndColoursComeFromThePlayOverBlack)
{
    // One pixel each: opaque (the fourth byte is whatever the platform left), nothing
    // drawn, half through, channels that disagree (the one letting most through
    // decides), and colours beyond their alpha.
    const Bytes white = {30, 60, 90, 9, 255, 255, 255, 0, 191, 255, 127, 0, 255, 100, 90, 0, 255, 255, 255, 0};
    const Bytes black = {30, 60, 90, 0, 0, 0, 0, 0, 64, 128, 0, 0, 200, 100, 90, 0, 200, 0, 0, 0};
    BgraImage image = FromBackgrounds(1, 5, white, black);
    EXPECT_EQ(std::tuple(image.width, image.height), std::tuple(1u, 5u));
    const Bytes expected = {30, 60, 90, 255, 0, 0, 0, 0, 64, 128, 0, 128, 200, 100, 90, 200, 0, 0, 0, 0};
    EXPECT_EQ(image.pixels, expected);
    // Plays of another size give no image.
    EXPECT_EQ(FromBackgrounds(1, 5, white, Bytes(16)).width, 0u);
    EXPECT_EQ(FromBackgrounds(1, 5, Bytes(24), black).width, 0u);
    EXPECT_EQ(FromBackgrounds(2, 5, white, black).width, 0u);
}

}  // namespace
}  // namespace orv
