#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "ByteWriter.h"
#include "PreviewBlockBuilder.h"
#include "preview/PreviewImage.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using test::ByteWriter;
using test::PreviewBlockBuilder;
using Bytes = std::vector<uint8_t>;
using Colours = std::vector<uint32_t>;

// A stored preview block around a bitmap header and what follows it: colour table or
// masks, then the pixels.
Bytes Bitmap(int32_t width, int32_t height, uint16_t bits, uint32_t compression, const Bytes& tail,
             uint32_t colours = 0, uint32_t imageSize = 0)
{
    ByteWriter out;
    out.U16(0xD005).Fill(14).U16(0).U16(0).U32(0);
    out.U32(40).U32(uint32_t(width)).U32(uint32_t(height)).U16(1).U16(bits).U32(compression).U32(imageSize);
    return out.U32(2835).U32(2835).U32(colours).U32(0).Bytes(tail).Data();
}

bool Load(const Bytes& block, PreviewPicture& picture)
{
    MemoryFile file(block);
    return picture.ReadBlock(file, uint32_t(block.size()), PreviewKindBlock, nullptr, 0);
}

// The pixels as 0xRRGGBB, rows from the top; every pixel must be opaque.
Colours Pixels(const RgbaImage& image)
{
    Colours colours;
    for (size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
        EXPECT_EQ(image.pixels[i + 3], 255);
        colours.push_back(uint32_t(image.pixels[i]) << 16 | image.pixels[i + 1] << 8 | image.pixels[i + 2]);
    }
    return colours;
}

// The colours as a colour table or masks, then the bytes that follow them.
Bytes Quads(const Colours& colours, const Bytes& tail = {})
{
    ByteWriter out;
    for (uint32_t colour : colours)
        out.U32(colour);
    return out.Bytes(tail).Data();
}

const Colours Two = {0x102030, 0xA0B0C0};

// Every depth and compression read into the same kind of pixels: rows stored from the
// bottom unless the height is negative, each padded to four bytes.
TEST(PreviewBitmap, ReadsEveryStoredForm)
{
    const struct {
        const char* label;
        Bytes block;
        uint32_t width;
        Colours expected;
    } cases[] = {
        {"1 bit", Bitmap(3, 2, 1, 0, Quads(Two, {0x40, 0, 0, 0, 0xA0, 0, 0, 0}), 2), 3,
         {0xA0B0C0, 0x102030, 0xA0B0C0, 0x102030, 0xA0B0C0, 0x102030}},
        // Indices beyond the table are black.
        {"4 bits", Bitmap(3, 1, 4, 0, Quads(Two, {0x15, 0x00, 0, 0}), 2), 3, {0xA0B0C0, 0, 0x102030}},
        {"8 bits", Bitmap(2, 1, 8, 0, Quads(Two, {1, 0, 0, 0}), 2), 2, {0xA0B0C0, 0x102030}},
        {"16 bits", Bitmap(4, 1, 16, 0, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42}), 4,
         {0xFF0000, 0x00FF00, 0x0000FF, 0x848484}},
        {"24 bits", Bitmap(1, 2, 24, 0, {0x01, 0x02, 0x03, 0, 0x04, 0x05, 0x06, 0}), 1, {0x060504, 0x030201}},
        {"24 bits top down", Bitmap(1, -2, 24, 0, {0x01, 0x02, 0x03, 0, 0x04, 0x05, 0x06, 0}), 1,
         {0x030201, 0x060504}},
        {"32 bits", Bitmap(2, 1, 32, 0, {1, 2, 3, 0xFF, 4, 5, 6, 0}), 2, {0x030201, 0x060504}},
        {"16 bit fields", Bitmap(2, 1, 16, 3, Quads({0xF800, 0x07E0, 0x001F}, {0x00, 0xF8, 0x20, 0x00})),
         2, {0xFF0000, 0x000400}},
        {"32 bit fields", Bitmap(1, 1, 32, 3, Quads({0xFF, 0xFF00, 0xFF0000}, {1, 2, 3, 4})), 1,
         {0x010203}},
        // A run, a line end, a literal run padded to a word, the end.
        {"run-length 8", Bitmap(3, 2, 8, 1, Quads(Two, {3, 1, 0, 0, 0, 3, 0, 1, 1, 0, 0, 1}), 2, 12), 3,
         {0x102030, 0xA0B0C0, 0xA0B0C0, 0xA0B0C0, 0xA0B0C0, 0xA0B0C0}},
        // A run far past the row's end is cut there; a delta skips pixels, which stay black.
        {"run-length 8 cut and skipped", Bitmap(3, 2, 8, 1, Quads(Two, {255, 1, 0, 0, 0, 2, 1, 0, 1, 0, 0, 1}), 2, 12),
         3, {0, 0x102030, 0, 0xA0B0C0, 0xA0B0C0, 0xA0B0C0}},
        {"run-length 8 literal cut", Bitmap(2, 2, 8, 1, Quads(Two, {0, 3, 1, 1, 1, 0, 0, 0, 2, 0, 0, 1}), 2, 12), 2,
         {0x102030, 0x102030, 0xA0B0C0, 0xA0B0C0}},
        {"run-length 8 without an end", Bitmap(1, 1, 8, 1, Quads(Two, {1, 1}), 2, 2), 1, {0xA0B0C0}},
        // A literal run short of the row's end: its padding is no pixel.
        {"run-length 4", Bitmap(6, 1, 4, 2, Quads(Two, {2, 0x10, 0, 3, 0x01, 0x11, 0, 1}), 2, 8), 6,
         {0xA0B0C0, 0x102030, 0x102030, 0xA0B0C0, 0xA0B0C0, 0}},
        // A literal run of four takes two bytes; the run after it goes on from its end.
        {"run-length 4 literal then run", Bitmap(6, 1, 4, 2, Quads(Two, {0, 4, 0x01, 0x10, 2, 0x11, 0, 1}), 2, 8), 6,
         {0x102030, 0xA0B0C0, 0xA0B0C0, 0x102030, 0xA0B0C0, 0xA0B0C0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        PreviewPicture picture;
        RgbaImage image;
        ASSERT_TRUE(Load(c.block, picture));
        ASSERT_TRUE(PreviewBitmap(picture, 0, image));
        const PreviewShape shape = ShapeOf(picture);
        const uint32_t height = uint32_t(c.expected.size() / c.width);
        EXPECT_EQ(std::tuple(shape.content, shape.width, shape.height, image.width, image.height),
                  std::tuple(PreviewContent::Bitmap, c.width, height, c.width, height));
        EXPECT_EQ(Pixels(image), c.expected);
    }
}

// Pictures larger than the limit are averaged down to fit it with their proportions,
// never scaled up.
TEST(PreviewBitmap, ScalesDownByAveragingToFitTheLimit)
{
    auto stripes = [](int x, int) { return x % 2 ? 0xFFFFFFu : 0x000000u; };
    const struct {
        int width, height;
        uint32_t limit, expectedWidth, expectedHeight;
        uint32_t first;
    } cases[] = {
        {4, 2, 2, 2, 1, 0x808080},  {4, 2, 0, 4, 2, 0x000000}, {4, 2, 4, 4, 2, 0x000000},
        {4, 2, 100, 4, 2, 0x000000}, {300, 100, 30, 30, 10, 0x808080}, {2, 100, 10, 1, 10, 0x808080},
        {100, 3, 10, 10, 1, 0x808080}, {5, 6, 3, 3, 3, 0x000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " within " << c.limit);
        PreviewPicture picture;
        RgbaImage image;
        ASSERT_TRUE(Load(PreviewBlockBuilder::Bitmap32(c.width, c.height, stripes).Build(), picture));
        ASSERT_TRUE(PreviewBitmap(picture, c.limit, image));
        EXPECT_EQ(std::pair(image.width, image.height), std::pair(c.expectedWidth, c.expectedHeight));
        ASSERT_EQ(image.pixels.size(), size_t{c.expectedWidth} * c.expectedHeight * 4);
        EXPECT_EQ(Pixels(image)[0], c.first);
    }
}

TEST(PreviewBitmap, RefusesWhatItCannotShowAndLeavesTheImage)
{
    const Bytes rows = {1, 0, 0, 0, 1, 0, 0, 0};
    Bytes wrongSize = Bitmap(1, 2, 8, 0, Quads(Two, rows), 2);
    wrongSize[24] = 12;
    const struct {
        const char* label;
        Bytes block;
    } cases[] = {
        {"metafile", PreviewBlockBuilder::Metafile({1, 2, 3, 4}, 10, 10).Build()},
        {"header cut", test::Cut(Bitmap(1, 2, 8, 0, Quads(Two, rows), 2), 60)},
        {"another header size", wrongSize},
        {"pixels cut", Bitmap(1, 2, 8, 0, Quads(Two, {1, 0, 0, 0, 1, 0, 0}), 2)},
        {"colour table past the block", Bitmap(1, 2, 8, 0, Quads(Two, rows), 5)},
        {"2 bits", Bitmap(1, 2, 2, 0, Quads(Two, rows), 2)},
        {"bit fields of 24 bits", Bitmap(1, 1, 24, 3, Quads({0xFF, 0xFF00, 0xFF0000}, {1, 2, 3, 0}))},
        {"run-length of 4 bits at 8", Bitmap(1, 1, 8, 2, Quads(Two, {0, 1}), 2, 2)},
        {"run-length top down", Bitmap(1, -1, 8, 1, Quads(Two, {0, 1}), 2, 2)},
        {"no pixels", Bitmap(0, 2, 8, 0, Quads(Two), 2)},
        {"larger than the limit", Bitmap(2048, 2049, 8, 1, Quads(Two, {0, 1}), 2, 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        PreviewPicture picture;
        RgbaImage image{7, 9, {1, 2, 3}};
        ASSERT_TRUE(Load(c.block, picture));
        EXPECT_FALSE(PreviewBitmap(picture, 0, image));
        EXPECT_EQ(std::tuple(image.width, image.height, image.pixels), std::tuple(7u, 9u, Bytes{1, 2, 3}));
    }
    RgbaImage image;
    EXPECT_FALSE(PreviewBitmap(PreviewPicture(), 0, image));
    PreviewPicture largest, metafile;
    ASSERT_TRUE(Load(Bitmap(2048, 2048, 8, 1, Quads(Two, {0, 1}), 2, 2), largest));
    EXPECT_TRUE(PreviewBitmap(largest, 16, image));
    // A metafile's shape is its frame.
    ASSERT_TRUE(Load(PreviewBlockBuilder::Metafile({1}, 40, 30).Build(), metafile));
    const PreviewShape shape = ShapeOf(metafile);
    EXPECT_EQ(std::tuple(shape.content, shape.width, shape.height),
              std::tuple(PreviewContent::Metafile, 40u, 30u));
}

}  // namespace
}  // namespace orv
