#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "Canvas.h"
#include "PreviewBlockBuilder.h"
#include "preview/PreviewPicture.h"
#include "preview/win32/PreviewDrawing.h"
#include "preview/win32/PreviewIcon.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using test::Canvas;
using test::PreviewBlockBuilder;

constexpr COLORREF untouched = RGB(255, 0, 255);
constexpr COLORREF red = RGB(255, 0, 0);
constexpr COLORREF blue = RGB(0, 0, 255);

void Hold(PreviewPicture& picture, const std::vector<uint8_t>& stored)
{
    MemoryFile file(stored);
    ASSERT_TRUE(picture.ReadBlock(file, static_cast<uint32_t>(stored.size()), PreviewKindBlock, nullptr, 0));
}

void HoldSolid(PreviewPicture& picture, int width, int height, uint32_t rgb)
{
    Hold(picture, PreviewBlockBuilder::Bitmap32(width, height, [rgb](int, int) { return rgb; }).Build());
}

// An enhanced metafile of a width x height frame whose left half is filled blue.
std::vector<uint8_t> HalfBlueMetafile(int width, int height)
{
    HDC reference = GetDC(nullptr);
    int hundredthsX = GetDeviceCaps(reference, HORZSIZE) * 100 / GetDeviceCaps(reference, HORZRES);
    int hundredthsY = GetDeviceCaps(reference, VERTSIZE) * 100 / GetDeviceCaps(reference, VERTRES);
    RECT frame = {0, 0, width * hundredthsX, height * hundredthsY};
    HDC recorder = CreateEnhMetaFileA(reference, nullptr, &frame, nullptr);
    ReleaseDC(nullptr, reference);
    HBRUSH brush = CreateSolidBrush(blue);
    RECT left = {0, 0, width / 2, height};
    FillRect(recorder, &left, brush);
    DeleteObject(brush);
    HENHMETAFILE metafile = CloseEnhMetaFile(recorder);
    std::vector<uint8_t> bits(GetEnhMetaFileBits(metafile, 0, nullptr));
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bits.size()), bits.data());
    DeleteEnhMetaFile(metafile);
    return bits;
}

TEST(DrawPreview, AnEmptyPictureIsAFramedButtonFace)
{
    Canvas canvas(120, 80, untouched);
    PreviewPicture empty;
    DrawPreview(empty, canvas.Dc(), {10, 10, 110, 70});
    EXPECT_EQ(canvas.At(60, 40), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(canvas.At(12, 12), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(canvas.At(10, 10), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(109, 69), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(9, 9), untouched);
    EXPECT_EQ(canvas.At(110, 70), untouched);
}

TEST(DrawPreview, ASmallBitmapSitsCentredInAnEdgeOfItsOwnSize)
{
    Canvas canvas(200, 100, untouched);
    PreviewPicture picture;
    HoldSolid(picture, 50, 30, 0xFF0000);
    DrawPreview(picture, canvas.Dc(), {0, 0, 200, 100});
    // Fitted to (75, 35, 125, 65); the edge takes two pixels on every side.
    EXPECT_EQ(canvas.At(75, 35), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(77, 37), red);
    EXPECT_EQ(canvas.At(122, 62), red);
    EXPECT_EQ(canvas.At(124, 64), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(74, 50), untouched);
    EXPECT_EQ(canvas.At(100, 34), untouched);
    EXPECT_EQ(canvas.At(100, 65), untouched);
}

TEST(DrawPreview, ALargeBitmapIsScaledWithItsProportions)
{
    Canvas canvas(200, 200, untouched);
    PreviewPicture picture;
    HoldSolid(picture, 400, 200, 0x0000FF);
    DrawPreview(picture, canvas.Dc(), {0, 0, 200, 200});
    // Fitted to (0, 50, 200, 150).
    EXPECT_EQ(canvas.At(100, 49), untouched);
    EXPECT_EQ(canvas.At(100, 52), blue);
    EXPECT_EQ(canvas.At(100, 147), blue);
    EXPECT_EQ(canvas.At(100, 150), untouched);
}

TEST(DrawPreview, BlocksThatDoNotHoldTheirBitmapDrawOnlyTheEdge)
{
    auto stored = PreviewBlockBuilder::Bitmap32(50, 30, [](int, int) { return 0xFF0000u; }).Build();
    std::vector<uint8_t> shortBlock(stored.begin(), stored.end() - 1);
    std::vector<uint8_t> oldHeader = PreviewBlockBuilder::Bitmap32(50, 30, [](int, int) { return 0xFF0000u; }).HeaderSize(12).Build();
    for (const auto& block : {shortBlock, oldHeader}) {
        Canvas canvas(200, 100, untouched);
        PreviewPicture picture;
        Hold(picture, block);
        DrawPreview(picture, canvas.Dc(), {0, 0, 200, 100});
        EXPECT_EQ(canvas.At(75, 35), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(canvas.At(100, 50), untouched);
    }
}

TEST(DrawBitmap, BothFlagBitsCombineWithTheBackgroundByAnd)
{
    struct Case {
        uint16_t flags;
        COLORREF expected;
    };
    // Yellow drawn over magenta: AND leaves red, a copy leaves yellow.
    for (Case c : {Case{0x24, red}, Case{0x64, red}, Case{0x04, RGB(255, 255, 0)}, Case{0x20, RGB(255, 255, 0)},
                   Case{0x40, RGB(255, 255, 0)}}) {
        Canvas canvas(20, 20, untouched);
        auto block = PreviewBlockBuilder::Bitmap32(4, 4, [](int, int) { return 0xFFFF00u; }).Flags(c.flags).Build();
        DrawBitmap(canvas.Dc(), {0, 0, 20, 20}, block.data() , static_cast<uint32_t>(block.size()));
        EXPECT_EQ(canvas.At(10, 10), c.expected) << "flags " << c.flags;
    }
}

TEST(DrawBitmap, TwoColourBitmapsShrinkBlackOnWhiteAndTheModeComesBack)
{
    // Column pairs alternate black-white and white-black: halving the width gives all
    // black when the dropped columns are ANDed in, and a mix when one is kept.
    auto stripes = [](int x, int) -> uint8_t { return (x / 2) % 2 == x % 2 ? 1 : 0; };
    auto twoColours = PreviewBlockBuilder::Indexed(8, 2, 1, {0xFFFFFF, 0x000000}, stripes).Build();
    auto fourColours = PreviewBlockBuilder::Indexed(8, 2, 8, {0xFFFFFF, 0x000000, 0x00FF00, 0x0000FF}, stripes).Build();

    Canvas canvas(8, 2, untouched);
    SetStretchBltMode(canvas.Dc(), HALFTONE);
    DrawBitmap(canvas.Dc(), {0, 0, 4, 1}, twoColours.data(), static_cast<uint32_t>(twoColours.size()));
    DrawBitmap(canvas.Dc(), {4, 0, 8, 1}, fourColours.data(), static_cast<uint32_t>(fourColours.size()));
    EXPECT_EQ(GetStretchBltMode(canvas.Dc()), HALFTONE);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(canvas.At(x, 0), RGB(0, 0, 0)) << x;
    int whites = 0;
    for (int x = 4; x < 8; ++x)
        whites += canvas.At(x, 0) == RGB(255, 255, 255);
    EXPECT_EQ(whites, 2) << "colour-on-colour keeps one column of each pair";
}

TEST(DrawPreview, MetafilesArePlayedOverTheWindowColour)
{
    Canvas canvas(200, 100, untouched);
    PreviewPicture picture;
    Hold(picture, PreviewBlockBuilder::Metafile(HalfBlueMetafile(100, 50), 100, 50).Build());
    DrawPreview(picture, canvas.Dc(), {0, 0, 200, 100});
    // Fitted to (50, 25, 150, 75): the left half played blue, the rest window colour.
    EXPECT_EQ(canvas.At(49, 50), untouched);
    EXPECT_EQ(canvas.At(60, 50), blue);
    EXPECT_EQ(canvas.At(140, 50), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(canvas.At(100, 24), untouched);
}

TEST(DrawPreview, MetafileBlocksWithoutBitsAfterTheirOffsetPlayNothing)
{
    Canvas canvas(200, 100, untouched);
    PreviewPicture picture;
    auto bits = HalfBlueMetafile(100, 50);
    Hold(picture, PreviewBlockBuilder::Metafile(bits, 100, 50).DataOffset(static_cast<uint32_t>(24 + bits.size())).Build());
    DrawPreview(picture, canvas.Dc(), {0, 0, 200, 100});
    EXPECT_EQ(canvas.At(60, 50), GetSysColor(COLOR_WINDOW));
}

struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> colour;
    std::vector<bool> transparent;
};

IconPixels Read(HICON icon)
{
    IconPixels result;
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return result;
    BITMAP facts = {};
    GetObjectA(info.hbmColor, sizeof facts, &facts);
    result.width = facts.bmWidth;
    result.height = facts.bmHeight;
    Canvas colour(result.width, result.height, untouched);
    Canvas mask(result.width, result.height, untouched);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, info.hbmColor);
    BitBlt(colour.Dc(), 0, 0, result.width, result.height, source, 0, 0, SRCCOPY);
    SelectObject(source, info.hbmMask);
    BitBlt(mask.Dc(), 0, 0, result.width, result.height, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    for (int y = 0; y < result.height; ++y)
        for (int x = 0; x < result.width; ++x) {
            result.colour.push_back(colour.At(x, y));
            result.transparent.push_back(mask.At(x, y) == RGB(255, 255, 255));
        }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return result;
}

TEST(MakeIcon, TheWholePictureIsStretchedOntoTheSquareAndOpaque)
{
    PreviewPicture picture;
    Hold(picture, PreviewBlockBuilder::Bitmap32(200, 100, [](int x, int) { return x < 100 ? 0xFF0000u : 0x0000FFu; }).Build());
    for (int size : {32, 16, 48}) {
        HICON icon = MakeIcon(picture, size);
        ASSERT_NE(icon, nullptr);
        IconPixels pixels = Read(icon);
        DestroyIcon(icon);
        ASSERT_EQ(pixels.width, size);
        ASSERT_EQ(pixels.height, size);
        for (int y = 0; y < size; ++y) {
            EXPECT_EQ(pixels.colour[y * size + 1], red);
            EXPECT_EQ(pixels.colour[y * size + size - 2], blue);
        }
        for (bool transparent : pixels.transparent)
            EXPECT_FALSE(transparent);
    }
}

TEST(MakeIcon, MetafileIconsHaveTheWindowColourBehindThePicture)
{
    PreviewPicture picture;
    Hold(picture, PreviewBlockBuilder::Metafile(HalfBlueMetafile(64, 64), 64, 64).Build());
    HICON icon = MakeIcon(picture, 32);
    ASSERT_NE(icon, nullptr);
    IconPixels pixels = Read(icon);
    DestroyIcon(icon);
    EXPECT_EQ(pixels.colour[16 * 32 + 4], blue);
    EXPECT_EQ(pixels.colour[16 * 32 + 28], GetSysColor(COLOR_WINDOW));
}

TEST(MakeIcon, PicturesThatCannotGiveAnIconGiveNone)
{
    PreviewPicture empty;
    EXPECT_EQ(MakeIcon(empty, 32), nullptr);
    PreviewPicture cutMetafile;
    Hold(cutMetafile, PreviewBlockBuilder::Metafile({1, 2, 3, 4}, 10, 10).DataOffset(29).Build());
    EXPECT_EQ(MakeIcon(cutMetafile, 32), nullptr);
}

TEST(BitmapToIcon, KeyColouredPixelsBecomeTransparentAndBlack)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, 8, 8}, left = {0, 0, 4, 8};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HBRUSH brush = CreateSolidBrush(red);
        FillRect(dc, &left, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    HICON icon = BitmapToIcon(bitmap, RGB(255, 255, 255));
    ASSERT_NE(icon, nullptr);
    IconPixels pixels = Read(icon);
    DestroyIcon(icon);
    EXPECT_FALSE(pixels.transparent[2]);
    EXPECT_EQ(pixels.colour[2], red);
    EXPECT_TRUE(pixels.transparent[6]);
    EXPECT_EQ(pixels.colour[6], RGB(0, 0, 0));

    HICON opaque = BitmapToIcon(bitmap, CLR_INVALID);
    ASSERT_NE(opaque, nullptr);
    pixels = Read(opaque);
    DestroyIcon(opaque);
    for (bool transparent : pixels.transparent)
        EXPECT_FALSE(transparent);
    DeleteObject(bitmap);
}

}  // namespace
}  // namespace orv
