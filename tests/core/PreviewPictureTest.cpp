#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <tuple>

#include "ByteWriter.h"
#include "GifWriter.h"
#include "preview/PictureHeaders.h"
#include "preview/PreviewPicture.h"
#include "preview/ScreenResolution.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using test::ByteWriter;
using Bytes = std::vector<uint8_t>;

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
    // Three by two pixels with a table of eight colours, (i, 255 - i, i / 2) for index i.
    test::Palette ramp;
    for (uint8_t i = 0; i < 8; ++i)
        ramp.push_back({i, uint8_t(255 - i), uint8_t(i / 2)});
    test::GifImage image{.width = 3, .height = 2, .minCodeSize = 3, .indices = {1, 2, 3, 4, 5, 6}};
    const Bytes gif = test::GifWriter("87a").Screen(3, 2, ramp).Image(image).Trailer().Data();
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
        {0, stored, 64, bits, 200, std::nullopt, 0},
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
