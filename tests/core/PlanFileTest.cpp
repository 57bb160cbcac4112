#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "ByteWriter.h"
#include "GifWriter.h"
#include "PlanBuilder.h"
#include "ProjectDataBuilder.h"
#include "ScopedCharTables.h"
#include "ScratchFolder.h"
#include "UntouchableFile.h"
#include "plan/PageTexts.h"
#include "plan/PlanFile.h"
#include "preview/PictureHeaders.h"
#include "resources/resource.h"
#include "util/CharTables.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using RomanTables = test::ScopedCharTables;
using test::UntouchableFile;

using test::ByteOrder;
using test::ByteWriter;
using test::LegacyPlanBuilder;
using test::PlanBuilder;
using test::PlanPointer;

constexpr uint16_t WW = 0x5757;
constexpr uint16_t MM = 0x4D4D;
constexpr uint16_t UU = 0x5555;

ByteOrder OrderOf(uint16_t platform)
{
    return platform == WW ? ByteOrder::Little : ByteOrder::Big;
}

// "Villa Résidence" as each platform stores it.
std::string StoredName(uint16_t platform)
{
    return platform == WW ? "Villa R\xE9sidence" : "Villa R\x8Esidence";
}
const std::string ShownName = "Villa R\xE9sidence";

std::vector<uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::vector<uint8_t> SmallGif()
{
    test::GifImage image;
    image.width = 2;
    image.height = 2;
    image.minCodeSize = 2;
    image.indices = {0, 1, 1, 0};
    return test::GifWriter().Screen(2, 2, {{255, 0, 0}, {0, 0, 255}}).Image(image).Trailer().Data();
}

// A stored preview block: its header, then 40 bytes of picture.
std::vector<uint8_t> StoredPreview()
{
    ByteWriter block;
    block.U16(0x1234)
        .U16(0)
        .U16(0)
        .U16(0)
        .U16(30)
        .U16(40)
        .U32(0)
        .U16(PreviewFlagAndBitmap)
        .U16(0)
        .U32(24);
    block.Fill(40, 0x3C);
    return block.Data();
}

std::vector<uint8_t> PreviewBytes(const PlanFile& plan)
{
    const uint8_t* block = plan.preview.GetBlock();
    return block ? std::vector<uint8_t>(block, block + plan.preview.GetBlockSize())
                 : std::vector<uint8_t>{};
}

std::string NotesText(const PlanFile& plan)
{
    return plan.notes.GetText() ? std::string(plan.notes.GetText(), plan.notes.GetLength())
                                : std::string();
}

bool ReadPlan(PlanFile& plan, const std::vector<uint8_t>& bytes)
{
    MemoryFile file(bytes);
    return plan.Read(file);
}

// Plan headers

TEST(PlanHeader, EveryPlatformReadsTheSameFields)
{
    RomanTables roman;
    for (uint16_t platform : {WW, MM, UU}) {
        SCOPED_TRACE(platform);
        PlanFile plan;
        ASSERT_TRUE(ReadPlan(plan, PlanBuilder(platform)
                                       .Release(42)
                                       .Version(4550)
                                       .DocumentName(StoredName(platform))
                                       .Build()));
        EXPECT_EQ(plan.platform, platform);
        EXPECT_EQ(plan.release, 42);
        EXPECT_EQ(plan.version, 4550);
        EXPECT_EQ(plan.documentName, ShownName);
        EXPECT_EQ(plan.nameOffset, 16u);
        EXPECT_EQ(plan.previewOffset, 0);
        EXPECT_EQ(plan.notesOffset, 0);
        EXPECT_EQ(plan.projectDataOffset, 0);
        EXPECT_EQ(plan.signInValue, -1);
        EXPECT_EQ(plan.changesValue, -1);
        EXPECT_FALSE(plan.HasNotes());
        EXPECT_FALSE(plan.HasProjectData());
    }
}

TEST(PlanHeader, NegativeNumbersAndAnUnterminatedNameAreReadAsStored)
{
    for (uint16_t platform : {WW, MM}) {
        PlanFile plan;
        ASSERT_TRUE(ReadPlan(plan, PlanBuilder(platform)
                                       .Release(-3)
                                       .Version(-1)
                                       .DocumentName(std::string(32, 'n'))
                                       .Build()));
        EXPECT_EQ(plan.release, -3);
        EXPECT_EQ(plan.version, -1);
        EXPECT_EQ(plan.documentName, std::string(31, 'n'));
    }
}

TEST(PlanHeader, ShortFilesFail)
{
    std::vector<uint8_t> full = PlanBuilder(WW).Version(5000).Build();
    for (size_t size : {0u, 1u, 2u, 255u}) {
        PlanFile plan;
        EXPECT_FALSE(ReadPlan(plan, std::vector<uint8_t>(full.begin(), full.begin() + size)))
            << size;
    }
    PlanFile plan;
    EXPECT_TRUE(ReadPlan(plan, std::vector<uint8_t>(full.begin(), full.begin() + 256)));
}

// Legacy headers

struct LegacyCase {
    const char* label;
    float leading;
    ByteOrder order;
    size_t size;
    size_t nameAt;  // 0: no name written
    int16_t release;
    bool loads;
    uint16_t platform;
    int32_t version;
    uint32_t nameOffset;
    const char* name;
    int16_t expectedRelease;
};

TEST(LegacyPlanHeader, TheLeadingValueSelectsPlatformVersionAndForm)
{
    RomanTables roman;
    const LegacyCase cases[] = {
        {"104.1: Windows L2", 104.1f, ByteOrder::Little, 512, 120, 0, true, WW, 4100, 120,
         "Villa R\x8Esidence", 0},
        {"104.1 short", 104.1f, ByteOrder::Little, 511, 120, 0, false, WW, 4100, 0, "", 0},
        {"4.5: Mac L3", 4.5f, ByteOrder::Big, 512, 96, 0x0102, true, MM, 4500, 96,
         "Villa R\xE9sidence", 0x0102},
        {"4.5 short", 4.5f, ByteOrder::Big, 511, 96, 0x0102, false, MM, 4500, 0, "", 0},
        {"105.0: Windows L3", 105.0f, ByteOrder::Little, 512, 96, 0x0102, true, WW, 5000, 96,
         "Villa R\x8Esidence", 0x0102},
        {"0.5: Mac L1 reads nothing more", 0.5f, ByteOrder::Big, 4, 0, 0, true, MM, 500, 0, "", 0},
        {"100.5: Windows L1", 100.5f, ByteOrder::Little, 36, 4, 0, true, WW, 500, 4,
         "Villa R\x8Esidence", 0},
        {"100.5 short", 100.5f, ByteOrder::Little, 35, 4, 0, false, WW, 500, 0, "", 0},
        {"1.0: last L1", 1.0f, ByteOrder::Big, 4, 0, 0, true, MM, 1000, 0, "", 0},
        {"4.15: Mac L2 has no name", 4.15f, ByteOrder::Big, 86, 0, 0, true, MM, 4150, 0, "", 0},
        {"4.15 short", 4.15f, ByteOrder::Big, 85, 0, 0, false, MM, 4150, 0, "", 0},
        {"4.18: last L2", 104.18f, ByteOrder::Little, 512, 120, 0, true, WW, 4180, 120,
         "Villa R\x8Esidence", 0},
        {"4.181: first L3", 4.181f, ByteOrder::Big, 512, 96, 7, true, MM, 4181, 96,
         "Villa R\xE9sidence", 7},
    };
    for (const LegacyCase& c : cases) {
        SCOPED_TRACE(c.label);
        LegacyPlanBuilder builder(c.leading, c.order, c.size);
        if (c.nameAt != 0)
            builder.Name(c.nameAt, "Villa R\x8Esidence");
        if (c.release != 0)
            builder.Release(c.release);
        PlanFile plan;
        ASSERT_EQ(ReadPlan(plan, builder.Build()), c.loads);
        EXPECT_EQ(plan.platform, c.platform);
        EXPECT_EQ(plan.version, c.version);
        if (!c.loads)
            continue;
        EXPECT_EQ(plan.nameOffset, c.nameOffset);
        EXPECT_EQ(plan.documentName, c.name);
        EXPECT_EQ(plan.release, c.expectedRelease);
        EXPECT_EQ(plan.previewOffset, 0);
        EXPECT_EQ(plan.notesOffset, 0);
        EXPECT_EQ(plan.projectDataOffset, 0);
        EXPECT_EQ(plan.signInOffset, 0);
    }
}

TEST(LegacyPlanHeader, ExactlyOneHundredIsAMacHeaderTakenAsStored)
{
    RomanTables roman;
    PlanFile plan;
    ASSERT_TRUE(ReadPlan(
        plan, LegacyPlanBuilder(100.0f, ByteOrder::Big).Name(96, "R\x8E").Release(0x0102).Build()));
    EXPECT_EQ(plan.platform, MM);
    EXPECT_EQ(plan.version, 100000);
    EXPECT_EQ(plan.nameOffset, 96u);
    EXPECT_EQ(plan.documentName, "R\x8E");
    EXPECT_EQ(plan.release, 0x0201);
}

TEST(LegacyPlanHeader, VersionsOutsideTheFormsFail)
{
    const float values[] = {2.0f,
                            1.001f,
                            4.099f,
                            0.0f,
                            0.0004f,
                            100.0004f,
                            -1.0f,
                            std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            1e30f,
                            2147584.0f};
    for (float value : values) {
        PlanFile plan;
        EXPECT_FALSE(ReadPlan(plan, LegacyPlanBuilder(value, ByteOrder::Big).Build())) << value;
    }
    PlanFile plan;
    EXPECT_TRUE(ReadPlan(plan, LegacyPlanBuilder(2147583.0f, ByteOrder::Little).Build()));
    EXPECT_EQ(plan.platform, WW);
    EXPECT_EQ(plan.version, 2147483000);
}

TEST(LegacyPlanHeader, NameCountsAreLimitedTo31)
{
    std::string text(31, 'x');
    text += "yyyy";
    for (uint8_t count : {uint8_t{32}, uint8_t{0x7F}, uint8_t{0xC8}, uint8_t{0xFF}}) {
        PlanFile plan;
        ASSERT_TRUE(ReadPlan(
            plan, LegacyPlanBuilder(4.5f, ByteOrder::Big).CountedName(96, count, text).Build()));
        EXPECT_EQ(plan.documentName, std::string(31, 'x')) << int(count);
    }
    PlanFile plan;
    ASSERT_TRUE(ReadPlan(
        plan, LegacyPlanBuilder(104.1f, ByteOrder::Little).CountedName(120, 3, text).Build()));
    EXPECT_EQ(plan.documentName, "xxx");
}

// Blocks

std::vector<uint8_t> ProjectRecord(uint16_t platform)
{
    return test::ProjectDataRecord(platform, {"Villa",
                                              "B\x8A"
                                              "r",
                                              "C", "VR-", "villa", "one\rtwo"});
}

TEST(PlanBlocks, AreFoundInAnyOrder)
{
    RomanTables roman;
    for (uint16_t platform : {WW, MM}) {
        std::vector<uint8_t> signIn =
            test::SignInBlock(OrderOf(platform), 12, 345, true, "C:\\Projects\\Villa");
        std::vector<uint8_t> notes = Bytes("Notes\rline two");
        std::vector<uint8_t> record = ProjectRecord(platform);
        std::vector<uint8_t> gif = SmallGif();
        std::vector<std::vector<uint8_t>> plans = {
            PlanBuilder(platform)
                .Release(40)
                .SignInMarker('C')
                .Block(520, signIn, PlanPointer::SignIn)
                .Block(270, notes)
                .Block(584, record, PlanPointer::ProjectData)
                .Block(468, gif, PlanPointer::Preview)
                .Build(),
            PlanBuilder(platform)
                .Release(40)
                .SignInMarker('C')
                .Block(468, gif, PlanPointer::Preview)
                .Block(999, Bytes("filler"))
                .Block(584, record, PlanPointer::ProjectData)
                .Block(520, signIn, PlanPointer::SignIn)
                .Block(270, notes)
                .Build(),
        };
        for (const auto& bytes : plans) {
            PlanFile plan;
            ASSERT_TRUE(ReadPlan(plan, bytes));
            EXPECT_EQ(NotesText(plan), "Notes\r\nline two");
            EXPECT_TRUE(plan.HasNotes());
            EXPECT_TRUE(plan.HasProjectData());
            EXPECT_EQ(plan.projectData.Texts().author, platform == WW ? "B\x8Ar" : "B\xE4r");
            EXPECT_EQ(plan.projectData.Texts().comments, "one\r\ntwo");
            EXPECT_EQ(LoadStruct<PreviewHeader>(plan.preview.GetBlock()).flags, PreviewFlagGif);
            EXPECT_TRUE(plan.ShowsSignIn());
            EXPECT_EQ(plan.signInValue, 12);
            EXPECT_EQ(plan.changesValue, 345);
            EXPECT_EQ(plan.projectPath, "C:\\Projects\\Villa");
        }
    }
}

TEST(PlanBlocks, NotesAreFoundAnywhereInTheChainOrNotAtAll)
{
    PlanBuilder builder(MM);
    builder.Block(1, Bytes("a"))
        .Block(2, {})
        .Block(3, std::vector<uint8_t>(300, 7))
        .Block(270, Bytes("n\nx"));
    PlanFile plan;
    ASSERT_TRUE(ReadPlan(plan, builder.Build()));
    EXPECT_EQ(plan.notesOffset, static_cast<int32_t>(builder.BlockOffset(3)));
    EXPECT_EQ(NotesText(plan), "n\r\nx");

    PlanFile without;
    ASSERT_TRUE(
        ReadPlan(without, PlanBuilder(MM).Block(1, Bytes("a")).Block(2, Bytes("b")).Build()));
    EXPECT_EQ(without.notesOffset, 0);
    EXPECT_FALSE(without.HasNotes());

    PlanFile empty;
    ASSERT_TRUE(ReadPlan(empty, PlanBuilder(WW).Block(270, {}).Block(5, Bytes("tail")).Build()));
    EXPECT_EQ(empty.notesOffset, 256);
    EXPECT_FALSE(empty.HasNotes());
}

TEST(PlanBlocks, TheReleaseDecidesHowAPreviewOfTag468IsRead)
{
    std::vector<uint8_t> stored = StoredPreview();
    for (uint16_t platform : {WW, MM}) {
        PlanFile old;
        ASSERT_TRUE(ReadPlan(
            old,
            PlanBuilder(platform).Release(39).Block(468, stored, PlanPointer::Preview).Build()));
        EXPECT_EQ(PreviewBytes(old), stored);

        PlanFile newer;
        ASSERT_TRUE(ReadPlan(
            newer,
            PlanBuilder(platform).Release(40).Block(468, stored, PlanPointer::Preview).Build()));
        EXPECT_EQ(newer.preview.GetBlock(), nullptr);

        PlanFile gif;
        ASSERT_TRUE(ReadPlan(gif, PlanBuilder(platform)
                                      .Release(40)
                                      .Block(468, SmallGif(), PlanPointer::Preview)
                                      .Build()));
        EXPECT_EQ(LoadStruct<PreviewHeader>(gif.preview.GetBlock()).flags, PreviewFlagGif);

        PlanFile tag581;
        ASSERT_TRUE(ReadPlan(tag581, PlanBuilder(platform)
                                         .Release(39)
                                         .Block(581, SmallGif(), PlanPointer::Preview)
                                         .Build()));
        EXPECT_EQ(LoadStruct<PreviewHeader>(tag581.preview.GetBlock()).flags, PreviewFlagGif);
    }
}

TEST(PlanBlocks, SignInValuesAreShownOnlyForMarkerC)
{
    RomanTables roman;
    for (uint16_t platform : {WW, MM}) {
        std::vector<uint8_t> withPath =
            test::SignInBlock(OrderOf(platform), 7, 8, true, "/Volumes/R\x8E");
        PlanFile shown;
        ASSERT_TRUE(ReadPlan(shown, PlanBuilder(platform)
                                        .SignInMarker('C')
                                        .Block(520, withPath, PlanPointer::SignIn)
                                        .Build()));
        EXPECT_EQ(shown.signInValue, 7);
        EXPECT_EQ(shown.changesValue, 8);
        EXPECT_EQ(shown.projectPath, "/Volumes/R\x8E");  // never translated

        PlanFile other;
        ASSERT_TRUE(ReadPlan(other, PlanBuilder(platform)
                                        .SignInMarker('X')
                                        .Block(520, withPath, PlanPointer::SignIn)
                                        .Build()));
        EXPECT_FALSE(other.ShowsSignIn());
        EXPECT_EQ(other.signInValue, -1);
        EXPECT_EQ(other.changesValue, -1);
        EXPECT_EQ(other.projectPath, "/Volumes/R\x8E");

        PlanFile noPath;
        ASSERT_TRUE(
            ReadPlan(noPath, PlanBuilder(platform)
                                 .SignInMarker('C')
                                 .Block(520, test::SignInBlock(OrderOf(platform), -5, 0, false),
                                        PlanPointer::SignIn)
                                 .Build()));
        EXPECT_EQ(noPath.signInValue, -5);
        EXPECT_EQ(noPath.changesValue, 0);
        EXPECT_EQ(noPath.projectPath, "");
    }
}

TEST(PlanBlocks, AnAnnouncedSignInBlockMustBeWhole)
{
    std::vector<uint8_t> withPath = test::SignInBlock(ByteOrder::Little, 1, 2, true, "path");
    for (uint8_t marker : {uint8_t{'C'}, uint8_t{'X'}}) {
        for (size_t cut : {1u, 300u, 444u}) {
            std::vector<uint8_t> bytes = PlanBuilder(WW)
                                             .SignInMarker(marker)
                                             .Block(520, withPath, PlanPointer::SignIn)
                                             .Build();
            bytes.resize(bytes.size() - cut);
            PlanFile plan;
            EXPECT_FALSE(ReadPlan(plan, bytes)) << cut;
        }
    }
    // Without a marker the block is not visited.
    std::vector<uint8_t> bytes = PlanBuilder(WW).Block(520, withPath, PlanPointer::SignIn).Build();
    bytes.resize(bytes.size() - 300);
    PlanFile plan;
    EXPECT_TRUE(ReadPlan(plan, bytes));
    EXPECT_EQ(plan.projectPath, "");

    std::string longPath(300, 'p');
    PlanFile full;
    ASSERT_TRUE(
        ReadPlan(full, PlanBuilder(WW)
                           .SignInMarker('C')
                           .Block(520, test::SignInBlock(ByteOrder::Little, 1, 2, true, longPath),
                                  PlanPointer::SignIn)
                           .Build()));
    EXPECT_EQ(full.projectPath, std::string(299, 'p'));
}

TEST(PlanBlocks, BlocksWithTheWrongTagAreSkipped)
{
    PlanFile plan;
    ASSERT_TRUE(
        ReadPlan(plan, PlanBuilder(WW)
                           .SignInMarker('C')
                           .Block(520, SmallGif(), PlanPointer::Preview)
                           .Block(468, ProjectRecord(WW), PlanPointer::ProjectData)
                           .Block(584, test::SignInBlock(ByteOrder::Little, 1, 2, true, "p"),
                                  PlanPointer::SignIn)
                           .Build()));
    EXPECT_EQ(plan.preview.GetBlock(), nullptr);
    EXPECT_EQ(plan.projectData.Texts(), ProjectTexts{});
    EXPECT_TRUE(plan.HasProjectData());  // the page is offered; its apply will find no record
    EXPECT_EQ(plan.signInValue, -1);
    EXPECT_EQ(plan.projectPath, "");
}

TEST(PlanBlocks, LengthsAndOffsetsTheFileCannotHoldAreRefused)
{
    // A block length beyond the file leaves its item empty; the load goes on.
    PlanFile notes;
    ASSERT_TRUE(
        ReadPlan(notes, PlanBuilder(WW).BlockClaiming(270, 0xFFFFFFF0u, Bytes("short")).Build()));
    EXPECT_FALSE(notes.HasNotes());

    PlanFile preview;
    ASSERT_TRUE(ReadPlan(preview,
                         PlanBuilder(MM)
                             .Release(39)
                             .BlockClaiming(468, 0x7FFFFFFFu, StoredPreview(), PlanPointer::Preview)
                             .Build()));
    EXPECT_EQ(preview.preview.GetBlock(), nullptr);

    // A project data block too short for its record is not read.
    PlanFile record;
    std::vector<uint8_t> data = ProjectRecord(WW);
    ASSERT_TRUE(ReadPlan(
        record, PlanBuilder(WW).BlockClaiming(584, 2047, data, PlanPointer::ProjectData).Build()));
    EXPECT_EQ(record.projectData.Texts(), ProjectTexts{});

    // A pointer past the end, or into the last bytes, fails the load.
    for (uint32_t offset : {1000u, 0x7FFFFFF6u, 260u}) {
        PlanFile plan;
        EXPECT_FALSE(ReadPlan(
            plan,
            PlanBuilder(WW).Block(1, Bytes("x")).PointAt(PlanPointer::Preview, offset).Build()))
            << offset;
    }
    // Negative offsets mean none.
    PlanFile negative;
    EXPECT_TRUE(
        ReadPlan(negative, PlanBuilder(WW).PointAt(PlanPointer::ProjectData, 0x80000000u).Build()));
    EXPECT_FALSE(negative.HasProjectData());
}

TEST(PlanBlocks, ALoadReplacesEverythingTheLastOneRead)
{
    PlanFile plan;
    ASSERT_TRUE(
        ReadPlan(plan, PlanBuilder(WW)
                           .Version(5000)
                           .DocumentName("First")
                           .SignInMarker('C')
                           .Block(270, Bytes("notes"))
                           .Block(468, SmallGif(), PlanPointer::Preview)
                           .Block(584, ProjectRecord(WW), PlanPointer::ProjectData)
                           .Block(520, test::SignInBlock(ByteOrder::Little, 1, 2, true, "p"),
                                  PlanPointer::SignIn)
                           .Build()));
    ASSERT_TRUE(ReadPlan(plan, LegacyPlanBuilder(0.5f, ByteOrder::Big, 4).Build()));
    EXPECT_EQ(plan.platform, MM);
    EXPECT_EQ(plan.documentName, "");
    EXPECT_EQ(plan.nameOffset, 0u);
    EXPECT_FALSE(plan.HasNotes());
    EXPECT_FALSE(plan.HasProjectData());
    EXPECT_EQ(plan.preview.GetBlock(), nullptr);
    EXPECT_EQ(plan.projectData.Texts(), ProjectTexts{});
    EXPECT_EQ(plan.signInMarker, 0);
    EXPECT_EQ(plan.projectPath, "");
}

// FindBlock

TEST(PlanFindBlock, ScansTheChainAndGivesThePositionBack)
{
    for (uint16_t platform : {WW, MM}) {
        PlanBuilder builder(platform);
        builder.Block(1, Bytes("abc")).Block(2, {}).Block(3, Bytes("defgh")).Block(4, Bytes("ij"));
        MemoryFile file(builder.Build());
        bool big = platform != WW;
        ASSERT_TRUE(file.Seek(17));
        EXPECT_EQ(PlanFile::FindBlock(file, 256, 3, big), builder.BlockOffset(2));
        EXPECT_EQ(file.Position(), builder.BlockOffset(2) + 6u);

        ASSERT_TRUE(file.Seek(17));
        EXPECT_EQ(PlanFile::FindBlock(file, 256, 99, big), 0u);
        EXPECT_EQ(file.Position(), 17u);
        EXPECT_EQ(PlanFile::FindBlock(file, builder.BlockOffset(1), 1, big), 0u);
        EXPECT_EQ(PlanFile::FindBlock(file, builder.BlockOffset(1), 4, big),
                  builder.BlockOffset(3));
        EXPECT_EQ(PlanFile::FindBlock(file, 100000, 1, big), 0u);
    }
}

TEST(PlanFindBlock, EndsOnLengthsThatWouldLeadBackOrPastTheFile)
{
    for (uint32_t length : {0x80000000u, 0xFFFFFFFFu, 0xFFFFFFFAu, 0x7FFFFFFFu}) {
        PlanBuilder builder(WW);
        builder.BlockClaiming(1, length, Bytes("x")).Block(270, Bytes("notes"));
        MemoryFile file(builder.Build());
        EXPECT_EQ(PlanFile::FindBlock(file, 256, 270, false), 0u) << length;
    }

    // A chain of empty blocks is walked to its end.
    PlanBuilder empties(MM);
    for (int i = 0; i < 5000; ++i)
        empties.Block(1, {});
    empties.Block(270, Bytes("end"));
    MemoryFile file(empties.Build());
    EXPECT_EQ(PlanFile::FindBlock(file, 256, 270, true), 256u + 5000u * 6u);
}

// Page texts

TEST(PlanPageTexts, VersionsPlatformsAndSignIn)
{
    const std::pair<int32_t, const char*> versions[] = {
        {4550, "  4.55"},  {4100, "  4.1"},   {4050, "  4.05"},   {5000, "  5.0"}, {0, "  0.0"},
        {4181, "  4.181"}, {100000, "100.0"}, {12345, " 12.345"}, {500, "  0.5"},
    };
    for (const auto& [version, text] : versions)
        EXPECT_EQ(VersionText(version), text) << version;

    EXPECT_EQ(PlatformStringId(WW), IDS_WINDOWS);
    EXPECT_EQ(PlatformStringId(MM), IDS_MACINTOSH);
    EXPECT_EQ(PlatformStringId(UU), IDS_UNIX);
    EXPECT_EQ(PlatformStringId(0), IDS_UNKNOWN);
    EXPECT_EQ(PlatformStringId(0x5758), IDS_UNKNOWN);

    EXPECT_EQ(SignInText(12, 345), "12 / 345");
    EXPECT_EQ(SignInText(-1, -2147483647 - 1), "-1 / -2147483648");

    EXPECT_EQ(WriterStringId(0), IDS_SHEETFOLD);
    EXPECT_EQ(WriterStringId(1), IDS_BAUVELLE);
    EXPECT_EQ(WriterStringId(2), 0);
    EXPECT_EQ(WriterStringId(-1), 0);

    EXPECT_EQ(PreviewTopWithoutSignIn(58, 100), 65);
    EXPECT_EQ(PreviewTopWithoutSignIn(58, 69), 59);
    EXPECT_EQ(PreviewTopWithoutSignIn(58, 58), 58);
}

// Writing the document name

std::vector<uint8_t> WithField(std::vector<uint8_t> bytes, size_t offset,
                               const std::vector<uint8_t>& field)
{
    std::copy(field.begin(), field.end(), bytes.begin() + offset);
    return bytes;
}

std::vector<uint8_t> TerminatedField(const std::string& stored)
{
    std::vector<uint8_t> field(32, 0);
    std::copy(stored.begin(), stored.end(), field.begin());
    return field;
}

std::vector<uint8_t> CountedField(const std::string& stored)
{
    std::vector<uint8_t> field(32, 0);
    field[0] = static_cast<uint8_t>(stored.size());
    std::copy(stored.begin(), stored.end(), field.begin() + 1);
    return field;
}

struct RenameCase {
    const char* label;
    std::vector<uint8_t> plan;
    uint32_t nameOffset;
    std::vector<uint8_t> field;  // as the new name "Café Nord" must be stored
};

TEST(PlanDocumentName, IsWrittenInTheFormTheReaderReads)
{
    RomanTables roman;
    const RenameCase cases[] = {
        {"Windows plan", PlanBuilder(WW).Version(5000).DocumentName("Old").Build(), 16,
         TerminatedField("Caf\xE9 Nord")},
        {"Mac plan", PlanBuilder(MM).Version(5000).DocumentName("Old").Build(), 16,
         TerminatedField("Caf\x8E Nord")},
        {"Unix plan", PlanBuilder(UU).Version(5000).DocumentName("Old").Build(), 16,
         TerminatedField("Caf\x8E Nord")},
        {"Mac plan below 5000", PlanBuilder(MM).Version(4000).DocumentName("Old").Build(), 16,
         TerminatedField("Caf\x8E Nord")},
        {"Windows L1", LegacyPlanBuilder(100.5f, ByteOrder::Little, 36).Name(4, "Old").Build(), 4,
         CountedField("Caf\xE9 Nord")},
        {"Windows L2", LegacyPlanBuilder(104.1f, ByteOrder::Little).Name(120, "Old").Build(), 120,
         CountedField("Caf\xE9 Nord")},
        {"Mac L3", LegacyPlanBuilder(4.5f, ByteOrder::Big).Name(96, "Old").Build(), 96,
         CountedField("Caf\x8E Nord")},
        {"Windows L3 of 5000", LegacyPlanBuilder(105.0f, ByteOrder::Little).Name(96, "Old").Build(),
         96, CountedField("Caf\xE9 Nord")},
        {"Mac L3 of exactly 100.0",
         LegacyPlanBuilder(100.0f, ByteOrder::Big).Name(96, "Old").Build(), 96,
         CountedField("Caf\xE9 Nord")},
    };
    const std::string newName = "Caf\xE9 Nord";
    for (const RenameCase& c : cases) {
        SCOPED_TRACE(c.label);
        PlanFile plan;
        ASSERT_TRUE(ReadPlan(plan, c.plan));
        ASSERT_EQ(plan.documentName, "Old");
        ASSERT_EQ(plan.nameOffset, c.nameOffset);
        MemoryFile file(c.plan);
        ASSERT_TRUE(plan.WriteDocumentName(file, newName));
        EXPECT_EQ(file.Bytes(), WithField(c.plan, c.nameOffset, c.field));
        EXPECT_EQ(plan.documentName, newName);

        PlanFile reread;
        ASSERT_TRUE(reread.Read(file));
        EXPECT_EQ(reread.documentName, newName);
    }
}

TEST(PlanDocumentName, ThirtyOneCharactersFitAndMoreAreRefused)
{
    std::vector<uint8_t> bytes = PlanBuilder(WW).DocumentName("Old").Build();
    PlanFile plan;
    ASSERT_TRUE(ReadPlan(plan, bytes));
    MemoryFile file(bytes);
    std::string longest(31, 'L');
    ASSERT_TRUE(plan.WriteDocumentName(file, longest));
    EXPECT_EQ(file.Bytes(), WithField(bytes, 16, TerminatedField(longest)));

    UntouchableFile untouchable;
    EXPECT_FALSE(plan.WriteDocumentName(untouchable, std::string(32, 'L')));
    EXPECT_FALSE(plan.WriteDocumentName(untouchable, ""));
    EXPECT_FALSE(plan.WriteDocumentName(untouchable, longest));             // unchanged
    EXPECT_TRUE(plan.WriteDocumentName(file, "l" + std::string(30, 'L')));  // case counts
}

TEST(PlanDocumentName, AFileWithoutAWritableNameIsNeverWritten)
{
    UntouchableFile untouchable;
    for (const auto& bytes : {LegacyPlanBuilder(0.5f, ByteOrder::Big, 4).Build(),
                              LegacyPlanBuilder(4.15f, ByteOrder::Big, 86).Build()}) {
        PlanFile plan;
        ASSERT_TRUE(ReadPlan(plan, bytes));
        EXPECT_EQ(plan.nameOffset, 0u);
        EXPECT_FALSE(plan.WriteDocumentName(untouchable, "Name"));
        EXPECT_EQ(plan.documentName, "");
    }
    PlanFile never;
    EXPECT_FALSE(never.WriteDocumentName(untouchable, "Name"));
}

TEST(PlanDocumentName, AFailedWriteReportsFailureAndKeepsTheOtherBytes)
{
    std::vector<uint8_t> bytes =
        PlanBuilder(MM).DocumentName("Old").Block(270, Bytes("notes")).Build();
    for (uint64_t allowance : {0u, 5u, 31u}) {
        PlanFile plan;
        ASSERT_TRUE(ReadPlan(plan, bytes));
        MemoryFile file(bytes);
        file.LimitWrites(allowance);
        EXPECT_FALSE(plan.WriteDocumentName(file, "New name"));
        EXPECT_EQ(plan.documentName, "Old");
        std::vector<uint8_t> after = file.Bytes();
        if (allowance == 0) {
            EXPECT_EQ(after, bytes);
        }
        ASSERT_EQ(after.size(), bytes.size());
        std::fill(after.begin() + 16, after.begin() + 48, 0);
        std::vector<uint8_t> expected = bytes;
        std::fill(expected.begin() + 16, expected.begin() + 48, 0);
        EXPECT_EQ(after, expected);
    }

    // A file that no longer holds the field is not lengthened.
    PlanFile plan;
    ASSERT_TRUE(ReadPlan(plan, bytes));
    MemoryFile shorter(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 40));
    EXPECT_FALSE(plan.WriteDocumentName(shorter, "New"));
    EXPECT_EQ(shorter.Bytes(), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 40));
}

TEST(PlanDocumentName, IsWrittenIntoTheDocumentOnDisk)
{
    test::ScratchFolder folder;
    std::vector<uint8_t> bytes =
        PlanBuilder(WW).Version(5000).DocumentName("Old").Block(270, Bytes("n")).Build();
    std::string path = folder.Write("house.pln", bytes);
    PlanFile plan;
    ASSERT_TRUE(plan.Load(path.c_str()));
    ASSERT_TRUE(plan.WriteDocumentName(path.c_str(), "New"));
    EXPECT_EQ(test::ReadWholeFile(path), WithField(bytes, 16, TerminatedField("New")));
    PlanFile reread;
    ASSERT_TRUE(reread.Load(path.c_str()));
    EXPECT_EQ(reread.documentName, "New");

    std::filesystem::remove(path);
    EXPECT_FALSE(plan.WriteDocumentName(path.c_str(), "Newer"));
    EXPECT_EQ(plan.documentName, "New");
    EXPECT_FALSE(plan.Load(path.c_str()));
}

TEST(PlanDocumentName, AReadOnlyDocumentIsLeftAlone)
{
    test::ScratchFolder folder;
    std::vector<uint8_t> bytes = PlanBuilder(WW).DocumentName("Old").Build();
    std::string path = folder.Write("locked.pln", bytes);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    if (std::fstream(path, std::ios::in | std::ios::out | std::ios::binary).is_open())
        GTEST_SKIP() << "this user may write read-only files";
    PlanFile plan;
    ASSERT_TRUE(plan.Load(path.c_str()));
    EXPECT_FALSE(plan.WriteDocumentName(path.c_str(), "New"));
    EXPECT_EQ(plan.documentName, "Old");
    EXPECT_EQ(test::ReadWholeFile(path), bytes);
}

// Writing the project data

struct ProjectPlan {
    std::vector<uint8_t> bytes;
    uint32_t recordOffset;
};

ProjectPlan PlanWithRecord(uint16_t platform, uint16_t tag = 584)
{
    PlanBuilder builder(platform);
    builder.Block(270, Bytes("notes"))
        .Block(tag, ProjectRecord(platform), PlanPointer::ProjectData)
        .Block(7, Bytes("after"));
    return {builder.Build(), builder.BlockOffset(1) + 6};
}

TEST(PlanProjectData, OnlyTheRecordsTextsChange)
{
    RomanTables roman;
    for (uint16_t platform : {WW, MM}) {
        ProjectPlan source = PlanWithRecord(platform);
        PlanFile plan;
        ASSERT_TRUE(ReadPlan(plan, source.bytes));
        ProjectTexts shown = plan.projectData.Texts();
        shown.keywords = "caf\xE9";
        MemoryFile file(source.bytes);
        ASSERT_TRUE(plan.WriteProjectData(file, shown));

        std::vector<uint8_t> expected = source.bytes;
        std::string stored = platform == WW ? "caf\xE9" : "caf\x8E";
        std::copy(stored.begin(), stored.end(), expected.begin() + source.recordOffset + 528);
        expected[source.recordOffset + 528 + 4] = 0;
        EXPECT_EQ(file.Bytes(), expected);
        EXPECT_EQ(plan.projectData.Texts(), shown);

        PlanFile reread;
        ASSERT_TRUE(reread.Read(file));
        EXPECT_EQ(reread.projectData.Texts(), shown);
    }
}

TEST(PlanProjectData, NothingIsWrittenWithoutAChangeOrARecord)
{
    ProjectPlan source = PlanWithRecord(WW);
    PlanFile plan;
    ASSERT_TRUE(ReadPlan(plan, source.bytes));
    UntouchableFile untouchable;
    EXPECT_FALSE(plan.WriteProjectData(untouchable, plan.projectData.Texts()));
    EXPECT_FALSE(plan.WriteProjectData("/nonexistent/unchanged.pln", plan.projectData.Texts()));

    PlanFile without;
    ASSERT_TRUE(ReadPlan(without, PlanBuilder(WW).Build()));
    ProjectTexts shown;
    shown.keywords = "k";
    EXPECT_FALSE(without.WriteProjectData(untouchable, shown));
}

TEST(PlanProjectData, ABlockThatIsNotAWholeRecordIsNotWritten)
{
    ProjectPlan wrongTag = PlanWithRecord(WW, 583);
    PlanFile plan;
    ASSERT_TRUE(ReadPlan(plan, wrongTag.bytes));
    ASSERT_TRUE(plan.HasProjectData());
    ProjectTexts shown;
    shown.keywords = "k";
    MemoryFile file(wrongTag.bytes);
    EXPECT_FALSE(plan.WriteProjectData(file, shown));
    EXPECT_EQ(file.Bytes(), wrongTag.bytes);

    // The record was read when the block was whole; the block has since been cut.
    ProjectPlan whole = PlanWithRecord(MM);
    PlanFile loaded;
    ASSERT_TRUE(ReadPlan(loaded, whole.bytes));
    std::vector<uint8_t> shortened = whole.bytes;
    shortened[whole.recordOffset - 2] = 0x07;  // length 0x7FF, big-endian
    shortened[whole.recordOffset - 1] = 0xFF;
    MemoryFile shortFile(shortened);
    EXPECT_FALSE(loaded.WriteProjectData(shortFile, shown));
    EXPECT_EQ(shortFile.Bytes(), shortened);
}

TEST(PlanProjectData, AFailedWriteReportsFailureAndLeavesTheFile)
{
    ProjectPlan source = PlanWithRecord(MM);
    PlanFile plan;
    ASSERT_TRUE(ReadPlan(plan, source.bytes));
    ProjectTexts shown = plan.projectData.Texts();
    shown.comments = "new";
    MemoryFile file(source.bytes);
    file.LimitWrites(0);
    EXPECT_FALSE(plan.WriteProjectData(file, shown));
    EXPECT_EQ(file.Bytes(), source.bytes);
    EXPECT_TRUE(plan.projectData.IsChanged(shown));
}

TEST(PlanProjectData, IsWrittenIntoTheDocumentOnDisk)
{
    test::ScratchFolder folder;
    ProjectPlan source = PlanWithRecord(WW);
    std::string path = folder.Write("house.pln", source.bytes);
    PlanFile plan;
    ASSERT_TRUE(plan.Load(path.c_str()));
    ProjectTexts shown = plan.projectData.Texts();
    shown.comments = "line\r\nline";
    ASSERT_TRUE(plan.WriteProjectData(path.c_str(), shown));
    PlanFile reread;
    ASSERT_TRUE(reread.Load(path.c_str()));
    EXPECT_EQ(reread.projectData.Texts().comments, "line\r\nline");
    EXPECT_EQ(test::ReadWholeFile(path)[source.recordOffset + 656 + 4], '\r');

    shown.comments = "again";
    std::filesystem::remove(path);
    EXPECT_FALSE(plan.WriteProjectData(path.c_str(), shown));
}

}  // namespace
}  // namespace orv
