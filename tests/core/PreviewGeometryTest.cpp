#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <tuple>

#include "preview/BitmapInfo.h"
#include "preview/PreviewGeometry.h"

namespace orv {
namespace {

// Picture sizes come from documents: the extreme ones wrap as the platform's 32-bit
// integers do, and the undefined-behaviour sanitizer watches the arithmetic.
TEST(FitToRect, CentresSmallerPicturesAndScalesTheOthersWithTheirProportions)
{
    const Rect whole{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    const std::tuple<Rect, int32_t, int32_t, Rect> cases[] = {
        {{0, 0, 200, 100}, 50, 30, {75, 35, 125, 65}}, {{0, 0, 201, 101}, 100, 50, {50, 25, 150, 75}},
        {{0, 0, 100, 100}, 3, 7, {48, 46, 51, 53}}, {{0, 0, 200, 200}, 400, 200, {0, 50, 200, 150}},
        {{0, 0, 200, 200}, 100, 400, {75, 0, 125, 200}}, {{10, 20, 110, 70}, 300, 100, {10, 28, 110, 61}},
        {{0, 0, 200, 100}, 200, 100, {0, 0, 200, 100}}, {{0, 0, 200, 100}, 199, 100, {0, 0, 199, 100}},
        {{0, 0, 120, 90}, 160, 120, {0, 0, 120, 90}},
        // Proportions compared as fractions, not as whole quotients.
        {{0, 0, 150, 100}, 140, 100, {5, 0, 145, 100}},
        // Only a rectangle larger both ways centres the picture unscaled.
        {{0, 0, 1, 100}, 1, 99, {0, 1, 1, 99}},
        // Pictures without area give empty rectangles in the middle.
        {{0, 0, 200, 100}, 300, 0, {0, 50, 200, 50}}, {{0, 0, 200, 100}, 0, 100, {100, 0, 100, 100}},
        {{0, 0, 0, 0}, 0, 0, {0, 0, 0, 0}},
        {{0, 0, 200, 100}, INT32_MIN, 1, {-1073741724, 49, 1073741924, 50}},
        {whole, INT32_MAX, INT32_MAX, whole},
        // A width of 65536 is 0 in the 16 bits the proportions are taken in, also for a
        // picture as wide or as high as the rectangle.
        {{0, 0, 65536, 100}, 65536, 50, {0, 50, 65536, 50}}, {{0, 0, 65536, 100}, 300, 100, {0, 50, 65536, 50}},
    };
    for (const auto& [rect, width, height, expected] : cases) {
        Rect fitted = rect;
        FitToRect(fitted, width, height);
        EXPECT_EQ(fitted, expected) << width << " x " << height << " into " << rect.right << ", "
                                    << rect.bottom;
    }
}

// When nothing is visible both rectangles stay as they were, unless the part of the
// source that lands there is empty.
TEST(ClipToVisible, CutsTheSourceInProportionToTheVisibleDestination)
{
    const Rect src{0, 0, 100, 50}, dst{0, 0, 200, 100};
    // Name, visible area, source, destination; shown, the source and destination cut.
    const std::tuple<const char*, Rect, Rect, Rect, bool, Rect, Rect> cases[] = {
        {"all visible", {-10, -10, 500, 500}, src, dst, true, src, dst},
        {"left quarter hidden", {50, 0, 200, 100}, src, dst, true, {25, 0, 100, 50}, {50, 0, 200, 100}},
        {"a band visible", {0, 150, 1000, 175}, {10, 20, 110, 70}, {100, 100, 300, 200}, true,
         {10, 45, 110, 58}, {100, 150, 300, 175}},
        {"beside the visible area", {300, 0, 400, 100}, src, dst, false, src, dst},
        {"touching the visible area's left", {200, 0, 300, 100}, src, dst, false, src, dst},
        {"touching the visible area's top", {0, 100, 200, 200}, src, dst, false, src, dst},
        {"nothing visible", {}, src, dst, false, src, dst},
        {"a destination 0 wide in 16 bits", {10, 0, 20, 100}, src, {0, 0, 65536, 100}, false, {},
         {10, 0, 20, 100}},
        // From its left edge: 0 / 0 maps to no column, so the source keeps only its right of 0.
        {"the same seen from its left edge", {0, 0, 20, 100}, {-30, 0, 70, 50}, {0, 0, 65536, 100}, true,
         {0, 0, 70, 50}, {0, 0, 20, 100}},
    };
    for (const auto& [name, visible, source, destination, shown, cutSource, cutDestination] : cases) {
        Rect clippedSrc = source, clippedDst = destination;
        EXPECT_EQ(ClipToVisible(visible, clippedSrc, clippedDst), shown) << name;
        EXPECT_EQ(clippedSrc, cutSource) << name;
        EXPECT_EQ(clippedDst, cutDestination) << name;
    }
}

TEST(NearestInteger, RoundsHalvesAwayFromZeroAndClampsSymmetrically)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // The value; as a 32-bit and as a 16-bit integer.
    const std::tuple<double, int32_t, int16_t> cases[] = {
        {2.5, 3, 3}, {-2.5, -3, -3}, {2.49, 2, 2}, {-0.4, 0, 0}, {0.5, 1, 1}, {-0.5, -1, -1}, {101.6, 102, 102},
        {32767.4, 32767, 32767}, {32768.0, 32768, 32767}, {-32767.4, -32767, -32767},
        {-32768.0, -32768, -32767}, {3e9, 2147483647, 32767}, {-3e9, -2147483647, -32767},
        {2147483647.0, 2147483647, 32767}, {-2147483648.0, -2147483647, -32767}, {nan, 0, 0},
        {-std::numeric_limits<double>::infinity(), -2147483647, -32767}, {1e300, 2147483647, 32767},
    };
    for (auto [x, expectedLong, expectedShort] : cases)
        EXPECT_EQ(std::pair(NearestLong(x), NearestShort(x)), std::pair(expectedLong, expectedShort)) << x;
}

BitmapInfoHeader Header(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression = CompressionRgb,
                        uint32_t sizeImage = 0, uint32_t coloursUsed = 0, uint16_t planes = 1,
                        uint32_t size = 40)
{
    return {size, width, height, planes, bitCount, compression, sizeImage, 0, 0, coloursUsed, 0};
}

auto Tie(const BitmapFacts& f)
{
    return std::tuple(f.bitsPerPixel, f.colourCount, f.source.left, f.source.top, f.source.right,
                      f.source.bottom, f.rowBytes, f.infoSize, f.imageSize, f.totalBytes);
}

// Sizes are what a caller checks a block against; they must count every row and
// never wrap around to something small.
TEST(GetBitmapInfo, DerivesRowsTablesAndSizesFromTheHeader)
{
    const uint64_t most = UINT64_MAX;
    // Bits per pixel, colours, (0, 0, width, height), row bytes, header and tables, image and total bytes.
    const std::pair<BitmapInfoHeader, std::optional<BitmapFacts>> cases[] = {
        {Header(3, 2, 32), BitmapFacts{32, 0, {0, 0, 3, 2}, 12, 40, 24, 24}},
        {Header(5, 3, 8), BitmapFacts{8, 256, {0, 0, 5, 3}, 8, 40 + 1024, 24, 24}},
        {Header(5, 3, 8, CompressionRgb, 0, 16), BitmapFacts{8, 16, {0, 0, 5, 3}, 8, 40 + 64, 24, 24}},
        {Header(17, 1, 1), BitmapFacts{1, 2, {0, 0, 17, 1}, 4, 48, 4, 4}},
        {Header(4, 4, 16, CompressionBitFields), BitmapFacts{16, 0, {0, 0, 4, 4}, 8, 52, 32, 32}},
        {Header(4, 4, 8, CompressionRle8, 10), BitmapFacts{8, 256, {0, 0, 4, 4}, 4, 1064, 10, 16}},
        {Header(4, 4, 4, CompressionRle4, 7), BitmapFacts{4, 16, {0, 0, 4, 4}, 4, 104, 7, 16}},
        {Header(3, -2, 32), BitmapFacts{32, 0, {0, 0, 3, -2}, 12, 40, 24, 24}},
        {Header(0, 2, 24), BitmapFacts{24, 0, {0, 0, 0, 2}, 0, 40, 0, 0}},
        {Header(0x18000, 2, 32),
         BitmapFacts{32, 0, {0, 0, -32768, 2}, 0x18000 * 4, 40, 0x18000 * 8, 0x18000 * 8}},
        {Header(0x7FFFFFFF, 0x7FFFFFFF, 0xFFFF, CompressionRgb, 0, 0xFFFFFFFF),
         BitmapFacts{0xFFFF, 0xFFFFFFFF, {0, 0, -1, -1}, 17591917600772, 40 + 4 * 0xFFFFFFFFull, most, most}},
        // Other plane counts: 0 would make any size fit in no bytes at all.
        {Header(0x7FFFFFFF, 0x7FFFFFFF, 32, CompressionRgb, 0, 0, 0), std::nullopt},
        {Header(4, 4, 16, CompressionRgb, 0, 0, 2), std::nullopt},
        {Header(4, 4, 24, CompressionRgb, 0, 0, 1, 12), std::nullopt},
        {Header(4, 4, 24, 4), std::nullopt},
        {Header(4, 4, 8, CompressionRle8), std::nullopt},
        {Header(4, 4, 4, CompressionRle4), std::nullopt},
        {Header(-4, 4, 24), std::nullopt},
    };
    for (const auto& [header, expected] : cases) {
        BitmapFacts facts{};
        SCOPED_TRACE(testing::Message() << header.biWidth << " x " << header.biHeight << " x "
                                        << header.biBitCount);
        ASSERT_EQ(GetBitmapInfo(&header, facts), expected.has_value());
        if (expected) {
            EXPECT_EQ(Tie(facts), Tie(*expected));
        }
    }
    BitmapFacts facts;
    EXPECT_FALSE(GetBitmapInfo(nullptr, facts));
}

}  // namespace
}  // namespace orv
