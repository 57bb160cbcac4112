#include <gtest/gtest.h>
#include <windows.h>

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
constexpr COLORREF yellow = RGB(255, 255, 0);

PreviewBlockBuilder Solid(int width, int height, uint32_t rgb)
{
    return PreviewBlockBuilder::Bitmap32(width, height, [rgb](int, int) { return rgb; });
}

// An enhanced metafile of a width x height pixel frame whose left half is filled blue.
std::vector<uint8_t> HalfBlueMetafile(int width, int height)
{
    unique_screen_dc reference(GetDC(nullptr));
    HDC screen = reference.get();
    RECT frame = {0, 0, width * GetDeviceCaps(screen, HORZSIZE) * 100 / GetDeviceCaps(screen, HORZRES),
                  height * GetDeviceCaps(screen, VERTSIZE) * 100 / GetDeviceCaps(screen, VERTRES)};
    HDC recorder = CreateEnhMetaFileA(reference.get(), nullptr, &frame, nullptr);
    RECT left = {0, 0, width / 2, height};
    HBRUSH brush = CreateSolidBrush(blue);
    FillRect(recorder, &left, brush);
    DeleteObject(brush);
    unique_henhmetafile metafile(CloseEnhMetaFile(recorder));
    std::vector<uint8_t> bits(GetEnhMetaFileBits(metafile.get(), 0, nullptr));
    GetEnhMetaFileBits(metafile.get(), static_cast<UINT>(bits.size()), bits.data());
    return bits;
}

TEST(DrawPreview, PicturesAreFittedIntoTheirFrameOrStretchedOntoAnIcon)
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
    // An icon drawn at its own size: its left and right columns, and beyond it the
    // magenta that a pixel it left transparent would also show, or be mixed with.
    auto square = [](int size, COLORREF left, COLORREF right) {
        return std::vector<Probe>{{1, 0, left}, {1, size - 1, left}, {size - 2, 0, right},
                                  {size - 2, size - 1, right}, {size, size / 2, untouched},
                                  {size / 2, size, untouched}};
    };
    auto redThenBlue = [](int x, int) { return x < 200 ? 0xFF0000u : 0x0000FFu; };
    auto halves = PreviewBlockBuilder::Bitmap32(400, 200, redThenBlue).Build();
    auto flagged = [](uint16_t flags) { return Solid(50, 30, 0xFFFF00).Flags(flags).Build(); };
    auto metafileBits = HalfBlueMetafile(100, 50);
    auto metafile = PreviewBlockBuilder::Metafile(metafileBits, 100, 50).Build();
    // Offsets at and after the block's end.
    auto end = static_cast<uint32_t>(metafile.size());
    auto metafileAt = [&](uint32_t offset) {
        return PreviewBlockBuilder::Metafile(metafileBits, 100, 50).DataOffset(offset).Build();
    };
    auto shortBitmap = Solid(50, 30, 0xFF0000).Build();
    shortBitmap.pop_back();
    // Bitmap headers cut after their height, and before it.
    auto cutHeader = [](size_t size) {
        auto block = Solid(50, 30, 0).Build();
        block.resize(size);
        return block;
    };
    const RECT wide = {0, 0, 200, 100};
    const struct {
        const char* name;
        std::vector<uint8_t> block;  // none: an empty picture
        RECT frame;
        int iconSize;  // an icon of this size instead of the frame
        std::vector<Probe> probes;
    } cases[] = {
        {"empty: a framed button face", {}, {10, 10, 110, 70}, 0,
         {{60, 40, face}, {12, 12, face}, {10, 10, shadow}, {109, 69, highlight}, {9, 9, untouched},
          {110, 70, untouched}}},
        // Fitted to (75, 35, 125, 65); the edge takes two pixels on every side.
        {"small: centred in an edge of its own size", Solid(50, 30, 0xFF0000).Build(), wide, 0,
         {{75, 35, shadow}, {77, 37, red}, {122, 62, red}, {124, 64, highlight}, {74, 50, untouched},
          {100, 34, untouched}, {100, 65, untouched}}},
        // Fitted to (0, 50, 200, 150).
        {"large: scaled with its proportions", halves, {0, 0, 200, 200}, 0,
         {{100, 49, untouched}, {50, 52, red}, {150, 147, blue}, {100, 150, untouched}}},
        {"bitmap cut short: only the edge", shortBitmap, wide, 0, {{75, 35, shadow}, {100, 50, untouched}}},
        {"header of 40 bytes: the edge its size gives", cutHeader(40), wide, 0,
         {{75, 35, shadow}, {124, 64, highlight}, {100, 50, untouched}}},
        {"header without its height: empty", cutHeader(35), wide, 0, {{100, 50, face}, {0, 0, shadow}}},
        // Yellow over magenta: both flag bits AND it in, leaving red; either alone copies.
        {"both AND bits", flagged(0x64), wide, 0, {{100, 50, red}}},
        {"one AND bit", flagged(0x04), wide, 0, {{100, 50, yellow}}},
        {"the other AND bit", flagged(0x20), wide, 0, {{100, 50, yellow}}},
        // Fitted to (50, 25, 150, 75): the left half played blue, the rest window colour.
        {"metafile: played over the window colour", metafile, wide, 0,
         {{49, 50, untouched}, {60, 50, blue}, {140, 50, window}, {100, 24, untouched}}},
        {"metafile with no bits after its offset: nothing played", metafileAt(end), wide, 0, {{60, 50, window}}},
        {"bitmap icon", halves, {}, 16, square(16, red, blue)},
        {"large bitmap icon", halves, {}, 48, square(48, red, blue)},
        {"metafile icon", metafile, {}, 16, square(16, blue, window)},
        {"large metafile icon", metafile, {}, 48, square(48, blue, window)},
        {"empty: no icon", {}, {}, 32, {{8, 8, untouched}}},
        {"metafile cut before its offset: no icon", metafileAt(end + 1), {}, 32, {{8, 8, untouched}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(200, 200, untouched);
        SetStretchBltMode(canvas.Dc(), HALFTONE);
        PreviewPicture picture;
        MemoryFile file(c.block);
        ASSERT_TRUE(c.block.empty() ||
                    picture.ReadBlock(file, static_cast<uint32_t>(c.block.size()), PreviewKindBlock, nullptr, 0));
        if (c.iconSize > 0)
            DrawIconEx(canvas.Dc(), 0, 0, unique_hicon(MakeIcon(picture, c.iconSize)).get(), 0, 0, 0, nullptr,
                       DI_NORMAL);
        else
            DrawPreview(picture, canvas.Dc(), c.frame);
        EXPECT_EQ(GetStretchBltMode(canvas.Dc()), HALFTONE);
        for (const Probe& probe : c.probes)
            EXPECT_EQ(canvas.At(probe.x, probe.y), probe.colour) << probe.x << ", " << probe.y;
    }
}

TEST(DrawBitmap, TwoColourBitmapsShrinkBlackOnWhite)
{
    // Column pairs alternate black-white and white-black: halving the width gives all
    // black when the dropped columns are ANDed in, and a mix when one is kept.
    auto stripes = [](int x, int) -> uint8_t { return (x / 2) % 2 == x % 2 ? 1 : 0; };
    auto twoColours = PreviewBlockBuilder::Indexed(8, 2, 1, {0xFFFFFF, 0x000000}, stripes).Build();
    auto fourColours =
        PreviewBlockBuilder::Indexed(8, 2, 8, {0xFFFFFF, 0x000000, 0x00FF00, 0x0000FF}, stripes).Build();
    Canvas canvas(8, 2, untouched);
    DrawBitmap(canvas.Dc(), {0, 0, 4, 1}, twoColours.data(), static_cast<uint32_t>(twoColours.size()));
    DrawBitmap(canvas.Dc(), {4, 0, 8, 1}, fourColours.data(), static_cast<uint32_t>(fourColours.size()));
    int whites = 0;
    for (int x = 0; x < 8; ++x)
        whites += canvas.At(x, 0) == RGB(255, 255, 255);
    EXPECT_EQ(canvas.At(0, 0) | canvas.At(1, 0) | canvas.At(2, 0) | canvas.At(3, 0), RGB(0, 0, 0));
    EXPECT_EQ(whites, 2) << "colour-on-colour keeps one column of each pair";
}

}  // namespace
}  // namespace orv
