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
using Given = std::tuple<int16_t, int16_t, int16_t, std::vector<uint8_t>>;

// Converts by giving back bits of its own (none: the metafile cannot be converted)
// and keeps what it was given; installed while it lives.
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
    mutable std::vector<Given> given;
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

TEST(ModulRead, VersionReleaseAndPreviewFollowTheRecordTypes)
{
    FakeConverter converter;
    const std::vector<uint8_t> bits = test::WindowsMetafileBits(), smallest(18, 0x11);
    const struct {
        const char* label;
        uint16_t variant, previewType, versionType;
        std::vector<uint8_t> versionData;
        int32_t version, release;
        std::vector<uint8_t> metafile;  // empty: the stored preview block
    } cases[] = {
        {"0xD002", 0, 0xD002, 0xD003, VersionBlock(7, 7000), 4500, 4, bits},
        {"0xD001", 0, 0xD001, 0xD003, VersionBlock(7, 7000), 4160, 0, bits},
        {"other record C", 0, 0xD005, 0xD006, VersionBlock(3, 6000), 0, 0, {}},
        {"variant 2", 2, 0xD003, 0xD003, VersionBlock(7, 7000), 4160, 0, bits},
        {"0xD003 block", 0, 0xD005, 0xD003, VersionBlock(0, 6010), 6010, 0, {}},
        {"0xD004 block", 0, 0xD005, 0xD004, VersionBlock(-2, 5100), 5100, -2, {}},
        {"0xD004 without a block", 0, 0xD005, 0xD004, {}, 5000, 0, {}},
        {"0xD004 with part of a block", 0, 0xD005, 0xD004, {1, 2, 3, 4, 5, 6, 7}, 5000, 0, {}},
        {"the smallest metafile", 0, 0xD001, 0, {}, 4160, 0, smallest},
    };
    ModulFile module;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        converter.given.clear();
        ModulBuilder builder;
        builder.Variant(c.variant).Record(ModulRecord::C, c.versionType, c.versionData);
        const std::vector<uint8_t>& stored = c.metafile.empty() ? bits : c.metafile;
        builder.Record(ModulRecord::A, 3, test::StoredMetafile(-8, 2000, -1000, stored));
        uint16_t recordKind = c.variant == 2 ? 0xD001 : c.previewType;
        builder.Record(ModulRecord::B, c.previewType,
                       c.metafile.empty() ? StoredPreview() : PreviewRecord(recordKind));
        ASSERT_TRUE(ReadModule(module, builder.Build()));
        EXPECT_EQ(std::tuple(module.version, module.release), std::tuple(c.version, c.release));

        std::vector<uint8_t> block = PreviewBytes(module);
        if (c.metafile.empty()) {
            EXPECT_EQ(block, StoredPreview());
            EXPECT_TRUE(converter.given.empty());
            continue;
        }
        EXPECT_EQ(converter.given, std::vector<Given>{Given(-8, 2000, -1000, c.metafile)});
        ASSERT_EQ(block.size(), sizeof(PreviewHeader) + converter.result.size());
        EXPECT_EQ(LoadStruct<PreviewHeader>(block.data()).flags, 0x24);
        EXPECT_EQ(std::vector<uint8_t>(block.begin() + sizeof(PreviewHeader), block.end()), converter.result);
    }
}

TEST(ModulRead, FilesWithoutAReadablePreviewFail)
{
    const std::vector<uint8_t> metafile = test::StoredMetafile(8, 1, 1, test::WindowsMetafileBits());
    const std::vector<uint8_t> shortMetafile = test::StoredMetafile(8, 1, 1, std::vector<uint8_t>(17, 0));
    const ModulBuilder stored = ModulBuilder().Record(ModulRecord::B, 0xD005, StoredPreview());
    const ModulBuilder converted = ModulBuilder().Record(ModulRecord::B, 0xD002, PreviewRecord(0xD002));
    const std::vector<uint8_t> storedBytes = stored.Build();
    enum Converter { None, Converts, Fails };
    const struct {
        const char* label;
        std::vector<uint8_t> bytes;
        Converter converter;
    } cases[] = {
        {"wrong magic", ModulBuilder(stored).Magic(50001).Build(), Converts},
        {"short", std::vector<uint8_t>(storedBytes.begin(), storedBytes.begin() + 181), Converts},
        {"record A of type 2", ModulBuilder(stored).Record(ModulRecord::A, 2, metafile).Build(), Converts},
        {"record A of length 0", ModulBuilder(stored).Point(ModulRecord::A, 0, 271).Build(), Converts},
        {"record A without a metafile header",
         ModulBuilder(stored).Record(ModulRecord::A, 3, shortMetafile).Build(), Converts},
        {"record A without a metafile header, converted",
         ModulBuilder(converted).Record(ModulRecord::A, 3, shortMetafile).Build(), Converts},
        {"record A past the end", ModulBuilder(converted).Point(ModulRecord::A, 56, 400).Build(), Converts},
        {"record A longer than the file",
         ModulBuilder(converted).Point(ModulRecord::A, 0xFFFFFFFFu, 271).Build(), Converts},
        {"no converter", converted.Build(), None},
        {"a metafile that does not convert", converted.Build(), Fails},
        {"preview of no known kind",
         ModulBuilder().Record(ModulRecord::B, 0xD003, PreviewRecord(0xD001)).Build(), Converts},
        {"preview past the end", ModulBuilder(stored).Point(ModulRecord::B, 60, 5000).Build(), Converts},
        {"preview longer than the file",
         ModulBuilder(stored).Point(ModulRecord::B, 0x7FFFFFFFu, 327).Build(), Converts},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::optional<FakeConverter> converter;
        converter.emplace();
        ModulFile module;
        ASSERT_TRUE(ReadModule(module, converted.Build()));
        converter.reset();
        if (c.converter != None)
            converter.emplace(c.converter == Converts ? std::vector<uint8_t>(40, 1) : std::vector<uint8_t>{});
        EXPECT_FALSE(ReadModule(module, c.bytes));
        EXPECT_EQ(std::tuple(module.version, module.release, module.preview.GetBlock()),
                  std::tuple(0, 0, static_cast<const uint8_t*>(nullptr)));
        if (converter) {
            for (const Given& given : converter->given)
                EXPECT_GE(std::get<3>(given).size(), 18u);
        }
    }
}

TEST(ModulOnDisk, LoadsFromAPath)
{
    FakeConverter converter;
    test::ScratchFolder folder;
    std::vector<uint8_t> bytes = ModulBuilder().Record(ModulRecord::B, 0xD005, StoredPreview()).Build();
    std::string path = folder.Write("piece.mod", bytes);
    ModulFile module;
    EXPECT_TRUE(module.Load(path.c_str()));
    EXPECT_FALSE(module.Load(folder.PathOf("missing.mod").c_str()));
}

}  // namespace
}  // namespace orv
