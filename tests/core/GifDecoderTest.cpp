#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "GifWriter.h"
#include "preview/GifDecoder.h"
#include "preview/PictureHeaders.h"

namespace orv::test {

void PrintTo(const Rgb& c, std::ostream* out)
{
    *out << "(" << int(c.red) << ", " << int(c.green) << ", " << int(c.blue) << ")";
}

}  // namespace orv::test

namespace orv {
namespace {

using test::EncodeLzw;
using test::ExpandCodesByChain;
using test::GifImage;
using test::GifWriter;
using test::LzwOptions;
using test::PackBits;
using test::PackCodes;
using test::Palette;
using test::Rgb;

const Rgb NoTableBackground{117, 0, 0};

// A palette whose entry i is (i, 255 - i, i / 2), so every index shows as itself.
Palette Ramp(size_t entries)
{
    Palette palette;
    for (size_t i = 0; i < entries; ++i)
        palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    return palette;
}

Rgb RampColour(uint8_t index)
{
    return {index, uint8_t(255 - index), uint8_t(index / 2)};
}

// The decoded block, read back the way a caller draws it.
class Decoded {
public:
    explicit Decoded(const std::vector<uint8_t>& stream)
    {
        block = DecodeGif(stream.data(), static_cast<uint32_t>(stream.size()), size);
    }

    bool Ok() const { return block != nullptr; }
    uint32_t Size() const { return size; }
    const uint8_t* Bytes() const { return block.get(); }
    PreviewHeader Preview() const { return LoadStruct<PreviewHeader>(block.get()); }
    BitmapInfoHeader Bitmap() const { return LoadStruct<BitmapInfoHeader>(block.get() + 24); }
    int32_t Width() const { return Bitmap().biWidth; }
    int32_t Height() const { return Bitmap().biHeight; }

    // Canvas coordinates, top row 0; the bitmap stores rows bottom first.
    Rgb Pixel(int32_t x, int32_t y) const
    {
        const uint8_t* p = block.get() + 64 + (size_t(Height() - 1 - y) * Width() + x) * 4;
        EXPECT_EQ(p[3], 0);
        return {p[2], p[1], p[0]};
    }

    std::vector<Rgb> Row(int32_t y) const
    {
        std::vector<Rgb> row;
        for (int32_t x = 0; x < Width(); ++x)
            row.push_back(Pixel(x, y));
        return row;
    }

private:
    std::unique_ptr<uint8_t[]> block;
    uint32_t size = 0;
};

std::vector<Rgb> Colours(std::initializer_list<uint8_t> indices)
{
    std::vector<Rgb> colours;
    for (uint8_t i : indices)
        colours.push_back(RampColour(i));
    return colours;
}

GifImage ImageOf(uint16_t width, uint16_t height, std::vector<uint8_t> indices)
{
    GifImage image;
    image.width = width;
    image.height = height;
    image.indices = std::move(indices);
    return image;
}

std::vector<uint8_t> Indices(size_t count, uint32_t seed, uint8_t colours = 0)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> indices(count);
    for (uint8_t& i : indices)
        i = static_cast<uint8_t>(colours ? random() % colours : random());
    return indices;
}

TEST(DecodeGif, OnePixelBecomesA68ByteBlockWithTheDocumentedHeaders)
{
    GifImage image = ImageOf(1, 1, {1});
    image.minCodeSize = 2;
    Decoded d(GifWriter("87a").Screen(1, 1, {{10, 20, 30}, {200, 100, 50}}).Image(image).Trailer().Data());
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(d.Size(), 68u);
    const uint8_t expected[68] = {
        0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0,   // tag, reserved, top, left, bottom, right
        0, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0,  // play handle, flags, picture type, data offset
        40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 32, 0,  // size, width, height, planes, bits
        0, 0, 0, 0, 4, 0, 0, 0,                             // compression, image size
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,     // resolution, colours
        50, 100, 200, 0};
    EXPECT_EQ(std::vector<uint8_t>(d.Bytes(), d.Bytes() + 68),
              std::vector<uint8_t>(expected, expected + 68));
}

TEST(DecodeGif, RowsAreStoredBottomFirstAsBlueGreenRed)
{
    Decoded d(GifWriter().Screen(3, 2, Ramp(8)).Image(ImageOf(3, 2, {1, 2, 3, 4, 5, 6})).Trailer().Data());
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(d.Size(), 64u + 3 * 2 * 4);
    const uint8_t* bottom = d.Bytes() + 64;
    EXPECT_EQ(std::vector<uint8_t>(bottom, bottom + 4), (std::vector<uint8_t>{2, 251, 4, 0}));
    EXPECT_EQ(d.Row(0), Colours({1, 2, 3}));
    EXPECT_EQ(d.Row(1), Colours({4, 5, 6}));
    EXPECT_EQ(d.Preview().frameRight, 3);
    EXPECT_EQ(d.Preview().frameBottom, 2);
    EXPECT_EQ(d.Bitmap().biSizeImage, 24u);
}

TEST(DecodeGif, TheBackgroundComesFromTheGlobalTableWhenItHasTheEntry)
{
    GifImage corner = ImageOf(1, 1, {3});
    Decoded large(GifWriter().Screen(4, 3, Ramp(256), 200).Image(corner).Trailer().Data());
    ASSERT_TRUE(large.Ok());
    EXPECT_EQ(large.Pixel(0, 0), RampColour(3));
    EXPECT_EQ(large.Pixel(3, 2), RampColour(200));

    Decoded small(GifWriter().Screen(4, 3, Ramp(16), 200).Image(corner).Trailer().Data());
    ASSERT_TRUE(small.Ok());
    EXPECT_EQ(small.Pixel(3, 2), NoTableBackground);

    corner.localTable = Ramp(4);
    corner.minCodeSize = 2;
    Decoded none(GifWriter().Screen(4, 3, {}, 0).Image(corner).Trailer().Data());
    ASSERT_TRUE(none.Ok());
    EXPECT_EQ(none.Pixel(0, 0), RampColour(3));
    EXPECT_EQ(none.Pixel(1, 0), NoTableBackground);

    Decoded nothing(GifWriter().Screen(2, 2, Ramp(2), 1).Trailer().Data());
    ASSERT_TRUE(nothing.Ok());
    EXPECT_EQ(nothing.Row(1), Colours({1, 1}));
}

TEST(DecodeGif, AnImageNeedsAColourTable)
{
    GifImage image = ImageOf(1, 1, {0});
    EXPECT_FALSE(Decoded(GifWriter().Screen(1, 1).Image(image).Trailer().Data()).Ok());
}

TEST(DecodeGif, LocalTablesColourOnlyTheirOwnImage)
{
    Palette red(4, Rgb{255, 0, 0});
    GifImage first = ImageOf(1, 1, {1});
    first.localTable = red;
    GifImage second = ImageOf(1, 1, {1});
    second.left = 1;
    Decoded d(GifWriter().Screen(2, 1, Ramp(4)).Image(first).Image(second).Trailer().Data());
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(d.Pixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(d.Pixel(1, 0), RampColour(1));
}

TEST(DecodeGif, ImagesArePaintedInOrderAndCutToTheCanvas)
{
    GifImage base = ImageOf(4, 3, std::vector<uint8_t>(12, 1));
    GifImage over = ImageOf(2, 2, {2, 3, 4, 5});
    over.left = 1;
    over.top = 1;
    GifImage offRight = ImageOf(3, 1, {6, 7, 8});
    offRight.left = 2;
    GifImage offBottom = ImageOf(1, 3, {9, 10, 11});
    offBottom.top = 2;
    GifImage outside = ImageOf(1000, 1, std::vector<uint8_t>(1000, 12));
    outside.left = 65000;
    GifImage below = ImageOf(1, 1, {13});
    below.top = 3;
    Decoded d(GifWriter()
                  .Screen(4, 3, Ramp(16))
                  .GraphicControl(1)
                  .Image(base)
                  .Image(over)
                  .Image(offRight)
                  .Image(offBottom)
                  .Image(outside)
                  .Image(below)
                  .Trailer()
                  .Data());
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(d.Row(0), Colours({1, 1, 6, 7}));
    EXPECT_EQ(d.Row(1), Colours({1, 2, 3, 1}));
    EXPECT_EQ(d.Row(2), Colours({9, 4, 5, 1}));
}

TEST(DecodeGif, AnImageAtLeft90OnA100PixelCanvasPaintsTenColumns)
{
    std::vector<uint8_t> indices(20 * 2);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<uint8_t>(i % 20);
    GifImage image = ImageOf(20, 2, indices);
    image.left = 90;
    Decoded d(GifWriter().Screen(100, 2, Ramp(32), 31).Image(image).Trailer().Data());
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(d.Pixel(89, 0), RampColour(31));
    for (int x = 90; x < 100; ++x) {
        EXPECT_EQ(d.Pixel(x, 0), RampColour(uint8_t(x - 90)));
        EXPECT_EQ(d.Pixel(x, 1), RampColour(uint8_t(x - 90)));
    }
}

TEST(DecodeGif, IndicesBeyondTheTableShowEntryZero)
{
    GifImage image = ImageOf(3, 1, {7, 3, 255});
    image.localTable = Ramp(4);
    image.minCodeSize = 8;
    Decoded d(GifWriter().Screen(3, 1, Ramp(256)).Image(image).Trailer().Data());
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(d.Row(0), Colours({0, 3, 0}));
}

TEST(DecodeGif, InterlacedRowsTakeTheFourPassOrder)
{
    // Ten rows stored in the order the passes read them, each row filled with its
    // place in the stream.
    std::vector<uint8_t> stored;
    for (uint8_t k = 0; k < 10; ++k)
        stored.insert(stored.end(), 2, k);
    GifImage image = ImageOf(2, 10, {});
    image.interlaced = true;
    Decoded d(GifWriter()
                  .Screen(2, 10, Ramp(16))
                  .ImageWithCodes(image, PackCodes(EncodeLzw(stored, 8), 8))
                  .Trailer()
                  .Data());
    ASSERT_TRUE(d.Ok());
    const uint8_t rowOfStoredRow[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    for (uint8_t k = 0; k < 10; ++k)
        EXPECT_EQ(d.Pixel(1, rowOfStoredRow[k]), RampColour(k)) << "stored row " << int(k);
}

TEST(DecodeGif, InterlacedImagesOfEveryShortHeightComeBackInOrder)
{
    for (uint16_t height = 1; height <= 17; ++height) {
        GifImage image = ImageOf(3, height, Indices(3 * height, height, 16));
        image.interlaced = true;
        GifImage plain = image;
        plain.interlaced = false;
        Decoded interlaced(GifWriter().Screen(3, height, Ramp(16)).Image(image).Trailer().Data());
        Decoded straight(GifWriter().Screen(3, height, Ramp(16)).Image(plain).Trailer().Data());
        ASSERT_TRUE(interlaced.Ok() && straight.Ok());
        for (int y = 0; y < height; ++y)
            EXPECT_EQ(interlaced.Row(y), straight.Row(y)) << "height " << height << " row " << y;
    }
}

TEST(DecodeGif, ExtensionsAndStrayBytesAreSkipped)
{
    GifImage image = ImageOf(2, 1, {1, 2});
    Decoded d(GifWriter()
                  .Screen(2, 1, Ramp(4))
                  .Comment(std::string(600, 'c'))
                  .Raw({0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0})
                  .Raw({0x00, 0x07})
                  .GraphicControl(2)
                  .Image(image)
                  .Trailer()
                  .Data());
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(d.Row(0), Colours({1, 2}));
}

TEST(DecodeGif, TruncatedStreamsFail)
{
    GifImage image = ImageOf(16, 16, Indices(256, 7, 16));
    image.subBlockSize = 40;
    std::vector<uint8_t> whole =
        GifWriter().Screen(16, 16, Ramp(16)).Comment("note").Image(image).Trailer().Data();
    ASSERT_TRUE(Decoded(whole).Ok());
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        std::vector<uint8_t> part(whole.begin(), whole.begin() + cut);
        EXPECT_FALSE(Decoded(part).Ok()) << "cut at " << cut;
    }
}

TEST(DecodeGif, TheStreamMustStartWithItsSignature)
{
    std::vector<uint8_t> stream = GifWriter().Screen(1, 1, Ramp(2)).Trailer().Data();
    ASSERT_TRUE(Decoded(stream).Ok());
    stream[0] = 'g';
    EXPECT_FALSE(Decoded(stream).Ok());
    uint32_t size = 99;
    EXPECT_EQ(DecodeGif(nullptr, 0, size), nullptr);
    EXPECT_EQ(size, 0u);
}

TEST(DecodeGif, CanvasesMustHavePixelsAndStayWithinTheLimits)
{
    auto canvas = [](uint16_t w, uint16_t h) {
        return Decoded(GifWriter().Screen(w, h, Ramp(2)).Trailer().Data());
    };
    EXPECT_TRUE(canvas(4095, 1).Ok());
    EXPECT_TRUE(canvas(1, 4095).Ok());
    EXPECT_FALSE(canvas(4096, 1).Ok());
    EXPECT_FALSE(canvas(1, 4096).Ok());
    EXPECT_FALSE(canvas(65535, 65535).Ok());
    EXPECT_FALSE(canvas(0, 10).Ok());
    EXPECT_FALSE(canvas(10, 0).Ok());
}

TEST(DecodeGif, ImagesTooLargeToHoldAreRefusedAndEmptyOnesPaintNothing)
{
    GifImage huge = ImageOf(65535, 65535, {});
    EXPECT_FALSE(Decoded(GifWriter().Screen(4, 4, Ramp(2)).ImageWithCodes(huge, {0x00}).Trailer().Data()).Ok());
    GifImage empty = ImageOf(0, 5, {});
    Decoded d(GifWriter().Screen(2, 2, Ramp(2), 1).ImageWithCodes(empty, PackCodes({256, 1, 1, 257}, 8)).Trailer().Data());
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(d.Row(0), Colours({1, 1}));
}

// Hand-written code streams, minimum code size 2: clear 4, end 5, first free 6.
std::vector<Rgb> DecodeCodes(const std::vector<unsigned>& codes, uint16_t pixels)
{
    GifImage image = ImageOf(pixels, 1, {});
    image.minCodeSize = 2;
    Decoded d(GifWriter().Screen(pixels, 1, Ramp(4)).ImageWithCodes(image, PackCodes(codes, 2)).Trailer().Data());
    EXPECT_TRUE(d.Ok());
    return d.Ok() ? d.Row(0) : std::vector<Rgb>{};
}

TEST(DecodeLzw, TheNextFreeCodeIsIgnoredAfterAClearAndRepeatsAfterAFirstCode)
{
    EXPECT_EQ(DecodeCodes({4, 6, 1, 2, 5}, 2), Colours({1, 2}));
    EXPECT_EQ(DecodeCodes({4, 1, 6, 5}, 3), Colours({1, 1, 1}));
    EXPECT_EQ(DecodeCodes({4, 1, 2, 7, 5}, 5), Colours({1, 2, 2, 2, 0}));
    EXPECT_EQ(DecodeCodes({4, 1, 2, 6, 8, 5}, 7), Colours({1, 2, 1, 2, 1, 2, 1}));
}

TEST(DecodeLzw, CodesBeyondTheNextFreeCodeAreSkipped)
{
    EXPECT_EQ(DecodeCodes({4, 1, 7, 2, 5}, 2), Colours({1, 2}));
    EXPECT_EQ(DecodeCodes({4, 1, 2, 6, 9, 5}, 5), Colours({1, 2, 1, 2, 0}));
}

TEST(DecodeLzw, TheEndCodeLeavesTheRestOfTheImageAtIndexZero)
{
    EXPECT_EQ(DecodeCodes({4, 3, 5, 3, 3}, 4), Colours({3, 0, 0, 0}));
    EXPECT_EQ(DecodeCodes({4, 3, 3}, 4), Colours({3, 3, 0, 0}));
    // The last string is a copy of an earlier one, with more indices after it.
    EXPECT_EQ(DecodeCodes({4, 1, 2, 3, 3, 3, 3, 6, 5}, 12), Colours({1, 2, 3, 3, 3, 3, 1, 2, 0, 0, 0, 0}));
}

TEST(DecodeLzw, DataAfterTheEndCodeIsSkippedUpToTheImageTerminator)
{
    GifImage image = ImageOf(2, 1, {});
    image.minCodeSize = 2;
    std::vector<uint8_t> codes = PackCodes({4, 1, 2, 5}, 2);
    std::vector<uint8_t> stream = GifWriter().Screen(2, 1, Ramp(4)).Data();
    stream.insert(stream.end(), {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2});
    stream.push_back(static_cast<uint8_t>(codes.size()));
    stream.insert(stream.end(), codes.begin(), codes.end());
    // Read as blocks, this sub-block would start an image descriptor that runs off
    // the end of the stream.
    stream.insert(stream.end(), {3, 0x2C, 0, 0, 0, 0x3B});
    Decoded d(stream);
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(d.Row(0), Colours({1, 2}));
}

TEST(DecodeLzw, ClearCodesRestartTheTableAndTheCodeWidth)
{
    // Five entries take the width from 3 to 4 bits; after the clear, 3 bits again.
    std::vector<unsigned> codes = {4, 1, 2, 3, 0, 1, 2, 4, 3, 6, 5};
    EXPECT_EQ(DecodeCodes(codes, 9), Colours({1, 2, 3, 0, 1, 2, 3, 3, 3}));
}

TEST(DecodeLzw, EncodedImagesComeBackExactlyAtEveryMinimumCodeSize)
{
    for (unsigned minCodeSize = 2; minCodeSize <= 8; ++minCodeSize) {
        uint8_t colours = static_cast<uint8_t>(std::min(1u << minCodeSize, 255u));
        std::vector<uint8_t> indices = Indices(120 * 90, minCodeSize, colours);
        for (size_t i = 0; i < 3000; ++i)
            indices[4000 + i] = indices[i % 7];
        GifImage image = ImageOf(120, 90, indices);
        image.minCodeSize = static_cast<uint8_t>(minCodeSize);
        Decoded d(GifWriter().Screen(120, 90, Ramp(256)).Image(image).Trailer().Data());
        ASSERT_TRUE(d.Ok());
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 120; ++x)
                ASSERT_EQ(d.Pixel(x, y), RampColour(indices[y * 120 + x]))
                    << "minimum " << minCodeSize << " at " << x << ", " << y;
    }
}

// Random indices fill the 4096-entry table many times over, so the width reaches 12
// bits; the encoder either clears when the table is full or goes on with it full.
TEST(DecodeLzw, FullTablesWorkWithAndWithoutAClearCode)
{
    std::vector<uint8_t> indices = Indices(200 * 100, 42);
    for (bool deferred : {false, true}) {
        LzwOptions options;
        options.deferredClear = deferred;
        std::vector<unsigned> codes = EncodeLzw(indices, 8, options);
        GifImage image = ImageOf(200, 100, {});
        Decoded d(GifWriter().Screen(200, 100, Ramp(256)).ImageWithCodes(image, PackCodes(codes, 8)).Trailer().Data());
        ASSERT_TRUE(d.Ok());
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                ASSERT_EQ(d.Pixel(x, y), RampColour(indices[y * 200 + x])) << deferred;
    }

    // Full, kept without a clear for a while, then cleared: a deferred clear.
    std::vector<uint8_t> first = Indices(30000, 1);
    std::vector<uint8_t> second = Indices(10000, 2);
    LzwOptions keepFull;
    keepFull.deferredClear = true;
    keepFull.endCode = false;
    std::vector<unsigned> codes = EncodeLzw(first, 8, keepFull);
    std::vector<unsigned> rest = EncodeLzw(second, 8);
    codes.insert(codes.end(), rest.begin(), rest.end());
    std::vector<uint8_t> all = first;
    all.insert(all.end(), second.begin(), second.end());
    GifImage image = ImageOf(400, 100, {});
    Decoded d(GifWriter().Screen(400, 100, Ramp(256)).ImageWithCodes(image, PackCodes(codes, 8)).Trailer().Data());
    ASSERT_TRUE(d.Ok());
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 400; ++x)
            ASSERT_EQ(d.Pixel(x, y), RampColour(all[y * 400 + x]));
}

TEST(DecodeLzw, LongStringsInNarrowImagesStopAtTheLastPixel)
{
    // A long run builds strings of thousands of indices; images of one column and
    // a few pixels take only their first indices from them.
    std::vector<uint8_t> run(20000);
    for (size_t i = 0; i < run.size(); ++i)
        run[i] = static_cast<uint8_t>(i % 3 == 0 ? 1 : 2);
    std::vector<unsigned> codes = EncodeLzw(run, 8);
    for (uint16_t height : {1, 2, 3, 5, 17, 100}) {
        GifImage image = ImageOf(1, height, {});
        Decoded d(GifWriter().Screen(1, height, Ramp(4)).ImageWithCodes(image, PackCodes(codes, 8)).Trailer().Data());
        ASSERT_TRUE(d.Ok());
        for (int y = 0; y < height; ++y)
            ASSERT_EQ(d.Pixel(0, y), RampColour(run[y]));
    }
}

TEST(DecodeLzw, MinimumCodeSizesAbove11AreRefused)
{
    GifImage image = ImageOf(2, 1, {});
    image.minCodeSize = 11;
    std::vector<uint8_t> codes = PackBits({{2048, 12}, {300, 12}, {2047, 12}, {2049, 12}});
    Decoded eleven(GifWriter().Screen(2, 1, Ramp(256)).ImageWithCodes(image, codes).Trailer().Data());
    ASSERT_TRUE(eleven.Ok());
    EXPECT_EQ(eleven.Row(0), Colours({44, 255}));
    image.minCodeSize = 12;
    EXPECT_FALSE(Decoded(GifWriter().Screen(2, 1, Ramp(256)).ImageWithCodes(image, codes).Trailer().Data()).Ok());
}

// Any code stream, valid or not, gives the indices that the format's definition
// gives: the same strings as when every string is rebuilt through its prefixes.
TEST(DecodeLzw, ArbitraryCodeStreamsMatchTheDefinition)
{
    std::mt19937 random(2024);
    for (int round = 0; round < 600; ++round) {
        unsigned minCodeSize = round % 12;
        uint16_t width = static_cast<uint16_t>(1 + random() % 40);
        uint16_t height = static_cast<uint16_t>(1 + random() % 40);
        std::vector<uint8_t> codeBytes(random() % 700);
        // Mostly small codes, so the table fills instead of every code being skipped.
        for (uint8_t& b : codeBytes)
            b = static_cast<uint8_t>(random() % 4 == 0 ? random() : random() % 3);
        if (round % 3 == 0) {
            std::vector<unsigned> codes;
            for (int i = 0; i < 400; ++i)
                codes.push_back(static_cast<unsigned>(random() % ((2u << minCodeSize) + 8)));
            codeBytes = PackCodes(codes, minCodeSize);
        }
        GifImage image = ImageOf(width, height, {});
        image.minCodeSize = static_cast<uint8_t>(minCodeSize);
        Decoded d(GifWriter().Screen(width, height, Ramp(256)).ImageWithCodes(image, codeBytes).Trailer().Data());
        ASSERT_TRUE(d.Ok());
        std::vector<uint8_t> expected = ExpandCodesByChain(codeBytes, minCodeSize, size_t{width} * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(d.Pixel(x, y), RampColour(expected[y * width + x]))
                    << "round " << round << " at " << x << ", " << y;
    }
}

TEST(DecodeGif, SubBlockSizesDoNotChangeTheResult)
{
    GifImage image = ImageOf(30, 20, Indices(600, 9, 64));
    image.subBlockSize = 1;
    Decoded small(GifWriter().Screen(30, 20, Ramp(64)).Image(image).Trailer().Data());
    image.subBlockSize = 255;
    Decoded large(GifWriter().Screen(30, 20, Ramp(64)).Image(image).Trailer().Data());
    ASSERT_TRUE(small.Ok() && large.Ok());
    ASSERT_EQ(small.Size(), large.Size());
    EXPECT_EQ(0, std::memcmp(small.Bytes(), large.Bytes(), small.Size()));
}

TEST(DecodeGif, NothingCarriesOverFromOneDecodeToTheNext)
{
    GifImage busy = ImageOf(64, 64, Indices(64 * 64, 5));
    busy.interlaced = true;
    busy.localTable = Ramp(256);
    std::vector<uint8_t> first = GifWriter().Screen(64, 64).Image(busy).Trailer().Data();
    GifImage quiet = ImageOf(8, 8, std::vector<uint8_t>(64, 1));
    quiet.minCodeSize = 2;
    std::vector<uint8_t> second = GifWriter().Screen(8, 8, Ramp(4)).Image(quiet).Trailer().Data();

    Decoded before(second);
    Decoded other(first);
    Decoded after(second);
    ASSERT_TRUE(before.Ok() && other.Ok() && after.Ok());
    ASSERT_EQ(before.Size(), after.Size());
    EXPECT_EQ(0, std::memcmp(before.Bytes(), after.Bytes(), before.Size()));
    EXPECT_EQ(after.Row(7), std::vector<Rgb>(8, RampColour(1)));
}

}  // namespace
}  // namespace orv
