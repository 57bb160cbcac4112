#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <new>
#include <numeric>
#include <optional>
#include <random>
#include <tuple>

#include "ByteWriter.h"
#include "GifWriter.h"
#include "preview/GifDecoder.h"
#include "preview/PictureHeaders.h"
#include "preview/PreviewPicture.h"
#include "preview/ScreenResolution.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using namespace test;
using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint32_t>;

// Entry i of the ramp is (i, 255 - i, i / 2), so every index shows as itself.
uint32_t Shade(uint8_t index)
{
    return uint32_t{index} << 16 | uint32_t(255 - index) << 8 | index / 2;
}

Pixels Shades(const std::vector<uint8_t>& indices)
{
    Pixels pixels;
    for (uint8_t i : indices)
        pixels.push_back(Shade(i));
    return pixels;
}

Palette Ramp(size_t entries)
{
    Palette palette;
    for (size_t i = 0; i < entries; ++i)
        palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    return palette;
}

// The canvas as 0x00RRGGBB, row by row from the top, laid out as its header says;
// nothing for a refused stream, which has no size either.
Pixels Canvas(const std::vector<uint8_t>& stream)
{
    uint32_t size = 99;
    PictureBlock block = DecodeGif(stream.data(), uint32_t(stream.size()), size);
    EXPECT_EQ(size == 0, !block);
    if (!block)
        return {};
    const auto bitmap = LoadStruct<BitmapInfoHeader>(block.get() + 24);
    Pixels pixels;
    for (int32_t y = bitmap.biHeight - 1; y >= 0; --y) {
        for (int32_t x = 0; x < bitmap.biWidth; ++x)
            pixels.push_back(LoadStruct<uint32_t>(block.get() + 64 + (size_t(y) * bitmap.biWidth + x) * 4));
    }
    return pixels;
}

GifImage ImageOf(uint16_t width, uint16_t height, std::vector<uint8_t> indices, uint16_t left = 0,
                 uint16_t top = 0, uint8_t minCodeSize = 8, Palette localTable = {})
{
    return {left, top, width, height, false, localTable, minCodeSize, indices};
}

// The image on a canvas of its size with a 256-entry ramp.
std::vector<uint8_t> StreamOfCodes(const GifImage& image, const std::vector<uint8_t>& codes)
{
    return GifWriter().Screen(image.width, image.height, Ramp(256)).ImageWithCodes(image, codes).Trailer().Data();
}

// A canvas with a global table and background entry, then the images in order.
std::vector<uint8_t> Layers(uint16_t width, uint16_t height, const Palette& global, uint8_t background,
                            const std::vector<GifImage>& images)
{
    GifWriter writer;
    writer.Screen(width, height, global, background).GraphicControl(1);
    for (const GifImage& image : images)
        writer.Image(image);
    return writer.Trailer().Data();
}

std::vector<uint8_t> Indices(size_t count, uint32_t seed, unsigned colours = 256)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> indices(count);
    for (uint8_t& i : indices)
        i = static_cast<uint8_t>(random() % colours);
    return indices;
}

// What a stream shows, row by row from the top, or nothing when it is refused.
TEST(DecodeGif, StreamsShowTheirImagesInOrderOverTheBackground)
{
    const uint32_t noTableBackground = 0x750000;
    GifImage corner = ImageOf(1, 1, {3});
    std::vector<uint8_t> hundredColumns(200), beyondColumn90(200, 31);
    std::iota(hundredColumns.begin(), hundredColumns.end(), 0);
    std::iota(beyondColumn90.begin() + 90, beyondColumn90.begin() + 100, 0);
    std::iota(beyondColumn90.begin() + 190, beyondColumn90.end(), 100);
    // Size fields of tables whose flags are clear: header byte 10, the packed byte of
    // the descriptor after a 16-entry table and the graphic control block.
    std::vector<uint8_t> sizeWithoutGlobal = Layers(4, 3, {}, 0, {ImageOf(1, 1, {3}, 0, 0, 2, Ramp(4))});
    sizeWithoutGlobal[10] |= 7;
    std::vector<uint8_t> sizeWithoutLocal = Layers(4, 3, Ramp(16), 0, {corner});
    sizeWithoutLocal[13 + 48 + 8 + 9] |= 7;
    // Noise fills the string table halfway through the image, and the encoder clears it.
    std::vector<uint8_t> noise = Indices(128 * 64, 9);
    // Its fifth index and the string that begins at its fourth lie in the rows below the
    // canvas that the last two passes give.
    GifImage hanging = ImageOf(1, 8, {1, 2, 3, 1, 2, 3, 1, 2});
    hanging.interlaced = true;
    std::vector<uint8_t> badSignature = Layers(1, 1, Ramp(2), 1, {});
    badSignature[0] = 'g';
    // A 4 x 3 canvas of the background with the corner image at the top left.
    auto cornerOn = [](uint32_t background, uint32_t pixel) {
        Pixels pixels(12, background);
        pixels[0] = pixel;
        return pixels;
    };
    const std::tuple<const char*, std::vector<uint8_t>, Pixels> cases[] = {
        {"background entry in the global table", Layers(4, 3, Ramp(256), 200, {corner}),
         cornerOn(Shade(200), Shade(3))},
        {"background entry just beyond the global table", Layers(4, 3, Ramp(16), 16, {corner}),
         cornerOn(noTableBackground, Shade(3))},
        {"no global table", Layers(4, 3, {}, 0, {ImageOf(1, 1, {3}, 0, 0, 2, Ramp(4))}),
         cornerOn(noTableBackground, Shade(3))},
        {"a global table size without its flag", sizeWithoutGlobal, cornerOn(noTableBackground, Shade(3))},
        {"a local table size without its flag", sizeWithoutLocal, cornerOn(Shade(0), Shade(3))},
        {"an image without pixels", Layers(4, 3, Ramp(2), 1, {ImageOf(0, 5, {})}), Pixels(12, Shade(1))},
        {"an image whose data stops short paints only what it reaches",
         Layers(3, 1, Ramp(16), 5, {ImageOf(3, 1, {1, 2, 3}), ImageOf(3, 1, {9})}), Shades({9, 2, 3})},
        {"a local table colours only its own image",
         Layers(2, 1, Ramp(4), 0, {ImageOf(1, 1, {1}, 0, 0, 8, Palette(4, {255, 0, 0})), ImageOf(1, 1, {1}, 1)}),
         {0xFF0000, Shade(1)}},
        {"indices beyond the table show entry zero",
         Layers(3, 1, Ramp(256), 0, {ImageOf(3, 1, {7, 3, 255}, 0, 0, 8, Ramp(4))}), Shades({0, 3, 0})},
        {"later images cover earlier ones and are cut to the canvas",
         Layers(4, 3, Ramp(16), 0,
                {ImageOf(4, 3, std::vector<uint8_t>(12, 1)), ImageOf(2, 2, {2, 3, 4, 5}, 1, 1),
                 ImageOf(3, 1, {6, 7, 8}, 2), ImageOf(1, 3, {9, 10, 11}, 0, 2),
                 ImageOf(1000, 1, std::vector<uint8_t>(1000, 12), 65000), ImageOf(1, 1, {13}, 0, 3)}),
         Shades({1, 1, 6, 7, 1, 2, 3, 1, 9, 4, 5, 1})},
        {"a full table is cleared and the codes go on", Layers(128, 64, Ramp(256), 0, {ImageOf(128, 64, noise)}),
         Shades(noise)},
        {"a canvas-wide image at column 90 of 100 paints ten columns",
         Layers(100, 2, Ramp(256), 31, {ImageOf(100, 2, hundredColumns, 90)}), Shades(beyondColumn90)},
        {"an interlaced image hanging below a canvas of one row", Layers(1, 1, Ramp(4), 0, {hanging}), {Shade(1)}},
        {"4095 x 1 canvas", Layers(4095, 1, Ramp(2), 1, {}), Pixels(4095, Shade(1))},
        {"1 x 4095 canvas", Layers(1, 4095, Ramp(2), 1, {}), Pixels(4095, Shade(1))},
        {"4096 x 1 canvas", Layers(4096, 1, Ramp(2), 1, {}), {}},
        {"1 x 4096 canvas", Layers(1, 4096, Ramp(2), 1, {}), {}},
        {"0 x 10 canvas", Layers(0, 10, Ramp(2), 1, {}), {}},
        {"10 x 0 canvas", Layers(10, 0, Ramp(2), 1, {}), {}},
        {"wrong signature", badSignature, {}},
        {"image without a colour table", Layers(1, 1, {}, 0, {ImageOf(1, 1, {0})}), {}},
        {"4095 x 4095 image on a 1 x 1 canvas",
         GifWriter().Screen(1, 1, Ramp(2)).ImageWithCodes(ImageOf(4095, 4095, {}), {}).Trailer().Data(),
         {Shade(0)}},
        {"65535 x 65535 image", StreamOfCodes(ImageOf(65535, 65535, {}), {}), {}},
        {"minimum code size 12", StreamOfCodes(ImageOf(1, 1, {}, 0, 0, 12), {}), {}},
    };
    for (const auto& [name, stream, pixels] : cases)
        EXPECT_EQ(Canvas(stream), pixels) << name;
    uint32_t size = 99;
    EXPECT_EQ(DecodeGif(nullptr, 0, size), nullptr);
    EXPECT_EQ(size, 0u);
}

TEST(DecodeGif, StreamsCutAnywhereAreRefused)
{
    // The image's width, every byte of the global table and the first image's data,
    // 0x3B, are also the trailer's introducer: a cut descriptor, table or data must
    // not be read on as blocks. The second image covers the first.
    GifImage image = ImageOf(0x3B, 4, Indices(0x3B * 4, 7, 16), 0, 0, 4);
    image.subBlockSize = 40;
    image.localTable = Ramp(16);
    GifWriter writer;
    writer.Screen(0x3B, 4, Palette(2, {0x3B, 0x3B, 0x3B})).Comment("note");
    writer.ImageWithCodes(ImageOf(1, 1, {}, 0, 0, 4), std::vector<uint8_t>(20, 0x3B)).Image(image).Trailer();
    const std::vector<uint8_t>& whole = writer.Data();
    ASSERT_EQ(Canvas(whole), Shades(image.indices));
    for (size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_TRUE(Canvas({whole.begin(), whole.begin() + cut}).empty()) << "cut at " << cut;
}

// Any code stream, valid or not, paints the indices that the format's definition
// gives (the same strings as when every string is rebuilt through its prefixes) as
// far as its codes reach, wherever the image lies on the canvas; the rest of the
// canvas keeps its background.
TEST(DecodeLzw, AnyCodeStreamPaintsTheIndicesOfTheDefinition)
{
    std::mt19937 random(2024);
    for (int round = 0; round < 600; ++round) {
        unsigned minCodeSize = round % 12;
        // Encoded images large enough to fill the table many times over, so the width
        // reaches 12 bits, with periodic parts that make strings of thousands of indices.
        bool encoded = round % 4 == 1 && minCodeSize >= 2 && minCodeSize <= 8;
        auto width = uint16_t(1 + random() % (encoded ? 250 : 40));
        auto height = uint16_t(1 + random() % (encoded ? 100 : 40));
        // A canvas smaller or larger than the image, which lies at its corner (a third
        // of the time, every encoded image among them, and wholly on the canvas in odd
        // rounds) or anywhere up to a little beyond it.
        bool corner = round % 3 == 2;
        auto canvasWidth = uint16_t(1 + random() % (width + 8));
        auto canvasHeight = uint16_t(1 + random() % (height + 8));
        if (corner && round % 2 == 1) {
            canvasWidth = std::max(canvasWidth, width);
            canvasHeight = std::max(canvasHeight, height);
        }
        auto left = uint16_t(corner ? 0 : random() % (canvasWidth + 3));
        auto top = uint16_t(corner ? 0 : random() % (canvasHeight + 3));
        GifImage image = ImageOf(width, height, {}, left, top, uint8_t(minCodeSize));
        image.interlaced = round % 5 == 2;
        image.subBlockSize = 1 + random() % 255;
        // Mostly small codes, so the table fills instead of every code being skipped.
        std::vector<uint8_t> codeBytes(random() % 700);
        for (uint8_t& b : codeBytes)
            b = static_cast<uint8_t>(random() % 4 == 0 ? random() : random() % 3);
        std::vector<unsigned> codes;
        for (int i = 0; round % 3 == 0 && i < 400; ++i)
            codes.push_back(static_cast<unsigned>(random() % ((2u << minCodeSize) + 8)));
        // The encoder clears a full table, or goes on with it full and clears later; the
        // first part's end code is left out.
        for (int part = 0; encoded && part < 2; ++part) {
            unsigned colours = 2 + random() % ((1u << minCodeSize) - 1);
            std::vector<uint8_t> indices = Indices(random() % 20000, round + part, colours);
            size_t period = 1 + random() % 8;
            for (size_t i = indices.size() / 2; i < indices.size(); ++i)
                indices[i] = indices[i % period];
            std::vector<unsigned> more = EncodeLzw(indices, minCodeSize, {.deferredClear = random() % 2 == 0});
            codes.insert(codes.end(), more.begin(), more.end() - (part == 0 ? 1 : 0));
        }
        if (!codes.empty())
            codeBytes = PackCodes(codes, minCodeSize);
        std::vector<uint8_t> stored = ExpandCodesByChain(codeBytes, minCodeSize, size_t{width} * height);
        std::vector<uint8_t> rows(height);
        std::iota(rows.begin(), rows.end(), 0);
        rows = image.interlaced ? InterlaceRows(rows, 1, height) : rows;
        Pixels expected(size_t{canvasWidth} * canvasHeight, Shade(200));
        for (size_t i = 0; i < stored.size(); ++i) {
            size_t x = left + i % width, y = top + rows[i / width];
            if (x < canvasWidth && y < canvasHeight)
                expected[y * canvasWidth + x] = Shade(stored[i]);
        }
        GifWriter writer;
        writer.Screen(canvasWidth, canvasHeight, Ramp(256), 200).ImageWithCodes(image, codeBytes).Trailer();
        ASSERT_EQ(Canvas(writer.Data()), expected) << "round " << round;
    }
}

// The bytes the decoder asks for through the nothrow forms of operator new, which
// it allocates with (replaced below for this program).
std::atomic<size_t> allocatedBytes{0};
std::atomic<size_t> allocations{0};

void* Counted(std::size_t size, void* (*allocate)(std::size_t)) noexcept
{
    allocatedBytes += size;
    ++allocations;
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// An image costs no memory of its own: nothing for its part off the canvas nor for
// pixels its data does not reach. All a decode allocates stays within a small
// multiple of the canvas and the stream, beyond the decoder's fixed tables, in two
// allocations however many images there are.
TEST(DecodeGif, MemoryIsBoundedByTheCanvasAndTheStream)
{
    GifImage empty = ImageOf(4095, 4095, {});
    GifWriter emptyImages;
    emptyImages.Screen(1, 1, Ramp(2));
    for (int i = 0; i < 400; ++i) {
        empty.interlaced = i % 2 == 1;
        emptyImages.ImageWithCodes(empty, {});
    }
    // After a root, each code defines the next one: runs of 2, 3 ... indices, far past the canvas.
    std::vector<unsigned> runs = {256, 0};
    for (unsigned code = 258; code < 4096; ++code)
        runs.push_back(code);
    GifImage offCanvas = ImageOf(4095, 4095, {}, 1, 1);
    offCanvas.interlaced = true;
    const std::tuple<const char*, std::vector<uint8_t>> cases[] = {
        {"400 images of 4095 x 4095 without data on a 1 x 1 canvas, half interlaced", emptyImages.Trailer().Data()},
        {"long strings of an image mostly off a 3 x 3 canvas",
         GifWriter().Screen(3, 3, Ramp(256)).ImageWithCodes(offCanvas, PackCodes(runs, 8)).Trailer().Data()},
        {"a preview in two images",
         GifWriter()
             .Screen(64, 48, Ramp(256))
             .Image(ImageOf(64, 48, Indices(64 * 48, 3, 256)))
             .Image(ImageOf(20, 10, Indices(200, 4, 16), 5, 5))
             .Trailer()
             .Data()},
    };
    for (const auto& [name, stream] : cases) {
        size_t before = allocatedBytes;
        size_t beforeCount = allocations;
        uint32_t size = 0;
        PictureBlock block = DecodeGif(stream.data(), uint32_t(stream.size()), size);
        size_t allocated = allocatedBytes - before;
        ASSERT_NE(block, nullptr) << name;
        EXPECT_GE(allocated, size) << name;
        EXPECT_LE(allocated, 2 * (size + stream.size()) + 64 * 1024) << name;
        EXPECT_LE(allocations - beforeCount, 2u) << name;
    }
}

// A folder of icons releases each picture before it reads the next: the last block
// released, up to a megabyte, serves the next request it can hold without an
// allocation.
TEST(PictureBlock, TheLastReleasedBlockServesTheNextRequestItHolds)
{
    const std::tuple<uint32_t, uint32_t, bool> cases[] = {
        {1000, 1000, true}, {1000, 10, true}, {1000, 1001, false}, {1 << 20, 1 << 20, true}, {(1 << 20) + 1, 1, false},
    };
    for (const auto& [released, asked, served] : cases) {
        PictureBlock held = NewPictureBlock(1);  // whatever an earlier release left
        NewPictureBlock(released).reset();
        size_t before = allocations;
        PictureBlock block = NewPictureBlock(asked);
        std::fill_n(block.get(), asked, 0);  // all of it the caller's, as AddressSanitizer sees
        EXPECT_EQ(allocations == before, served) << released << " then " << asked;
    }
}

// Not a block kind: the rows that read a GIF stream.
constexpr uint32_t AsGif = 0x474946;

// A screen of fixed size, installed while it lives.
struct TestScreen : ScreenResolution {
    explicit TestScreen(const ScreenMetrics& metrics) : metrics(metrics) { SetCurrent(this); }
    ~TestScreen() override { SetCurrent(nullptr); }
    bool Query(ScreenMetrics& out) const override
    {
        out = metrics;
        return true;
    }
    ScreenMetrics metrics;
};

Bytes BlockOf(const PreviewPicture& picture)
{
    const uint8_t* block = picture.GetBlock();
    return block ? Bytes(block, block + picture.GetBlockSize()) : Bytes{};
}

// A complete stored block: header with a play handle left in it, then the picture.
Bytes StoredBlock(size_t pictureBytes, uint8_t fill)
{
    ByteWriter block;
    block.U16(0x1234).U16(0).U16(1).U16(2).U16(30).U16(40).U32(0xDEADBEEF).U16(0x24).U16(0).U32(0);
    return block.Fill(pictureBytes, fill).Data();
}

// The start of an enhanced metafile with its frame in 0.01 mm, then filler.
Bytes Metafile(int32_t left, int32_t top, int32_t right, int32_t bottom, size_t size = 108)
{
    ByteWriter metafile;
    metafile.U32(1).U32(108).Fill(16).U32(uint32_t(left)).U32(uint32_t(top)).U32(uint32_t(right));
    return metafile.U32(uint32_t(bottom)).Fill(size - 40, 0xAB).Data();
}

// The 16-byte record: tag, frame top, left, bottom, right, 2 bytes not taken, flags,
// picture type. The 18-byte one has 4 bytes not taken.
Bytes Record(uint32_t kind)
{
    ByteWriter record;
    record.U16(0x5A5A).U16(5).U16(6).U16(70).U16(80);
    return record.Fill(kind == PreviewKindRecord16 ? 2 : 4, 0xEE).U16(0x24).U16(7).Data();
}

// Each read replaces the picture and leaves the file after what it took; a failed
// read keeps the previous picture, and a length beyond the file is refused before
// anything is read.
TEST(PreviewPicture, ReadsReplaceThePictureOrKeepItWhenTheyFail)
{
    EXPECT_EQ(PreviewPicture().GetBlock(), nullptr);
    // Three by two pixels with a table of eight colours.
    GifImage image{.width = 3, .height = 2, .minCodeSize = 3, .indices = {1, 2, 3, 4, 5, 6}};
    const Bytes gif = GifWriter("87a").Screen(3, 2, Ramp(8)).Image(image).Trailer().Data();
    const Bytes stored = StoredBlock(40, 0x77), metafile = Metafile(0, 0, 254, 127, 200);
    const Bytes record16 = Record(PreviewKindRecord16), record18 = Record(PreviewKindRecord18);
    const uint32_t gifSize = uint32_t(gif.size());
    const uint8_t* bits = metafile.data();
    Bytes unhandled = stored;
    std::fill_n(unhandled.begin() + 12, 4, 0);
    // Tag, reserved, top, left, bottom, right, play handle, flags, picture type, data offset.
    Bytes fromRecord = {0x5A, 0x5A, 0, 0, 5, 0, 6, 0, 70, 0, 80, 0, 0, 0, 0, 0, 0x24, 0, 7, 0, 24, 0, 0, 0};
    fromRecord.insert(fromRecord.end(), metafile.begin(), metafile.end());
    // A GIF stream gives the header, then a 32-bit bitmap of the canvas, bottom row first:
    // size, width, height, planes, bits, compression, image size, resolution and colours.
    ByteWriter bitmap;
    bitmap.Fill(8).U16(2).U16(3).Fill(4).U16(0x40).Fill(6);
    bitmap.U32(40).U32(3).U32(2).U16(1).U16(32).U32(0).U32(24).Fill(16);
    for (uint8_t i : {4, 5, 6, 1, 2, 3})
        bitmap.U8(i / 2).U8(255 - i).U8(i).U8(0);
    // Kind, stored bytes, length, metafile bits and their length; the picture's block,
    // none when the read fails, and the bytes taken from the file.
    const std::tuple<uint32_t, Bytes, uint32_t, const uint8_t*, uint32_t, std::optional<Bytes>, size_t> cases[] = {
        {PreviewKindBlock, stored, 64, bits, 200, unhandled, 64},
        {PreviewKindRecord16, record16, 516, bits, 200, fromRecord, 16},
        {PreviewKindRecord18, record18, 518, bits, 200, fromRecord, 18},
        {AsGif, gif, gifSize, bits, 200, bitmap.Data(), gifSize},
        {0x1234, stored, 0, bits, 200, Bytes{}, 0},
        {AsGif, gif, 0, bits, 200, Bytes{}, 0},
        {0xD003, stored, 64, bits, 200, std::nullopt, 0},
        {PreviewKindBlock, stored, 65, bits, 200, std::nullopt, 0},
        {PreviewKindBlock, stored, 23, bits, 200, std::nullopt, 0},
        {PreviewKindBlock, {stored.begin(), stored.begin() + 20}, 34, bits, 200, std::nullopt, 0},
        {PreviewKindRecord16, record16, 16, bits, 0, std::nullopt, 16},
        {PreviewKindRecord16, {1, 2, 3}, 16, bits, 200, std::nullopt, 3},
        {PreviewKindRecord16, record16, 15, bits, 200, std::nullopt, 0},
        {PreviewKindRecord18, record18, 17, bits, 200, std::nullopt, 0},
        {PreviewKindRecord18, record18, 18, nullptr, 200, std::nullopt, 18},
        {AsGif, {gif.begin(), gif.end() - 1}, gifSize - 1, bits, 200, std::nullopt, gifSize - 1},
        {AsGif, gif, gifSize + 1, bits, 200, std::nullopt, 0},
        {AsGif, gif, 5, bits, 200, std::nullopt, 5},
    };
    for (const auto& [kind, data, length, metafileBits, bitsLength, block, taken] : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << kind << ", length " << length);
        MemoryFile file(ByteWriter().Fill(3, 0xFF).Bytes(data).Data()), previous(StoredBlock(8, 1));
        file.Seek(3);
        PreviewPicture picture;
        ASSERT_TRUE(picture.ReadBlock(previous, 32, PreviewKindBlock, nullptr, 0));
        const Bytes expected = block.value_or(BlockOf(picture));
        bool read = kind == AsGif ? picture.ReadGif(file, length)
                                  : picture.ReadBlock(file, length, kind, metafileBits, bitsLength);
        EXPECT_EQ(std::tuple(read, BlockOf(picture), picture.GetBlockSize(), file.Position()),
                  std::tuple(block.has_value(), expected, expected.size(), 3 + taken));
    }
}

// The record stores the frame (left 6, top 5, right 80, bottom 70); a screen
// replaces it with the metafile's frame at the screen's resolution.
TEST(PreviewPicture, MetafileFramesAreScaledToTheScreenWhenThereIsOne)
{
    const ScreenMetrics usable{640, 16, 480, 12};
    const Bytes metafile = Metafile(0, 0, 254, 127);
    const std::array<int, 4> stored = {6, 5, 80, 70};
    // The screen, the metafile and the length of its bits given; the picture's frame.
    using Frame = std::array<int, 4>;
    const std::tuple<const char*, std::optional<ScreenMetrics>, Bytes, uint32_t, Frame> cases[] = {
        {"scaled", usable, metafile, 40, {0, 0, 102, 51}},
        {"halves away from zero, clamped", ScreenMetrics{10, 10, 30, 10},
         Metafile(-50, 4000000, 50, -4000000), 108, {-1, 32767, 1, -32767}},
        {"no screen", std::nullopt, metafile, 108, stored},
        {"a screen without millimetres across", ScreenMetrics{640, 0, 480, 12}, metafile, 108, stored},
        {"a screen without millimetres down", ScreenMetrics{640, 16, 480, 0}, metafile, 108, stored},
        {"bits too short for a frame", usable, metafile, 39, stored},
    };
    for (const auto& [name, metrics, bits, bitsLength, expected] : cases) {
        std::optional<TestScreen> screen;
        if (metrics)
            screen.emplace(*metrics);
        MemoryFile source(Record(PreviewKindRecord16));
        PreviewPicture picture;
        ASSERT_TRUE(picture.ReadBlock(source, 16, PreviewKindRecord16, bits.data(), bitsLength)) << name;
        auto header = LoadStruct<PreviewHeader>(picture.GetBlock());
        Frame frame = {header.frameLeft, header.frameTop, header.frameRight, header.frameBottom};
        EXPECT_EQ(std::tuple(frame, picture.GetBlockSize()), std::tuple(expected, 24u + bitsLength)) << name;
    }
}

}  // namespace
}  // namespace orv

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return orv::Counted(size, ::operator new);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return orv::Counted(size, ::operator new[]);
}
