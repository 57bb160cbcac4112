#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "preview/BitmapInfo.h"
#include "preview/PreviewGeometry.h"

namespace orv {
namespace {

struct FitCase {
    Rect rect;
    int32_t width;
    int32_t height;
    Rect expected;
};

TEST(FitToRect, CentresSmallerPicturesAndScalesTheOthersWithTheirProportions)
{
    const FitCase cases[] = {
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
    };
    for (const FitCase& c : cases) {
        Rect rect = c.rect;
        FitToRect(rect, c.width, c.height);
        EXPECT_EQ(rect, c.expected) << c.width << " x " << c.height << " into " << c.rect.right
                                    << " x " << c.rect.bottom;
    }
}

TEST(FitToRect, PicturesWithoutAreaGiveEmptyRectanglesInTheMiddle)
{
    Rect flat{0, 0, 200, 100};
    FitToRect(flat, 300, 0);
    EXPECT_EQ(flat, (Rect{0, 50, 200, 50}));

    Rect thin{0, 0, 200, 100};
    FitToRect(thin, 0, 100);
    EXPECT_EQ(thin, (Rect{100, 0, 100, 100}));

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

TEST(ClipToVisible, KeepsBothRectanglesWhenAllIsVisible)
{
    Rect src{0, 0, 100, 50};
    Rect dst{0, 0, 200, 100};
    EXPECT_TRUE(ClipToVisible({-10, -10, 500, 500}, src, dst));
    EXPECT_EQ(src, (Rect{0, 0, 100, 50}));
    EXPECT_EQ(dst, (Rect{0, 0, 200, 100}));
}

TEST(ClipToVisible, CutsTheSourceInProportionToTheVisibleDestination)
{
    Rect src{0, 0, 100, 50};
    Rect dst{0, 0, 200, 100};
    EXPECT_TRUE(ClipToVisible({50, 0, 200, 100}, src, dst));
    EXPECT_EQ(dst, (Rect{50, 0, 200, 100}));
    EXPECT_EQ(src, (Rect{25, 0, 100, 50}));

    src = {10, 20, 110, 70};
    dst = {100, 100, 300, 200};
    EXPECT_TRUE(ClipToVisible({0, 150, 1000, 175}, src, dst));
    EXPECT_EQ(dst, (Rect{100, 150, 300, 175}));
    EXPECT_EQ(src, (Rect{10, 45, 110, 58}));
}

TEST(ClipToVisible, FailsWhenNothingIsVisible)
{
    Rect src{0, 0, 100, 50};
    Rect dst{0, 0, 200, 100};
    EXPECT_FALSE(ClipToVisible({300, 0, 400, 100}, src, dst));
    EXPECT_EQ(src, (Rect{0, 0, 100, 50}));
    EXPECT_EQ(dst, (Rect{0, 0, 200, 100}));
    EXPECT_FALSE(ClipToVisible({}, src, dst));
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
    EXPECT_EQ(NearestLong(2.5), 3);
    EXPECT_EQ(NearestLong(-2.5), -3);
    EXPECT_EQ(NearestLong(2.49), 2);
    EXPECT_EQ(NearestLong(-0.4), 0);
    EXPECT_EQ(NearestLong(3e9), 2147483647);
    EXPECT_EQ(NearestLong(-3e9), -2147483647);
    EXPECT_EQ(NearestLong(2147483647.0), 2147483647);
    EXPECT_EQ(NearestLong(-2147483648.0), -2147483647);
    EXPECT_EQ(NearestLong(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(NearestLong(-std::numeric_limits<double>::infinity()), -2147483647);

    EXPECT_EQ(NearestShort(0.5), 1);
    EXPECT_EQ(NearestShort(-0.5), -1);
    EXPECT_EQ(NearestShort(101.6), 102);
    EXPECT_EQ(NearestShort(50.8), 51);
    EXPECT_EQ(NearestShort(32767.4), 32767);
    EXPECT_EQ(NearestShort(32768.0), 32767);
    EXPECT_EQ(NearestShort(-32767.4), -32767);
    EXPECT_EQ(NearestShort(-32768.0), -32767);
    EXPECT_EQ(NearestShort(1e300), 32767);
    EXPECT_EQ(NearestShort(std::numeric_limits<double>::quiet_NaN()), 0);
}

BitmapInfoHeader Header(int32_t width, int32_t height, uint16_t bitCount,
                        uint32_t compression = CompressionRgb)
{
    BitmapInfoHeader header{};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = compression;
    return header;
}

TEST(GetBitmapInfo, DerivesRowsTablesAndSizesFromTheHeader)
{
    BitmapFacts facts;
    BitmapInfoHeader header = Header(3, 2, 32);
    ASSERT_TRUE(GetBitmapInfo(&header, facts));
    EXPECT_EQ(facts.bitsPerPixel, 32u);
    EXPECT_EQ(facts.colourCount, 0u);
    EXPECT_EQ(facts.source, (Rect{0, 0, 3, 2}));
    EXPECT_EQ(facts.rowBytes, 12);
    EXPECT_EQ(facts.infoSize, 40u);
    EXPECT_EQ(facts.imageSize, 24u);
    EXPECT_EQ(facts.totalBytes, 24u);

    header = Header(5, 3, 8);
    ASSERT_TRUE(GetBitmapInfo(&header, facts));
    EXPECT_EQ(facts.colourCount, 256u);
    EXPECT_EQ(facts.rowBytes, 8);
    EXPECT_EQ(facts.infoSize, 40u + 1024u);
    header.biClrUsed = 16;
    ASSERT_TRUE(GetBitmapInfo(&header, facts));
    EXPECT_EQ(facts.colourCount, 16u);
    EXPECT_EQ(facts.infoSize, 40u + 64u);

    header = Header(17, 1, 1);
    ASSERT_TRUE(GetBitmapInfo(&header, facts));
    EXPECT_EQ(facts.colourCount, 2u);
    EXPECT_EQ(facts.rowBytes, 4);

    header = Header(4, 4, 16, CompressionBitFields);
    ASSERT_TRUE(GetBitmapInfo(&header, facts));
    EXPECT_EQ(facts.infoSize, 52u);
    EXPECT_EQ(facts.imageSize, 32u);

    header = Header(4, 4, 8, CompressionRle8);
    header.biSizeImage = 10;
    ASSERT_TRUE(GetBitmapInfo(&header, facts));
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
    BitmapFacts facts;
    BitmapInfoHeader header = Header(3, -2, 32);
    ASSERT_TRUE(GetBitmapInfo(&header, facts));
    EXPECT_EQ(facts.imageSize, 24u);
    EXPECT_EQ(facts.source, (Rect{0, 0, 3, -2}));

    header = Header(0x7FFFFFFF, 0x7FFFFFFF, 0xFFFF);
    header.biPlanes = 0xFFFF;
    header.biClrUsed = 0xFFFFFFFF;
    ASSERT_TRUE(GetBitmapInfo(&header, facts));
    EXPECT_EQ(facts.imageSize, UINT64_MAX);
    EXPECT_EQ(facts.infoSize, 40u + 4u * 0xFFFFFFFFull);
    EXPECT_EQ(facts.source, (Rect{0, 0, -1, -1}));

    header = Header(0x18000, 2, 32);
    ASSERT_TRUE(GetBitmapInfo(&header, facts));
    EXPECT_EQ(facts.source.right, -32768);
    EXPECT_EQ(facts.imageSize, 0x18000ull * 4 * 2);
}

}  // namespace
}  // namespace orv
