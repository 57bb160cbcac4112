#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Canvas.h"
#include "PreviewBlockBuilder.h"
#include "preview/PreviewPicture.h"
#include "preview/win32/PreviewDrawing.h"
#include "preview/win32/PreviewIcon.h"
#include "util/MemoryFile.h"
#include "util/win32/UniqueHandle.h"

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

PreviewBlockBuilder Solid(int width, int height, uint32_t rgb)
{
    return PreviewBlockBuilder::Bitmap32(width, height, [rgb](int, int) { return rgb; });
}

// An enhanced metafile of a width x height frame whose left half is filled blue.
std::vector<uint8_t> HalfBlueMetafile(int width, int height)
{
    unique_screen_dc reference(GetDC(nullptr));
    int hundredthsX = GetDeviceCaps(reference.get(), HORZSIZE) * 100 / GetDeviceCaps(reference.get(), HORZRES);
    int hundredthsY = GetDeviceCaps(reference.get(), VERTSIZE) * 100 / GetDeviceCaps(reference.get(), VERTRES);
    RECT frame = {0, 0, width * hundredthsX, height * hundredthsY};
    HDC recorder = CreateEnhMetaFileA(reference.get(), nullptr, &frame, nullptr);
    HBRUSH brush = CreateSolidBrush(blue);
    RECT left = {0, 0, width / 2, height};
    FillRect(recorder, &left, brush);
    DeleteObject(brush);
    unique_henhmetafile metafile(CloseEnhMetaFile(recorder));
    std::vector<uint8_t> bits(GetEnhMetaFileBits(metafile.get(), 0, nullptr));
    GetEnhMetaFileBits(metafile.get(), static_cast<UINT>(bits.size()), bits.data());
    return bits;
}

TEST(DrawPreview, PicturesAreFittedIntoTheirFrame)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    struct Probe {
        int x;
        int y;
        COLORREF colour;
    };
    auto metafileBits = HalfBlueMetafile(100, 50);
    auto shortBitmap = Solid(50, 30, 0xFF0000).Build();
    shortBitmap.pop_back();
    const struct {
        const char* name;
        std::vector<uint8_t> block;  // none: an empty picture
        RECT frame;
        std::vector<Probe> probes;
    } cases[] = {
        {"empty: a framed button face", {}, {10, 10, 110, 70},
         {{60, 40, face}, {12, 12, face}, {10, 10, shadow}, {109, 69, highlight}, {9, 9, untouched},
          {110, 70, untouched}}},
        // Fitted to (75, 35, 125, 65); the edge takes two pixels on every side.
        {"small: centred in an edge of its own size", Solid(50, 30, 0xFF0000).Build(), {0, 0, 200, 100},
         {{75, 35, shadow}, {77, 37, red}, {122, 62, red}, {124, 64, highlight}, {74, 50, untouched},
          {100, 34, untouched}, {100, 65, untouched}}},
        // Fitted to (0, 50, 200, 150).
        {"large: scaled with its proportions", Solid(400, 200, 0x0000FF).Build(), {0, 0, 200, 200},
         {{100, 49, untouched}, {100, 52, blue}, {100, 147, blue}, {100, 150, untouched}}},
        {"bitmap cut short: only the edge", shortBitmap, {0, 0, 200, 100}, {{75, 35, shadow}, {100, 50, untouched}}},
        {"old bitmap header: only the edge", Solid(50, 30, 0xFF0000).HeaderSize(12).Build(), {0, 0, 200, 100},
         {{75, 35, shadow}, {100, 50, untouched}}},
        // Fitted to (50, 25, 150, 75): the left half played blue, the rest window colour.
        {"metafile: played over the window colour", PreviewBlockBuilder::Metafile(metafileBits, 100, 50).Build(),
         {0, 0, 200, 100}, {{49, 50, untouched}, {60, 50, blue}, {140, 50, window}, {100, 24, untouched}}},
        {"metafile without bits after its offset: nothing played",
         PreviewBlockBuilder::Metafile(metafileBits, 100, 50).DataOffset(24 + static_cast<uint32_t>(metafileBits.size())).Build(),
         {0, 0, 200, 100}, {{60, 50, window}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(200, 200, untouched);
        PreviewPicture picture;
        if (!c.block.empty())
            Hold(picture, c.block);
        DrawPreview(picture, canvas.Dc(), c.frame);
        for (const Probe& probe : c.probes)
            EXPECT_EQ(canvas.At(probe.x, probe.y), probe.colour) << probe.x << ", " << probe.y;
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
        auto block = Solid(4, 4, 0xFFFF00).Flags(c.flags).Build();
        DrawBitmap(canvas.Dc(), {0, 0, 20, 20}, block.data(), static_cast<uint32_t>(block.size()));
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

// An icon drawn at its own size over two backgrounds: where it is opaque both show
// its colour; where it is transparent both backgrounds show through, which also
// needs its colour image to be black there. Takes the icon.
class DrawnIcon {
public:
    static constexpr COLORREF clear = 0x01000000;
    static constexpr COLORREF smudged = 0x02000000;

    explicit DrawnIcon(HICON handle)
    {
        unique_hicon icon(handle);
        for (Canvas* canvas : {&overMagenta, &overGreen})
            DrawIconEx(canvas->Dc(), 0, 0, icon.get(), 0, 0, 0, nullptr, DI_NORMAL);
    }
    // The icon's colour there, or clear or smudged.
    COLORREF At(int x, int y) const
    {
        COLORREF magenta = overMagenta.At(x, y), green = overGreen.At(x, y);
        if (magenta == green)
            return magenta;
        return magenta == untouched && green == RGB(0, 255, 0) ? clear : smudged;
    }
    // Pixels of the square of this size that are not opaque, and of the row and
    // column beyond it that are not clear.
    int NotASquareOf(int size) const
    {
        int wrong = 0;
        for (int y = 0; y <= size; ++y)
            for (int x = 0; x <= size; ++x)
                wrong += x < size && y < size ? At(x, y) >= clear : At(x, y) != clear;
        return wrong;
    }

private:
    Canvas overMagenta{64, 64, untouched};
    Canvas overGreen{64, 64, RGB(0, 255, 0)};
};

TEST(MakeIcon, TheWholePictureIsStretchedOntoTheSquareAndOpaque)
{
    PreviewPicture bitmap;
    Hold(bitmap, PreviewBlockBuilder::Bitmap32(200, 100, [](int x, int) { return x < 100 ? 0xFF0000u : 0x0000FFu; }).Build());
    // A metafile has the window colour behind it.
    PreviewPicture metafile;
    Hold(metafile, PreviewBlockBuilder::Metafile(HalfBlueMetafile(64, 64), 64, 64).Build());
    const struct {
        const char* name;
        const PreviewPicture& picture;
        COLORREF left;
        COLORREF right;
    } cases[] = {{"bitmap", bitmap, red, blue}, {"metafile", metafile, blue, GetSysColor(COLOR_WINDOW)}};
    for (const auto& c : cases)
        for (int size : {32, 16, 48}) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(size));
            DrawnIcon icon(MakeIcon(c.picture, size));
            EXPECT_EQ(icon.NotASquareOf(size), 0);
            for (int y = 0; y < size; ++y) {
                EXPECT_EQ(icon.At(1, y), c.left) << y;
                EXPECT_EQ(icon.At(size - 2, y), c.right) << y;
            }
        }
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
    unique_hbitmap bitmap(CreateCompatibleBitmap(unique_screen_dc(GetDC(nullptr)).get(), 8, 8));
    {
        unique_hdc dc(CreateCompatibleDC(nullptr));
        unique_select_object selected(dc.get(), bitmap.get());
        RECT all = {0, 0, 8, 8}, left = {0, 0, 4, 8};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetDCBrushColor(dc.get(), red);
        FillRect(dc.get(), &left, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    DrawnIcon keyed(BitmapToIcon(bitmap.get(), RGB(255, 255, 255)));
    EXPECT_EQ(keyed.At(2, 0), red);
    EXPECT_EQ(keyed.At(6, 0), DrawnIcon::clear);
    EXPECT_EQ(keyed.At(8, 0), DrawnIcon::clear);
    EXPECT_EQ(DrawnIcon(BitmapToIcon(bitmap.get(), CLR_INVALID)).NotASquareOf(8), 0);
}

}  // namespace
}  // namespace orv
