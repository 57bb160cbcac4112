#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "preview/BitmapInfo.h"
#include "preview/PreviewGeometry.h"

namespace orv {
namespace {

TEST(FitToRect, CentresSmallerPicturesAndScalesTheOthersWithTheirProportions)
{
    const struct {
        Rect rect;
        int32_t width;
        int32_t height;
        Rect expected;
    } cases[] = {
        {{0, 0, 200, 100}, 50, 30, {75, 35, 125, 65}},
        {{0, 0, 201, 101}, 100, 50, {50, 25, 150, 75}},
        {{0, 0, 100, 100}, 3, 7, {48, 46, 51, 53}},
        {{0, 0, 200, 200}, 400, 200, {0, 50, 200, 150}},
        {{0, 0, 200, 200}, 100, 400, {75, 0, 125, 200}},
        {{10, 20, 110, 70}, 300, 100, {10, 28, 110, 61}},
        {{0, 0, 200, 100}, 200, 100, {0, 0, 200, 100}},
        {{0, 0, 200, 100}, 199, 100, {0, 0, 199, 100}},
        {{0, 0, 120, 90}, 160, 120, {0, 0, 120, 90}},
        // Proportions compared as fractions, not as whole quotients.
        {{0, 0, 150, 100}, 140, 100, {5, 0, 145, 100}},
        // Pictures without area give empty rectangles in the middle.
        {{0, 0, 200, 100}, 300, 0, {0, 50, 200, 50}},
        {{0, 0, 200, 100}, 0, 100, {100, 0, 100, 100}},
    };
    for (const auto& c : cases) {
        Rect rect = c.rect;
        FitToRect(rect, c.width, c.height);
        EXPECT_EQ(rect, c.expected) << c.width << " x " << c.height << " into " << c.rect.right
                                    << " x " << c.rect.bottom;
    }
    Rect nothing{0, 0, 0, 0};
    FitToRect(nothing, 0, 0);
    EXPECT_TRUE(IsRectEmpty(nothing));
}

// Picture sizes come from documents; the undefined-behaviour sanitizer watches the
// arithmetic of the first two.
TEST(FitToRect, ExtremeSizesStayWithinTheirIntegers)
{
    Rect rect{0, 0, 200, 100};
    FitToRect(rect, INT32_MIN, 1);
    rect = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    FitToRect(rect, INT32_MAX, INT32_MAX);
    EXPECT_EQ(rect.left, INT32_MIN);
    rect = {0, 0, 65536, 100};
    FitToRect(rect, 300, 200);
    EXPECT_EQ(rect.top, 50);
}

// When nothing is visible both rectangles stay as they were.
TEST(ClipToVisible, CutsTheSourceInProportionToTheVisibleDestination)
{
    const Rect src{0, 0, 100, 50}, dst{0, 0, 200, 100};
    const struct {
        const char* name;
        Rect visible;
        Rect src;
        Rect dst;
        bool shown;
        Rect clippedSrc;
        Rect clippedDst;
    } cases[] = {
        {"all visible", {-10, -10, 500, 500}, src, dst, true, src, dst},
        {"left quarter hidden", {50, 0, 200, 100}, src, dst, true, {25, 0, 100, 50}, {50, 0, 200, 100}},
        {"a band visible", {0, 150, 1000, 175}, {10, 20, 110, 70}, {100, 100, 300, 200}, true, {10, 45, 110, 58},
         {100, 150, 300, 175}},
        {"beside the visible area", {300, 0, 400, 100}, src, dst, false, src, dst},
        {"nothing visible", {}, src, dst, false, src, dst},
    };
    for (const auto& c : cases) {
        Rect clippedSrc = c.src, clippedDst = c.dst;
        EXPECT_EQ(ClipToVisible(c.visible, clippedSrc, clippedDst), c.shown) << c.name;
        EXPECT_EQ(clippedSrc, c.clippedSrc) << c.name;
        EXPECT_EQ(clippedDst, c.clippedDst) << c.name;
    }
}

TEST(ClipToVisible, DestinationsWhose16BitWidthIsZeroDoNotDivideByZero)
{
    Rect src{0, 0, 100, 50};
    Rect dst{0, 0, 65536, 100};
    ClipToVisible({10, 0, 20, 100}, src, dst);
    EXPECT_EQ(dst, (Rect{10, 0, 20, 100}));
}

TEST(NearestInteger, RoundsHalvesAwayFromZeroAndClampsSymmetrically)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, int32_t> longs[] = {
        {2.5, 3}, {-2.5, -3}, {2.49, 2}, {-0.4, 0}, {3e9, 2147483647}, {-3e9, -2147483647},
        {2147483647.0, 2147483647}, {-2147483648.0, -2147483647}, {nan, 0}, {-infinity, -2147483647}};
    for (auto [x, expected] : longs)
        EXPECT_EQ(NearestLong(x), expected) << x;
    const std::pair<double, int16_t> shorts[] = {
        {0.5, 1}, {-0.5, -1}, {101.6, 102}, {50.8, 51}, {32767.4, 32767}, {32768.0, 32767}, {-32767.4, -32767},
        {-32768.0, -32767}, {1e300, 32767}, {nan, 0}};
    for (auto [x, expected] : shorts)
        EXPECT_EQ(NearestShort(x), expected) << x;
}

BitmapInfoHeader Header(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression = CompressionRgb,
                        uint32_t sizeImage = 0, uint32_t coloursUsed = 0)
{
    BitmapInfoHeader header{};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = compression;
    header.biSizeImage = sizeImage;
    header.biClrUsed = coloursUsed;
    return header;
}

BitmapFacts AcceptedFacts(const BitmapInfoHeader& header)
{
    BitmapFacts facts{};
    EXPECT_TRUE(GetBitmapInfo(&header, facts)) << header.biWidth << " x " << header.biHeight << ", "
                                               << header.biBitCount << " bits";
    return facts;
}

TEST(GetBitmapInfo, DerivesRowsTablesAndSizesFromTheHeader)
{
    BitmapFacts facts = AcceptedFacts(Header(3, 2, 32));
    EXPECT_EQ(facts.bitsPerPixel, 32u);
    EXPECT_EQ(facts.colourCount, 0u);
    EXPECT_EQ(facts.source, (Rect{0, 0, 3, 2}));
    EXPECT_EQ(facts.rowBytes, 12);
    EXPECT_EQ(facts.infoSize, 40u);
    EXPECT_EQ(facts.imageSize, 24u);
    EXPECT_EQ(facts.totalBytes, 24u);

    facts = AcceptedFacts(Header(5, 3, 8));
    EXPECT_EQ(facts.colourCount, 256u);
    EXPECT_EQ(facts.rowBytes, 8);
    EXPECT_EQ(facts.infoSize, 40u + 1024u);
    facts = AcceptedFacts(Header(5, 3, 8, CompressionRgb, 0, 16));
    EXPECT_EQ(facts.colourCount, 16u);
    EXPECT_EQ(facts.infoSize, 40u + 64u);

    facts = AcceptedFacts(Header(17, 1, 1));
    EXPECT_EQ(facts.colourCount, 2u);
    EXPECT_EQ(facts.rowBytes, 4);

    facts = AcceptedFacts(Header(4, 4, 16, CompressionBitFields));
    EXPECT_EQ(facts.infoSize, 52u);
    EXPECT_EQ(facts.imageSize, 32u);

    facts = AcceptedFacts(Header(4, 4, 8, CompressionRle8, 10));
    EXPECT_EQ(facts.imageSize, 10u);
    EXPECT_EQ(facts.totalBytes, 16u);
}

TEST(GetBitmapInfo, RefusesHeadersItCannotDraw)
{
    BitmapFacts facts;
    EXPECT_FALSE(GetBitmapInfo(nullptr, facts));
    BitmapInfoHeader header = Header(4, 4, 24);
    header.biSize = 12;
    EXPECT_FALSE(GetBitmapInfo(&header, facts));
    header = Header(4, 4, 24, 4);
    EXPECT_FALSE(GetBitmapInfo(&header, facts));
    header = Header(4, 4, 8, CompressionRle8);
    EXPECT_FALSE(GetBitmapInfo(&header, facts));
    header = Header(-4, 4, 24);
    EXPECT_FALSE(GetBitmapInfo(&header, facts));
}

// Sizes are what a caller checks a block against; they must count every row and
// never wrap around to something small.
TEST(GetBitmapInfo, SizesCountTopDownRowsAndNeverWrap)
{
    BitmapFacts facts = AcceptedFacts(Header(3, -2, 32));
    EXPECT_EQ(facts.imageSize, 24u);
    EXPECT_EQ(facts.source, (Rect{0, 0, 3, -2}));

    BitmapInfoHeader header = Header(0x7FFFFFFF, 0x7FFFFFFF, 0xFFFF, CompressionRgb, 0, 0xFFFFFFFF);
    header.biPlanes = 0xFFFF;
    facts = AcceptedFacts(header);
    EXPECT_EQ(facts.imageSize, UINT64_MAX);
    EXPECT_EQ(facts.infoSize, 40u + 4u * 0xFFFFFFFFull);
    EXPECT_EQ(facts.source, (Rect{0, 0, -1, -1}));

    facts = AcceptedFacts(Header(0x18000, 2, 32));
    EXPECT_EQ(facts.source.right, -32768);
    EXPECT_EQ(facts.imageSize, 0x18000ull * 4 * 2);
}

}  // namespace
}  // namespace orv
