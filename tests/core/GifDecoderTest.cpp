#include <gtest/gtest.h>

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

using namespace test;

const Rgb NoTableBackground{117, 0, 0};

// Entry i is (i, 255 - i, i / 2), so every index shows as itself.
Rgb RampColour(uint8_t index)
{
    return {index, uint8_t(255 - index), uint8_t(index / 2)};
}

Palette Ramp(size_t entries)
{
    Palette palette;
    for (size_t i = 0; i < entries; ++i)
        palette.push_back(RampColour(uint8_t(i)));
    return palette;
}

std::vector<Rgb> Colours(const std::vector<uint8_t>& indices)
{
    std::vector<Rgb> colours;
    for (uint8_t i : indices)
        colours.push_back(RampColour(i));
    return colours;
}

// The decoded block, read back the way a caller draws it.
class Decoded {
public:
    explicit Decoded(const std::vector<uint8_t>& stream)
    {
        uint32_t size = 0;
        std::unique_ptr<uint8_t[]> data = DecodeGif(stream.data(), static_cast<uint32_t>(stream.size()), size);
        ok = data != nullptr;
        if (ok)
            block.assign(data.get(), data.get() + size);
    }

    bool Ok() const { return ok; }
    const std::vector<uint8_t>& Block() const { return block; }

    // Row by row from the top; the bitmap stores rows bottom first.
    std::vector<Rgb> Pixels() const
    {
        if (block.size() < 64)
            return {};
        const auto bitmap = LoadStruct<BitmapInfoHeader>(block.data() + 24);
        std::vector<Rgb> pixels;
        for (int32_t y = bitmap.biHeight - 1; y >= 0; --y) {
            for (int32_t x = 0; x < bitmap.biWidth; ++x) {
                size_t at = 64 + (size_t(y) * bitmap.biWidth + x) * 4;
                EXPECT_EQ(block.at(at + 3), 0);
                pixels.push_back({block.at(at + 2), block.at(at + 1), block.at(at)});
            }
        }
        return pixels;
    }

private:
    bool ok = false;
    std::vector<uint8_t> block;
};

// Names the first pixel, row by row from the top, that does not show its index.
testing::AssertionResult ShowsIndices(const Decoded& d, const std::vector<uint8_t>& indices)
{
    if (!d.Ok())
        return testing::AssertionFailure() << "not decoded";
    std::vector<Rgb> pixels = d.Pixels();
    if (pixels.size() != indices.size())
        return testing::AssertionFailure() << pixels.size() << " pixels for " << indices.size() << " indices";
    for (size_t i = 0; i < pixels.size(); ++i)
        if (pixels[i] != RampColour(indices[i]))
            return testing::AssertionFailure() << "pixel " << i << " of " << pixels.size() << " differs";
    return testing::AssertionSuccess();
}

GifImage ImageOf(uint16_t width, uint16_t height, std::vector<uint8_t> indices, uint16_t left = 0,
                 uint16_t top = 0, uint8_t minCodeSize = 8)
{
    GifImage image;
    image.minCodeSize = minCodeSize;
    image.left = left;
    image.top = top;
    image.width = width;
    image.height = height;
    image.indices = std::move(indices);
    return image;
}

// A canvas of the image's size with a ramp as its global table.
std::vector<uint8_t> Stream(const GifImage& image, size_t rampEntries = 256)
{
    return GifWriter().Screen(image.width, image.height, Ramp(rampEntries)).Image(image).Trailer().Data();
}

std::vector<uint8_t> StreamOfCodes(const GifImage& image, const std::vector<uint8_t>& codeBytes,
                                   size_t rampEntries = 256)
{
    GifWriter writer;
    writer.Screen(image.width, image.height, Ramp(rampEntries)).ImageWithCodes(image, codeBytes).Trailer();
    return writer.Data();
}

std::vector<uint8_t> Indices(size_t count, uint32_t seed, uint8_t colours = 0)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> indices(count);
    for (uint8_t& i : indices)
        i = static_cast<uint8_t>(colours ? random() % colours : random());
    return indices;
}

TEST(DecodeGif, TheBlockHoldsTheDocumentedHeadersThenRowsBottomFirstAsBlueGreenRed)
{
    GifImage image = ImageOf(3, 2, {1, 2, 3, 4, 5, 6}, 0, 0, 3);
    Decoded d(GifWriter("87a").Screen(3, 2, Ramp(8)).Image(image).Trailer().Data());
    const std::vector<uint8_t> expected = {
        0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 3, 0,                // tag, reserved, top, left, bottom, right
        0, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0,             // play handle, flags, picture type, data offset
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0,  // size, width, height, planes, bits
        0, 0, 0, 0, 24, 0, 0, 0,                           // compression, image size
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    // resolution, colours
        2, 251, 4, 0, 2, 250, 5, 0, 3, 249, 6, 0,          // indices 4, 5, 6
        0, 254, 1, 0, 1, 253, 2, 0, 1, 252, 3, 0};         // indices 1, 2, 3
    EXPECT_EQ(d.Block(), expected);
}

// Pictures row by row from the top.
TEST(DecodeGif, StreamsShowTheirImagesInOrderOverTheBackground)
{
    GifImage corner = ImageOf(1, 1, {3});
    GifImage ownTable = ImageOf(1, 1, {3}, 0, 0, 2);
    ownTable.localTable = Ramp(4);
    GifImage red = ImageOf(1, 1, {1});
    red.localTable = Palette(4, Rgb{255, 0, 0});
    GifImage beyondTable = ImageOf(3, 1, {7, 3, 255});
    beyondTable.localTable = Ramp(4);
    std::vector<uint8_t> tenColumns(20 * 2), beyondColumn90(100 * 2, 31);
    for (size_t i = 0; i < tenColumns.size(); ++i)
        tenColumns[i] = static_cast<uint8_t>(i % 20);
    for (int x = 90; x < 100; ++x)
        beyondColumn90[x] = beyondColumn90[100 + x] = uint8_t(x - 90);
    std::vector<uint8_t> codes = PackCodes({4, 1, 2, 5}, 2);
    std::vector<uint8_t> afterEnd = GifWriter().Screen(2, 1, Ramp(4)).Data();
    afterEnd.insert(afterEnd.end(), {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, uint8_t(codes.size())});
    afterEnd.insert(afterEnd.end(), codes.begin(), codes.end());
    // Read as blocks, this sub-block would start an image descriptor that runs off
    // the end of the stream.
    afterEnd.insert(afterEnd.end(), {3, 0x2C, 0, 0, 0, 0x3B});
    // A 4 x 3 canvas of the background with the corner image at the top left.
    auto cornerOn = [](Rgb background, Rgb pixel) {
        std::vector<Rgb> pixels(12, background);
        pixels[0] = pixel;
        return pixels;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> stream;
        std::vector<Rgb> pixels;
    } cases[] = {
        {"background entry in the global table",
         GifWriter().Screen(4, 3, Ramp(256), 200).Image(corner).Trailer().Data(),
         cornerOn(RampColour(200), RampColour(3))},
        {"background entry beyond the global table",
         GifWriter().Screen(4, 3, Ramp(16), 200).Image(corner).Trailer().Data(),
         cornerOn(NoTableBackground, RampColour(3))},
        {"no global table", GifWriter().Screen(4, 3, {}, 0).Image(ownTable).Trailer().Data(),
         cornerOn(NoTableBackground, RampColour(3))},
        {"no image", GifWriter().Screen(4, 3, Ramp(2), 1).Trailer().Data(), Colours(std::vector<uint8_t>(12, 1))},
        {"an image without pixels",
         GifWriter()
             .Screen(4, 3, Ramp(2), 1)
             .ImageWithCodes(ImageOf(0, 5, {}), PackCodes({256, 1, 1, 257}, 8))
             .Trailer()
             .Data(),
         Colours(std::vector<uint8_t>(12, 1))},
        {"a local table colours only its own image",
         GifWriter().Screen(2, 1, Ramp(4)).Image(red).Image(ImageOf(1, 1, {1}, 1)).Trailer().Data(),
         {{255, 0, 0}, RampColour(1)}},
        {"indices beyond the table show entry zero", Stream(beyondTable), Colours({0, 3, 0})},
        {"later images cover earlier ones and are cut to the canvas",
         GifWriter()
             .Screen(4, 3, Ramp(16))
             .GraphicControl(1)
             .Image(ImageOf(4, 3, std::vector<uint8_t>(12, 1)))
             .Image(ImageOf(2, 2, {2, 3, 4, 5}, 1, 1))
             .Image(ImageOf(3, 1, {6, 7, 8}, 2))
             .Image(ImageOf(1, 3, {9, 10, 11}, 0, 2))
             .Image(ImageOf(1000, 1, std::vector<uint8_t>(1000, 12), 65000))
             .Image(ImageOf(1, 1, {13}, 0, 3))
             .Trailer()
             .Data(),
         Colours({1, 1, 6, 7, 1, 2, 3, 1, 9, 4, 5, 1})},
        {"an image at column 90 of 100 paints ten columns",
         GifWriter().Screen(100, 2, Ramp(32), 31).Image(ImageOf(20, 2, tenColumns, 90)).Trailer().Data(),
         Colours(beyondColumn90)},
    };
    for (const auto& c : cases) {
        Decoded d(c.stream);
        ASSERT_TRUE(d.Ok()) << c.name;
        EXPECT_EQ(d.Pixels(), c.pixels) << c.name;
    }
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
    // From the top, the canvas shows stored rows 0, 5, 3, 6, 2, 7, 4, 8, 1, 9.
    std::vector<uint8_t> expected;
    for (uint8_t k : {0, 5, 3, 6, 2, 7, 4, 8, 1, 9})
        expected.insert(expected.end(), 2, k);
    EXPECT_TRUE(ShowsIndices(Decoded(StreamOfCodes(image, PackCodes(EncodeLzw(stored, 8), 8), 16)), expected));
}

TEST(DecodeGif, InterlacedImagesOfEveryShortHeightComeBackInOrder)
{
    for (uint16_t height = 1; height <= 17; ++height) {
        GifImage image = ImageOf(3, height, Indices(3 * height, height, 16));
        image.interlaced = true;
        EXPECT_TRUE(ShowsIndices(Decoded(Stream(image, 16)), image.indices)) << "height " << height;
    }
}

TEST(DecodeGif, TruncatedStreamsFail)
{
    GifImage image = ImageOf(16, 16, Indices(256, 7, 16));
    image.subBlockSize = 40;
    std::vector<uint8_t> whole = GifWriter().Screen(16, 16, Ramp(16)).Comment("note").Image(image).Trailer().Data();
    ASSERT_TRUE(Decoded(whole).Ok());
    for (size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(Decoded({whole.begin(), whole.begin() + cut}).Ok()) << "cut at " << cut;
}

TEST(DecodeGif, SignaturesSizesAndTablesDecideWhatCanBeDrawn)
{
    auto canvas = [](uint16_t w, uint16_t h) { return GifWriter().Screen(w, h, Ramp(2)).Trailer().Data(); };
    std::vector<uint8_t> badSignature = canvas(1, 1);
    badSignature[0] = 'g';
    const struct {
        const char* name;
        std::vector<uint8_t> stream;
        bool drawn;
    } cases[] = {
        {"1 x 1 canvas", canvas(1, 1), true},
        {"wrong signature", badSignature, false},
        {"4095 x 1 canvas", canvas(4095, 1), true},
        {"1 x 4095 canvas", canvas(1, 4095), true},
        {"4096 x 1 canvas", canvas(4096, 1), false},
        {"1 x 4096 canvas", canvas(1, 4096), false},
        {"65535 x 65535 canvas", canvas(65535, 65535), false},
        {"0 x 10 canvas", canvas(0, 10), false},
        {"10 x 0 canvas", canvas(10, 0), false},
        {"image without a colour table", GifWriter().Screen(1, 1).Image(ImageOf(1, 1, {0})).Trailer().Data(), false},
        {"65535 x 65535 image",
         GifWriter().Screen(4, 4, Ramp(2)).ImageWithCodes(ImageOf(65535, 65535, {}), {0x00}).Trailer().Data(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decoded(c.stream).Ok(), c.drawn) << c.name;
    uint32_t size = 99;
    EXPECT_EQ(DecodeGif(nullptr, 0, size), nullptr);
    EXPECT_EQ(size, 0u);
}

TEST(DecodeLzw, HandWrittenCodeStreamsGiveTheIndicesOfTheFormat)
{
    // Minimum code size 2: clear 4, end 5, first free code 6.
    const struct {
        const char* name;
        std::vector<unsigned> codes;
        std::vector<uint8_t> indices;
    } cases[] = {
        {"the next free code after a clear is ignored", {4, 6, 1, 2, 5}, {1, 2}},
        {"the next free code after a first code repeats it", {4, 1, 6, 5}, {1, 1, 1}},
        {"the next free code after two codes", {4, 1, 2, 7, 5}, {1, 2, 2, 2, 0}},
        {"the next free code after a string", {4, 1, 2, 6, 8, 5}, {1, 2, 1, 2, 1, 2, 1}},
        {"a code beyond the next free code is skipped", {4, 1, 7, 2, 5}, {1, 2}},
        {"a later code beyond the next free code is skipped", {4, 1, 2, 6, 9, 5}, {1, 2, 1, 2, 0}},
        {"the end code leaves the rest at index zero", {4, 3, 5, 3, 3}, {3, 0, 0, 0}},
        {"running out of codes leaves the rest at index zero", {4, 3, 3}, {3, 3, 0, 0}},
        {"a last string copied from an earlier one", {4, 1, 2, 3, 3, 3, 3, 6, 5}, {1, 2, 3, 3, 3, 3, 1, 2, 0, 0, 0, 0}},
        // Five entries take the width from 3 to 4 bits; after the clear, 3 bits again.
        {"a clear code restarts the table and the width", {4, 1, 2, 3, 0, 1, 2, 4, 3, 6, 5},
         {1, 2, 3, 0, 1, 2, 3, 3, 3}},
    };
    for (const auto& c : cases) {
        GifImage image = ImageOf(uint16_t(c.indices.size()), 1, {}, 0, 0, 2);
        EXPECT_EQ(Decoded(StreamOfCodes(image, PackCodes(c.codes, 2), 4)).Pixels(), Colours(c.indices)) << c.name;
    }
}

TEST(DecodeLzw, EncodedImagesComeBackExactlyAtEveryMinimumCodeSize)
{
    for (unsigned minCodeSize = 2; minCodeSize <= 8; ++minCodeSize) {
        uint8_t colours = static_cast<uint8_t>(std::min(1u << minCodeSize, 255u));
        GifImage image = ImageOf(120, 90, Indices(120 * 90, minCodeSize, colours));
        for (size_t i = 0; i < 3000; ++i)
            image.indices[4000 + i] = image.indices[i % 7];
        image.minCodeSize = static_cast<uint8_t>(minCodeSize);
        EXPECT_TRUE(ShowsIndices(Decoded(Stream(image)), image.indices)) << "minimum " << minCodeSize;
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
        Decoded d(StreamOfCodes(ImageOf(200, 100, {}), PackCodes(EncodeLzw(indices, 8, options), 8)));
        EXPECT_TRUE(ShowsIndices(d, indices)) << "deferred " << deferred;
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
    first.insert(first.end(), second.begin(), second.end());
    EXPECT_TRUE(ShowsIndices(Decoded(StreamOfCodes(ImageOf(400, 100, {}), PackCodes(codes, 8))), first));
}

TEST(DecodeLzw, LongStringsInNarrowImagesStopAtTheLastPixel)
{
    // A long run builds strings of thousands of indices; images of one column and
    // a few pixels take only their first indices from them.
    std::vector<uint8_t> run(20000);
    for (size_t i = 0; i < run.size(); ++i)
        run[i] = static_cast<uint8_t>(i % 3 == 0 ? 1 : 2);
    std::vector<uint8_t> codeBytes = PackCodes(EncodeLzw(run, 8), 8);
    for (uint16_t height : {1, 2, 3, 5, 17, 100}) {
        EXPECT_TRUE(ShowsIndices(Decoded(StreamOfCodes(ImageOf(1, height, {}), codeBytes, 4)),
                                 {run.begin(), run.begin() + height}))
            << height;
    }
}

TEST(DecodeLzw, MinimumCodeSizesAbove11AreRefused)
{
    GifImage image = ImageOf(2, 1, {}, 0, 0, 11);
    std::vector<uint8_t> codes = PackBits({{2048, 12}, {300, 12}, {2047, 12}, {2049, 12}});
    EXPECT_EQ(Decoded(StreamOfCodes(image, codes)).Pixels(), Colours({44, 255}));
    image.minCodeSize = 12;
    EXPECT_FALSE(Decoded(StreamOfCodes(image, codes)).Ok());
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
        GifImage image = ImageOf(width, height, {}, 0, 0, uint8_t(minCodeSize));
        ASSERT_TRUE(ShowsIndices(Decoded(StreamOfCodes(image, codeBytes)),
                                 ExpandCodesByChain(codeBytes, minCodeSize, size_t{width} * height)))
            << "round " << round;
    }
}

TEST(DecodeGif, SubBlockSizesDoNotChangeTheResult)
{
    GifImage image = ImageOf(30, 20, Indices(600, 9, 64));
    image.subBlockSize = 1;
    Decoded small(Stream(image, 64));
    image.subBlockSize = 255;
    Decoded large(Stream(image, 64));
    ASSERT_TRUE(small.Ok() && large.Ok());
    EXPECT_EQ(small.Block(), large.Block());
}

TEST(DecodeGif, NothingCarriesOverFromOneDecodeToTheNext)
{
    GifImage busy = ImageOf(64, 64, Indices(64 * 64, 5));
    busy.interlaced = true;
    busy.localTable = Ramp(256);
    GifImage quiet = ImageOf(8, 8, std::vector<uint8_t>(64, 1), 0, 0, 2);

    Decoded before(Stream(quiet, 4));
    Decoded other(GifWriter().Screen(64, 64).Image(busy).Trailer().Data());
    Decoded after(Stream(quiet, 4));
    ASSERT_TRUE(before.Ok() && other.Ok() && after.Ok());
    EXPECT_EQ(before.Block(), after.Block());
    EXPECT_EQ(after.Pixels(), std::vector<Rgb>(64, RampColour(1)));
}

}  // namespace
}  // namespace orv
