#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <optional>

#include "ByteWriter.h"
#include "GifWriter.h"
#include "preview/GifDecoder.h"
#include "preview/PictureHeaders.h"
#include "preview/PreviewPicture.h"
#include "preview/ScreenResolution.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using test::ByteWriter;
using test::GifImage;
using test::GifWriter;

// A screen of fixed size, installed while it lives.
class TestScreen : public ScreenResolution {
public:
    explicit TestScreen(const ScreenMetrics& metrics) : metrics(metrics) { SetCurrent(this); }
    ~TestScreen() override { SetCurrent(nullptr); }
    bool Query(ScreenMetrics& out) const override
    {
        out = metrics;
        return true;
    }

private:
    ScreenMetrics metrics;
};

std::vector<uint8_t> Bytes(const PreviewPicture& picture)
{
    const uint8_t* block = picture.GetBlock();
    return block ? std::vector<uint8_t>(block, block + picture.GetBlockSize()) : std::vector<uint8_t>{};
}

PreviewHeader HeaderOf(const PreviewPicture& picture)
{
    return LoadStruct<PreviewHeader>(picture.GetBlock());
}

// A complete stored block: header with a play handle left in it, then the picture.
std::vector<uint8_t> StoredBlock(size_t pictureBytes, uint8_t fill)
{
    ByteWriter block;
    block.U16(0x1234).U16(0).U16(1).U16(2).U16(30).U16(40).U32(0xDEADBEEF).U16(0x24).U16(0).U32(0);
    block.Fill(pictureBytes, fill);
    return block.Data();
}

// The start of an enhanced metafile with its frame in 0.01 mm, then filler.
std::vector<uint8_t> Metafile(int32_t left, int32_t top, int32_t right, int32_t bottom,
                              size_t size = 108)
{
    ByteWriter metafile;
    metafile.U32(1).U32(108).U32(0).U32(0).U32(0).U32(0);
    metafile.U32(uint32_t(left)).U32(uint32_t(top)).U32(uint32_t(right)).U32(uint32_t(bottom));
    metafile.Fill(size - metafile.Size(), 0xAB);
    return metafile.Data();
}

// The 16-byte record: tag, frame top, left, bottom, right, 2 bytes not taken,
// flags, picture type. The 18-byte one has 4 bytes not taken.
std::vector<uint8_t> Record(uint32_t kind)
{
    ByteWriter record;
    record.U16(0x5A5A).U16(5).U16(6).U16(70).U16(80);
    record.Fill(kind == PreviewKindRecord16 ? 2 : 4, 0xEE);
    record.U16(0x24).U16(7);
    return record.Data();
}

void Hold(PreviewPicture& picture, const std::vector<uint8_t>& stored)
{
    MemoryFile file(stored);
    ASSERT_TRUE(picture.ReadBlock(file, static_cast<uint32_t>(stored.size()), PreviewKindBlock, nullptr, 0));
}

std::vector<uint8_t> SmallGif()
{
    GifImage image;
    image.width = 2;
    image.height = 2;
    image.minCodeSize = 2;
    image.indices = {0, 1, 2, 3};
    return GifWriter().Screen(2, 2, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}}).Image(image).Trailer().Data();
}

TEST(PreviewPicture, StartsEmptyAndALengthOfZeroEmptiesIt)
{
    PreviewPicture picture;
    EXPECT_EQ(picture.GetBlock(), nullptr);
    EXPECT_EQ(picture.GetBlockSize(), 0u);

    Hold(picture, StoredBlock(8, 1));
    ASSERT_NE(picture.GetBlock(), nullptr);
    MemoryFile empty;
    EXPECT_TRUE(picture.ReadBlock(empty, 0, 0x1234, nullptr, 0));
    EXPECT_EQ(picture.GetBlock(), nullptr);
    EXPECT_EQ(picture.GetBlockSize(), 0u);

    Hold(picture, StoredBlock(8, 1));
    EXPECT_TRUE(picture.ReadGif(empty, 0));
    EXPECT_EQ(picture.GetBlock(), nullptr);
}

TEST(PreviewPicture, AStoredBlockIsTakenAsItIsWithoutItsPlayHandle)
{
    std::vector<uint8_t> stored = StoredBlock(40, 0x77);
    ByteWriter file;
    file.Fill(3, 0xFF).Bytes(stored).Fill(5, 0xFF);
    MemoryFile source(file.Data());
    source.Seek(3);
    PreviewPicture picture;
    ASSERT_TRUE(picture.ReadBlock(source, static_cast<uint32_t>(stored.size()), PreviewKindBlock, nullptr, 0));
    std::vector<uint8_t> expected = stored;
    std::memset(expected.data() + 12, 0, 4);
    EXPECT_EQ(Bytes(picture), expected);
    EXPECT_EQ(source.Position(), 3 + stored.size());
}

TEST(PreviewPicture, FailedReadsKeepThePreviousPicture)
{
    PreviewPicture picture;
    Hold(picture, StoredBlock(10, 0x11));
    const std::vector<uint8_t> before = Bytes(picture);
    std::vector<uint8_t> stored = StoredBlock(10, 0x22);
    auto attempt = [&](uint32_t length, uint32_t kind, std::vector<uint8_t> fileBytes,
                       const uint8_t* bits = nullptr, uint32_t bitsLength = 0) {
        MemoryFile file(std::move(fileBytes));
        EXPECT_FALSE(picture.ReadBlock(file, length, kind, bits, bitsLength)) << std::hex << kind;
        EXPECT_EQ(Bytes(picture), before);
    };
    attempt(34, 0xD003, stored);
    attempt(34, 0, stored);
    attempt(35, PreviewKindBlock, stored);
    attempt(34, PreviewKindBlock, {stored.begin(), stored.begin() + 20});
    attempt(23, PreviewKindBlock, stored);
    attempt(0xFFFFFFFF, PreviewKindBlock, stored);
    std::vector<uint8_t> metafile = Metafile(0, 0, 100, 100);
    attempt(16, PreviewKindRecord16, Record(PreviewKindRecord16));
    attempt(16, PreviewKindRecord16, Record(PreviewKindRecord16), metafile.data(), 0);
    attempt(16, PreviewKindRecord16, {1, 2, 3}, metafile.data(), 108);
    attempt(15, PreviewKindRecord16, Record(PreviewKindRecord16), metafile.data(), 108);
    attempt(17, PreviewKindRecord18, Record(PreviewKindRecord18), metafile.data(), 108);
    attempt(18, PreviewKindRecord18, Record(PreviewKindRecord18), nullptr, 108);

    std::vector<uint8_t> gif = SmallGif();
    std::vector<uint8_t> broken(gif.begin(), gif.end() - 1);
    auto attemptGif = [&](const std::vector<uint8_t>& bytes, uint32_t length) {
        MemoryFile source(bytes);
        EXPECT_FALSE(picture.ReadGif(source, length)) << length;
        EXPECT_EQ(Bytes(picture), before);
    };
    attemptGif(broken, static_cast<uint32_t>(broken.size()));
    attemptGif(gif, static_cast<uint32_t>(gif.size()) + 1);
    attemptGif(gif, 0xFFFFFFFF);
    attemptGif(gif, 5);
}

TEST(PreviewPicture, MetafileRecordsMapTheirFieldsAndTakeTheCallersBits)
{
    std::vector<uint8_t> metafile = Metafile(0, 0, 254, 127, 200);
    for (uint32_t kind : {PreviewKindRecord16, PreviewKindRecord18}) {
        ByteWriter file;
        file.Bytes(Record(kind)).Fill(500, 0x99);
        MemoryFile source(file.Data());
        PreviewPicture picture;
        ASSERT_TRUE(picture.ReadBlock(source, 516, kind, metafile.data(), 200));
        // Tag, reserved, top, left, bottom, right, play handle, flags, picture type, data offset.
        std::vector<uint8_t> expected = {0x5A, 0x5A, 0, 0, 5, 0, 6, 0, 70, 0, 80, 0,
                                         0, 0, 0, 0, 0x24, 0, 7, 0, 24, 0, 0, 0};
        expected.insert(expected.end(), metafile.begin(), metafile.end());
        EXPECT_EQ(Bytes(picture), expected);
    }
}

// The record stores the frame (left 6, top 5, right 80, bottom 70); a screen
// replaces it with the metafile's frame at the screen's resolution.
TEST(PreviewPicture, MetafileFramesAreScaledToTheScreenWhenThereIsOne)
{
    const ScreenMetrics usable{640, 16, 480, 12};
    const std::vector<uint8_t> metafile = Metafile(0, 0, 254, 127);
    const struct {
        const char* name;
        std::optional<ScreenMetrics> screen;
        uint32_t kind;
        std::vector<uint8_t> metafile;
        uint32_t bitsLength;
        std::array<int, 4> frame;
    } cases[] = {
        {"scaled", usable, PreviewKindRecord16, metafile, 108, {0, 0, 102, 51}},
        {"halves away from zero, clamped", ScreenMetrics{10, 10, 30, 10}, PreviewKindRecord18,
         Metafile(-50, 4000000, 50, -4000000), 108, {-1, 32767, 1, -32767}},
        {"no screen", std::nullopt, PreviewKindRecord16, metafile, 108, {6, 5, 80, 70}},
        {"a screen without millimetres", ScreenMetrics{640, 0, 480, 12}, PreviewKindRecord16, metafile, 108,
         {6, 5, 80, 70}},
        {"bits too short for a frame, no screen", std::nullopt, PreviewKindRecord16, metafile, 39, {6, 5, 80, 70}},
        {"bits too short for a frame", usable, PreviewKindRecord16, metafile, 39, {6, 5, 80, 70}},
    };
    for (const auto& c : cases) {
        std::optional<TestScreen> screen;
        if (c.screen)
            screen.emplace(*c.screen);
        MemoryFile source(Record(c.kind));
        PreviewPicture picture;
        ASSERT_TRUE(picture.ReadBlock(source, c.kind == PreviewKindRecord16 ? 16 : 18, c.kind, c.metafile.data(),
                                      c.bitsLength))
            << c.name;
        PreviewHeader header = HeaderOf(picture);
        std::array<int, 4> frame = {header.frameLeft, header.frameTop, header.frameRight, header.frameBottom};
        EXPECT_EQ(frame, c.frame) << c.name;
        EXPECT_EQ(picture.GetBlockSize(), 24u + c.bitsLength) << c.name;
    }
}

TEST(PreviewPicture, ReadGifInstallsTheDecodedBitmap)
{
    std::vector<uint8_t> gif = SmallGif();
    ByteWriter file;
    file.Fill(7, 0).Bytes(gif).Fill(9, 0x3B);
    MemoryFile source(file.Data());
    source.Seek(7);
    PreviewPicture picture;
    ASSERT_TRUE(picture.ReadGif(source, static_cast<uint32_t>(gif.size())));
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> expected = DecodeGif(gif.data(), static_cast<uint32_t>(gif.size()), size);
    EXPECT_EQ(Bytes(picture), std::vector<uint8_t>(expected.get(), expected.get() + size));
    EXPECT_EQ(HeaderOf(picture).flags, 0x40);
}

}  // namespace
}  // namespace orv
