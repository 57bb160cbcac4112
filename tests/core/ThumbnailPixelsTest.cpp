#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "handlers/ThumbnailPixels.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(FitInSquare, KeepsTheProportionsLargerOrSmallerAndNeverGoesBelowOnePixel)
{
    const struct {
        uint32_t width;
        uint32_t height;
        uint32_t side;
        uint32_t fittedWidth;
        uint32_t fittedHeight;
    } cases[] = {
        {128, 96, 256, 256, 192},
        {128, 96, 64, 64, 48},
        {96, 128, 64, 48, 64},
        {128, 128, 100, 100, 100},
        // 64 x 42.67 and 2.67 x 4: halves and more round up.
        {96, 64, 64, 64, 43},
        {2, 3, 4, 3, 4},
        {1000, 1, 64, 64, 1},
        {0xFFFFFFFF, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0x7FFFFFFF},
        {0, 96, 64, 0, 0},
        {128, 0, 64, 0, 0},
        {128, 96, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " in " << c.side);
        PixelSize size = FitInSquare(c.width, c.height, c.side);
        EXPECT_EQ(std::tuple(size.width, size.height), std::tuple(c.fittedWidth, c.fittedHeight));
    }
}

TEST(ToBgra, SwapsRedAndBlueAndPremultipliesByAlpha)
{
    RgbaImage image{2, 2, {10, 20, 30, 255, 200, 100, 50, 128, 255, 255, 255, 0, 255, 255, 255, 1}};
    BgraImage bgra = ToBgra(image);
    EXPECT_EQ(std::tuple(bgra.width, bgra.height), std::tuple(2u, 2u));
    EXPECT_EQ(bgra.pixels, (Bytes{30, 20, 10, 255, 25, 50, 100, 128, 0, 0, 0, 0, 1, 1, 1, 1}));
}

TEST(FromBackgrounds, TakesAlphaFromWhatTheBackgroundsLetThroughAndColoursFromTheBlackPlay)
{
    const struct {
        const char* name;
        Bytes overWhite;
        Bytes overBlack;
        Bytes expected;
    } cases[] = {
        // The fourth byte is whatever the platform left there.
        {"opaque", {30, 60, 90, 0}, {30, 60, 90, 7}, {30, 60, 90, 255}},
        {"nothing drawn", {255, 255, 255, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
        {"half", {191, 255, 127, 0}, {64, 128, 0, 0}, {64, 128, 0, 128}},
        // Channels that disagree: the one letting most through decides.
        {"mixed", {255, 100, 90, 0}, {200, 100, 90, 0}, {200, 100, 90, 200}},
        {"colour beyond alpha", {255, 255, 255, 0}, {200, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes white = c.overWhite;
        Bytes black = c.overBlack;
        // Each case in the second of two pixels, after an opaque black one.
        white.insert(white.begin(), {0, 0, 0, 0});
        black.insert(black.begin(), {0, 0, 0, 0});
        BgraImage image = FromBackgrounds(1, 2, white, black);
        EXPECT_EQ(std::tuple(image.width, image.height), std::tuple(1u, 2u));
        Bytes expected = {0, 0, 0, 255};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(image.pixels, expected);
    }
}

TEST(FromBackgrounds, PlaysOfAnotherSizeGiveNoImage)
{
    const Bytes pixel = {1, 2, 3, 4};
    const Bytes twoPixels = {1, 2, 3, 4, 5, 6, 7, 8};
    for (const auto& [white, black] : {std::pair(twoPixels, pixel), std::pair(pixel, twoPixels),
                                       std::pair(twoPixels, twoPixels)}) {
        BgraImage image = FromBackgrounds(1, 1, white, black);
        EXPECT_EQ(std::tuple(image.width, image.height, image.pixels.size()), std::tuple(0u, 0u, size_t{0}));
    }
}

}  // namespace
}  // namespace orv
