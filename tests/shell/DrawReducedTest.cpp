#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <vector>

#include "Canvas.h"
#include "PreviewBlockBuilder.h"
#include "preview/ColorReduction.h"
#include "preview/PreviewPicture.h"
#include "preview/win32/PreviewDrawing.h"
#include "preview/win32/PreviewIcon.h"
#include "util/MemoryFile.h"
#include "util/win32/UniqueHandle.h"

namespace orv {
namespace {

using test::Canvas;
using test::PreviewBlockBuilder;

// Colours that the screen's palette does not hold, one a quadrant (top left, top right,
// bottom left, bottom right). They differ in green, the channel whose palette levels
// Wine's own colour table keeps.
constexpr uint32_t quadrants[] = {0x646E83, 0x648E83, 0x644E83, 0x64AE83};

// Wine keeps an 8-bit bitmap's pixels against a colour table of its own that is close
// to, but not the same as, the system palette (up to a dozen steps a channel), so
// averages are compared loosely.
TEST(PaletteDisplay, PreviewsAndIconsAreDitheredToTheScreensColoursWhereverTheyLand)
{
    ScreenDepth depth;
    ASSERT_TRUE(GetScreenDepth(nullptr, depth));
    ASSERT_TRUE(depth.paletteDevice);
    EXPECT_EQ(depth.bitsPerPixel, 8);
    EXPECT_EQ(depth.paletteSize, 256);
    auto quadrant = [](int x, int y) { return quadrants[(y >= 24) * 2 + (x >= 32)]; };
    auto block = PreviewBlockBuilder::Bitmap32(64, 48, quadrant).Build();
    PreviewPicture picture;
    MemoryFile file(block);
    ASSERT_TRUE(picture.ReadBlock(file, static_cast<uint32_t>(block.size()), PreviewKindBlock, nullptr, 0));
    const struct {
        RECT dst;
        bool icon;
    } cases[] = {
        // The same size, enlarged, shrunk, each of the first two half outside the bitmap
        // drawn into, and an icon.
        {{0, 0, 64, 48}, false}, {{0, 0, 100, 75}, false}, {{0, 0, 40, 30}, false}, {{-32, 0, 32, 48}, false},
        {{-50, 0, 50, 75}, false}, {{0, 0, 48, 48}, true},
    };
    for (const auto& [dst, icon] : cases) {
        SCOPED_TRACE(testing::Message() << dst.left << ", " << dst.right << " x " << dst.bottom);
        Canvas canvas(100, 75, RGB(255, 255, 255));
        SetStretchBltMode(canvas.Dc(), HALFTONE);
        HGDIOBJ palette = GetCurrentObject(canvas.Dc(), OBJ_PAL);
        if (icon)
            DrawIconEx(canvas.Dc(), 0, 0, unique_hicon(MakeIcon(picture, 48)).get(), 0, 0, 0, nullptr,
                       DI_NORMAL);
        else
            DrawBitmap(canvas.Dc(), dst, block.data(), static_cast<uint32_t>(block.size()));
        EXPECT_NE(LastScanDirection(), 0) << "the reduction converted no row";
        EXPECT_EQ(GetStretchBltMode(canvas.Dc()), HALFTONE);
        EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PAL), palette);
        // Each quadrant where it landed, less a margin that the diffused error crosses.
        LONG halfWidth = (dst.right - dst.left) / 2;
        LONG halfHeight = (dst.bottom - dst.top) / 2;
        for (int q = 0; q < 4; ++q) {
            RECT area = {std::max<LONG>(0, dst.left + q % 2 * halfWidth) + 3, q / 2 * halfHeight + 3,
                         dst.left + (q % 2 + 1) * halfWidth - 3, (q / 2 + 1) * halfHeight - 3};
            if (area.left >= area.right)
                continue;
            std::set<COLORREF> seen;
            double sum[3] = {};
            for (LONG y = area.top; y < area.bottom; ++y)
                for (LONG x = area.left; x < area.right; ++x) {
                    COLORREF pixel = canvas.At(x, y);
                    seen.insert(pixel);
                    for (int channel = 0; channel < 3; ++channel)
                        sum[channel] += pixel >> (8 * channel) & 0xFF;
                }
            EXPECT_GE(seen.size(), 2u) << "quadrant " << q << " was not dithered";
            for (int channel = 0; channel < 3; ++channel)
                EXPECT_NEAR(sum[channel] / ((area.right - area.left) * (area.bottom - area.top)),
                            quadrants[q] >> (16 - 8 * channel) & 0xFF, 8.0)
                    << "quadrant " << q << " channel " << channel;
        }
    }
}

}  // namespace
}  // namespace orv
