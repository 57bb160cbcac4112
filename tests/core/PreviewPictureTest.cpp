#include <gtest/gtest.h>

#include <cstring>

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

class FixedScreen : public ScreenResolution {
public:
    FixedScreen(int32_t horizontalPixels, int32_t horizontalMillimetres, int32_t verticalPixels,
                int32_t verticalMillimetres)
        : metrics{horizontalPixels, horizontalMillimetres, verticalPixels, verticalMillimetres}
    {
    }
    bool Query(ScreenMetrics& out) const override
    {
        out = metrics;
        return true;
    }

private:
    ScreenMetrics metrics;
};

// Installs a screen for one test and takes it away again.
class ScreenForTest {
public:
    explicit ScreenForTest(const ScreenResolution* screen) { ScreenResolution::SetCurrent(screen); }
    ~ScreenForTest() { ScreenResolution::SetCurrent(nullptr); }
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
    EXPECT_EQ(picture.GetBlockSize(), stored.size());
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
        EXPECT_EQ(picture.GetBlockSize(), 224u);
        PreviewHeader header = HeaderOf(picture);
        EXPECT_EQ(header.tag, 0x5A5A);
        EXPECT_EQ(header.reserved, 0);
        EXPECT_EQ(header.frameTop, 5);
        EXPECT_EQ(header.frameLeft, 6);
        EXPECT_EQ(header.frameBottom, 70);
        EXPECT_EQ(header.frameRight, 80);
        EXPECT_EQ(header.playHandle, 0u);
        EXPECT_EQ(header.flags, 0x24);
        EXPECT_EQ(header.pictureType, 7);
        EXPECT_EQ(header.dataOffset, 24u);
        EXPECT_EQ(std::vector<uint8_t>(picture.GetBlock() + 24, picture.GetBlock() + 224), metafile);
    }
}

TEST(PreviewPicture, MetafileFramesAreScaledToTheScreen)
{
    FixedScreen screen(640, 16, 480, 12);
    ScreenForTest installed(&screen);
    std::vector<uint8_t> metafile = Metafile(0, 0, 254, 127);
    MemoryFile source(Record(PreviewKindRecord16));
    PreviewPicture picture;
    ASSERT_TRUE(picture.ReadBlock(source, 16, PreviewKindRecord16, metafile.data(), 108));
    PreviewHeader header = HeaderOf(picture);
    EXPECT_EQ(header.frameLeft, 0);
    EXPECT_EQ(header.frameTop, 0);
    EXPECT_EQ(header.frameRight, 102);
    EXPECT_EQ(header.frameBottom, 51);
    EXPECT_EQ(picture.GetBlockSize(), 24u + 108u);
}

TEST(PreviewPicture, ScaledFramesRoundHalvesAwayFromZeroAndClamp)
{
    FixedScreen screen(10, 10, 30, 10);
    ScreenForTest installed(&screen);
    std::vector<uint8_t> metafile = Metafile(-50, 4000000, 50, -4000000);
    MemoryFile source(Record(PreviewKindRecord18));
    PreviewPicture picture;
    ASSERT_TRUE(picture.ReadBlock(source, 18, PreviewKindRecord18, metafile.data(), 108));
    PreviewHeader header = HeaderOf(picture);
    EXPECT_EQ(header.frameLeft, -1);
    EXPECT_EQ(header.frameRight, 1);
    EXPECT_EQ(header.frameTop, 32767);
    EXPECT_EQ(header.frameBottom, -32767);
}

TEST(PreviewPicture, TheStoredFrameStaysWithoutAUsableScreenOrFrame)
{
    FixedScreen noSize(640, 0, 480, 12);
    std::vector<uint8_t> metafile = Metafile(0, 0, 254, 127);
    struct Case {
        const ScreenResolution* screen;
        uint32_t bitsLength;
    } cases[] = {{nullptr, 108}, {&noSize, 108}, {nullptr, 39}};
    FixedScreen usable(640, 16, 480, 12);
    for (const Case& c : cases) {
        ScreenForTest installed(c.screen);
        MemoryFile source(Record(PreviewKindRecord16));
        PreviewPicture picture;
        ASSERT_TRUE(picture.ReadBlock(source, 16, PreviewKindRecord16, metafile.data(), c.bitsLength));
        EXPECT_EQ(HeaderOf(picture).frameRight, 80);
        EXPECT_EQ(HeaderOf(picture).frameBottom, 70);
        EXPECT_EQ(picture.GetBlockSize(), 24u + c.bitsLength);
    }
    ScreenForTest installed(&usable);
    MemoryFile source(Record(PreviewKindRecord16));
    PreviewPicture picture;
    ASSERT_TRUE(picture.ReadBlock(source, 16, PreviewKindRecord16, metafile.data(), 39));
    EXPECT_EQ(HeaderOf(picture).frameRight, 80);
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
    ASSERT_EQ(picture.GetBlockSize(), size);
    EXPECT_EQ(Bytes(picture), std::vector<uint8_t>(expected.get(), expected.get() + size));
    EXPECT_EQ(HeaderOf(picture).flags, 0x40);
}

TEST(PreviewPicture, ReadGifKeepsThePreviousPictureWhenItFails)
{
    PreviewPicture picture;
    Hold(picture, StoredBlock(10, 0x11));
    const std::vector<uint8_t> before = Bytes(picture);
    std::vector<uint8_t> gif = SmallGif();
    std::vector<uint8_t> broken = gif;
    broken.pop_back();
    auto attempt = [&](const std::vector<uint8_t>& bytes, uint32_t length) {
        MemoryFile source(bytes);
        EXPECT_FALSE(picture.ReadGif(source, length));
        EXPECT_EQ(Bytes(picture), before);
    };
    attempt(broken, static_cast<uint32_t>(broken.size()));
    attempt(gif, static_cast<uint32_t>(gif.size()) + 1);
    attempt(gif, 0xFFFFFFFF);
    attempt(gif, 5);
}

}  // namespace
}  // namespace orv
