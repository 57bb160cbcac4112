#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ModulBuilder.h"
#include "PreviewBlockBuilder.h"
#include "ScratchFolder.h"
#include "libpart/ModulFile.h"
#include "preview/MetafileConverter.h"
#include "preview/PictureHeaders.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using test::ModulBuilder;
using test::ModulRecord;
using test::PreviewRecord;
using test::VersionBlock;

// Converts by giving back bits of its own, and keeps what it was given. Installed for
// the length of a test; an empty result stands for a metafile that cannot be converted.
class FakeConverter : public MetafileConverter {
public:
    explicit FakeConverter(std::vector<uint8_t> result = std::vector<uint8_t>(40, 0xE3))
        : result(std::move(result))
    {
        SetCurrent(this);
    }
    ~FakeConverter() override { SetCurrent(nullptr); }

    std::vector<uint8_t> ToEnhanced(const MetafilePicture& picture, const uint8_t* bits,
                                    uint32_t length) const override
    {
        given.emplace_back(picture.mappingMode, picture.horizontalExtent, picture.verticalExtent,
                           std::vector<uint8_t>(bits, bits + length));
        return result;
    }

    std::vector<uint8_t> result;
    mutable std::vector<std::tuple<int16_t, int16_t, int16_t, std::vector<uint8_t>>> given;
};

std::vector<uint8_t> StoredPreview()
{
    return test::PreviewBlockBuilder::Bitmap32(2, 2, [](int, int) { return 0x3C3C3Cu; }).Build();
}

std::vector<uint8_t> PreviewBytes(const ModulFile& module)
{
    const uint8_t* block = module.preview.GetBlock();
    return block ? std::vector<uint8_t>(block, block + module.preview.GetBlockSize())
                 : std::vector<uint8_t>{};
}

bool ReadModule(ModulFile& module, const std::vector<uint8_t>& bytes)
{
    MemoryFile file(bytes);
    return module.Read(file);
}

TEST(ModulRead, VersionAndReleaseFollowTheRecordTypes)
{
    FakeConverter converter;
    const std::vector<uint8_t> noBlock;
    const struct {
        const char* label;
        uint16_t variant;
        uint16_t previewType;
        uint16_t versionType;
        std::vector<uint8_t> versionData;
        int32_t version, release;
    } cases[] = {
        {"0xD001", 0, 0xD001, 0xD003, VersionBlock(7, 7000), 4160, 0},
        {"0xD002", 0, 0xD002, 0xD003, VersionBlock(7, 7000), 4500, 4},
        {"variant 2", 2, 0xD003, 0xD003, VersionBlock(7, 7000), 4160, 0},
        {"0xD003 block", 0, 0xD005, 0xD003, VersionBlock(0, 6010), 6010, 0},
        {"0xD004 block", 0, 0xD005, 0xD004, VersionBlock(-2, 5100), 5100, -2},
        {"0xD004 without a block", 0, 0xD005, 0xD004, noBlock, 5000, 0},
        {"0xD004 with part of a block", 0, 0xD005, 0xD004, {1, 2, 3, 4, 5, 6, 7}, 5000, 0},
        {"other record C", 0, 0xD005, 0xD006, VersionBlock(3, 6000), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        bool fromMetafile = c.variant == 2 || c.previewType != 0xD005;
        ModulBuilder builder;
        builder.Variant(c.variant).Record(ModulRecord::C, c.versionType, c.versionData);
        uint16_t recordKind = c.variant == 2 ? 0xD001 : c.previewType;
        builder.Record(ModulRecord::B, c.previewType,
                       fromMetafile ? PreviewRecord(recordKind) : StoredPreview());
        ModulFile module;
        ASSERT_TRUE(ReadModule(module, builder.Build()));
        EXPECT_EQ(std::tuple(module.version, module.release), std::tuple(c.version, c.release));
    }
}

TEST(ModulRead, ThePreviewIsTheStoredBlockOrMadeFromTheStoredMetafile)
{
    FakeConverter converter;
    ModulFile stored;
    ASSERT_TRUE(ReadModule(stored, ModulBuilder().Record(ModulRecord::B, 0xD005, StoredPreview()).Build()));
    EXPECT_EQ(PreviewBytes(stored), StoredPreview());
    EXPECT_TRUE(converter.given.empty());

    // The smallest stored metafile is its head and a metafile header.
    const std::pair<uint16_t, std::vector<uint8_t>> cases[] = {
        {0xD001, test::WindowsMetafileBits()},
        {0xD002, test::WindowsMetafileBits()},
        {0xD001, std::vector<uint8_t>(18, 0x11)},
    };
    for (const auto& [kind, bits] : cases) {
        SCOPED_TRACE(testing::Message() << kind << " " << bits.size());
        converter.given.clear();
        ModulBuilder builder;
        builder.Record(ModulRecord::A, 3, test::StoredMetafile(-8, 2000, -1000, bits));
        builder.Record(ModulRecord::B, kind, PreviewRecord(kind));
        ModulFile module;
        ASSERT_TRUE(ReadModule(module, builder.Build()));
        ASSERT_EQ(converter.given.size(), 1u);
        EXPECT_EQ(converter.given[0], std::tuple(int16_t{-8}, int16_t{2000}, int16_t{-1000}, bits));

        std::vector<uint8_t> block = PreviewBytes(module);
        ASSERT_EQ(block.size(), sizeof(PreviewHeader) + converter.result.size());
        auto header = LoadStruct<PreviewHeader>(block.data());
        EXPECT_EQ(std::tuple(header.frameTop, header.frameLeft, header.frameBottom, header.frameRight,
                             header.flags),
                  std::tuple(int16_t{5}, int16_t{6}, int16_t{70}, int16_t{80}, uint16_t{0x24}));
        EXPECT_EQ(std::vector<uint8_t>(block.begin() + sizeof(PreviewHeader), block.end()), converter.result);
    }
}

TEST(ModulRead, FilesWithoutAReadablePreviewFail)
{
    const std::vector<uint8_t> storedPreview = StoredPreview();
    const std::vector<uint8_t> metafile = test::StoredMetafile(8, 1, 1, test::WindowsMetafileBits());
    const std::vector<uint8_t> shortMetafile = test::StoredMetafile(8, 1, 1, std::vector<uint8_t>(17, 0));
    const ModulBuilder stored = ModulBuilder().Record(ModulRecord::B, 0xD005, storedPreview);
    const ModulBuilder converted = ModulBuilder().Record(ModulRecord::B, 0xD001, PreviewRecord(0xD001));
    std::vector<uint8_t> cut = stored.Build();
    cut.resize(181);
    enum Converter { None, Converts, Fails };
    const struct {
        const char* label;
        std::vector<uint8_t> bytes;
        Converter converter;
    } cases[] = {
        {"wrong magic", ModulBuilder(stored).Magic(50001).Build(), Converts},
        {"short", cut, Converts},
        {"record A of type 2", ModulBuilder(stored).Record(ModulRecord::A, 2, metafile).Build(), Converts},
        {"record A of length 0", ModulBuilder(stored).Point(ModulRecord::A, 0, 271).Build(), Converts},
        {"record A without a metafile header",
         ModulBuilder(stored).Record(ModulRecord::A, 3, shortMetafile).Build(), Converts},
        {"record A without a metafile header, 0xD001",
         ModulBuilder(converted).Record(ModulRecord::A, 3, shortMetafile).Build(), Converts},
        {"record A past the end", ModulBuilder(converted).Point(ModulRecord::A, 56, 400).Build(), Converts},
        {"record A longer than the file",
         ModulBuilder(converted).Point(ModulRecord::A, 0xFFFFFFFFu, 271).Build(), Converts},
        {"no converter", converted.Build(), None},
        {"a metafile that does not convert",
         ModulBuilder().Record(ModulRecord::B, 0xD002, PreviewRecord(0xD002)).Build(), Fails},
        {"preview of no known kind",
         ModulBuilder().Record(ModulRecord::B, 0xD003, PreviewRecord(0xD001)).Build(), Converts},
        {"preview past the end", ModulBuilder(stored).Point(ModulRecord::B, 60, 5000).Build(), Converts},
        {"preview longer than the file",
         ModulBuilder(stored).Point(ModulRecord::B, 0x7FFFFFFFu, 327).Build(), Converts},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::optional<FakeConverter> converter;
        if (c.converter != None)
            converter.emplace(c.converter == Converts ? std::vector<uint8_t>(40, 1) : std::vector<uint8_t>{});
        ModulFile module;
        EXPECT_FALSE(ReadModule(module, c.bytes));
        EXPECT_EQ(module.preview.GetBlock(), nullptr);
        if (converter) {
            for (const auto& given : converter->given)
                EXPECT_GE(std::get<3>(given).size(), 18u);
        }
    }
}

TEST(ModulOnDisk, LoadsFromAPath)
{
    FakeConverter converter;
    test::ScratchFolder folder;
    std::vector<uint8_t> bytes = ModulBuilder().Record(ModulRecord::B, 0xD002, PreviewRecord(0xD002)).Build();
    std::string path = folder.Write("piece.mod", bytes);
    ModulFile module;
    ASSERT_TRUE(module.Load(path.c_str()));
    EXPECT_EQ(module.version, 4500);
    EXPECT_FALSE(module.Load(folder.PathOf("missing.mod").c_str()));
}

}  // namespace
}  // namespace orv
