#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <utility>
#include <vector>

#include "PreviewBlockBuilder.h"
#include "preview/ColorReduction.h"
#include "preview/PreviewPicture.h"
#include "preview/win32/DrawReduced.h"
#include "preview/win32/PreviewDrawing.h"
#include "preview/win32/PreviewIcon.h"
#include "util/MemoryFile.h"
#include "util/win32/UniqueHandle.h"

namespace orv {
namespace {

using test::PreviewBlockBuilder;

// A bitmap of the screen's own depth, as pages and icons draw into.
class ScreenBitmap {
public:
    ScreenBitmap(int width, int height)
        : width(width), height(height),
          bitmap(CreateCompatibleBitmap(unique_screen_dc(GetDC(nullptr)).get(), width, height)),
          previous(SelectObject(dc.get(), bitmap.get()))
    {
        PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
    }
    ~ScreenBitmap() { SelectObject(dc.get(), previous); }
    HDC Dc() const { return dc.get(); }

    // Every pixel as the bitmap shows it, 0x00RRGGBB, top row first.
    std::vector<uint32_t> Pixels() const
    {
        SelectObject(dc.get(), previous);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        GetDIBits(dc.get(), bitmap.get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
        SelectObject(dc.get(), bitmap.get());
        for (uint32_t& pixel : pixels)
            pixel &= 0xFFFFFF;
        return pixels;
    }

private:
    int width;
    int height;
    unique_hdc dc{CreateCompatibleDC(nullptr)};
    unique_hbitmap bitmap;
    HGDIOBJ previous;
};

std::vector<uint8_t> Uniform(int width, int height, uint32_t rgb)
{
    return PreviewBlockBuilder::Bitmap32(width, height, [rgb](int, int) { return rgb; }).Build();
}

// A colour that the standard palettes do not hold.
constexpr uint32_t slate = 0x646E83;

TEST(PaletteDisplay, XvfbAtEightBitsIsAPaletteDevice)
{
    ScreenDepth depth;
    ASSERT_TRUE(GetScreenDepth(nullptr, depth));
    EXPECT_EQ(depth.bitsPerPixel, 8);
    EXPECT_TRUE(depth.paletteDevice);
    EXPECT_EQ(depth.paletteSize, 256);
}

TEST(PaletteDisplay, ScreenPalettesAreTheSystemPaletteOrBlackAndWhite)
{
    unique_screen_dc screen(GetDC(nullptr));
    auto system = BuildScreenPalette(screen.get(), 256);
    auto mono = BuildScreenPalette(screen.get(), 2);
    ASSERT_TRUE(system && mono);
    std::vector<PALETTEENTRY> expected(256);
    expected.resize(GetSystemPaletteEntries(screen.get(), 0, 256, expected.data()));
    ASSERT_EQ(system->colours.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(system->colours[i].rgbRed, expected[i].peRed);
        EXPECT_EQ(system->colours[i].rgbGreen, expected[i].peGreen);
        EXPECT_EQ(system->colours[i].rgbBlue, expected[i].peBlue);
    }
    ASSERT_EQ(mono->colours.size(), 2u);
    EXPECT_EQ(mono->colours[0].rgbRed + mono->colours[0].rgbGreen + mono->colours[0].rgbBlue, 0);
    EXPECT_EQ(mono->colours[1].rgbRed + mono->colours[1].rgbGreen + mono->colours[1].rgbBlue, 3 * 255);
}

// Wine keeps an 8-bit bitmap's pixels against a colour table of its own that is close
// to, but not the same as, the system palette (up to a dozen steps a channel), so the
// average is compared loosely.
TEST(PaletteDisplay, PreviewsAreDitheredToTheColoursTheScreenShowsAndTheDcIsGivenBack)
{
    for (auto [width, height] : {std::pair{64, 48}, std::pair{100, 75}, std::pair{40, 30}}) {
        ScreenBitmap target(width, height);
        SetStretchBltMode(target.Dc(), HALFTONE);
        HGDIOBJ palette = GetCurrentObject(target.Dc(), OBJ_PAL);
        auto block = Uniform(64, 48, slate);
        DrawBitmap(target.Dc(), {0, 0, width, height}, block.data(), static_cast<uint32_t>(block.size()));
        EXPECT_NE(LastScanDirection(), 0) << "the reduction converted no row";
        EXPECT_EQ(GetStretchBltMode(target.Dc()), HALFTONE) << width;
        EXPECT_EQ(GetCurrentObject(target.Dc(), OBJ_PAL), palette) << width;
        std::vector<uint32_t> pixels = target.Pixels();
        // One colour the palette lacks comes out as a mix of palette colours whose
        // average is near it; drawn directly it would be one colour.
        EXPECT_GE(std::set<uint32_t>(pixels.begin(), pixels.end()).size(), 2u) << width;
        ScreenBitmap direct(width, height);
        StretchDIBits(direct.Dc(), 0, 0, width, height, 0, 0, 64, 48, block.data() + 64,
                      reinterpret_cast<const BITMAPINFO*>(block.data() + 24), DIB_RGB_COLORS, SRCCOPY);
        std::vector<uint32_t> directPixels = direct.Pixels();
        EXPECT_EQ(std::set<uint32_t>(directPixels.begin(), directPixels.end()).size(), 1u) << width;
        double sum[3] = {};
        for (uint32_t pixel : pixels)
            for (int channel = 0; channel < 3; ++channel)
                sum[channel] += (pixel >> (16 - 8 * channel)) & 0xFF;
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(sum[channel] / pixels.size(), (slate >> (16 - 8 * channel)) & 0xFF, 8.0)
                << width << " channel " << channel;
    }
}

TEST(PaletteDisplay, IconsAreMadeThroughTheReduction)
{
    PreviewPicture picture;
    auto block = Uniform(64, 64, slate);
    MemoryFile file(block);
    ASSERT_TRUE(picture.ReadBlock(file, static_cast<uint32_t>(block.size()), PreviewKindBlock, nullptr, 0));
    unique_hicon icon(MakeIcon(picture, 32));
    ICONINFO info = {};
    ASSERT_TRUE(icon && GetIconInfo(icon.get(), &info));
    unique_hbitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP facts = {};
    GetObjectA(colour.get(), sizeof facts, &facts);
    std::vector<uint8_t> bits(static_cast<size_t>(facts.bmWidthBytes) * facts.bmHeight);
    GetBitmapBits(colour.get(), static_cast<LONG>(bits.size()), bits.data());
    EXPECT_EQ(facts.bmBitsPixel, 8);
    EXPECT_GE(std::set<uint8_t>(bits.begin(), bits.end()).size(), 2u);
}

}  // namespace
}  // namespace orv
