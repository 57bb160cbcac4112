#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "ByteWriter.h"
#include "GifWriter.h"
#include "PlanBuilder.h"
#include "PreviewBlockBuilder.h"
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
using test::ByteOrder;
using test::LegacyPlanBuilder;
using test::PlanBuilder;
using test::PlanPointer;
using test::UntouchableFile;

constexpr uint16_t WW = 0x5757;
constexpr uint16_t MM = 0x4D4D;
constexpr uint16_t UU = 0x5555;

ByteOrder OrderOf(uint16_t platform)
{
    return platform == WW ? ByteOrder::Little : ByteOrder::Big;
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::vector<uint8_t> SmallGif()
{
    test::GifImage image;
    image.width = image.height = image.minCodeSize = 2;
    image.indices = {0, 1, 1, 0};
    return test::GifWriter().Screen(2, 2, {{255, 0, 0}, {0, 0, 255}}).Image(image).Trailer().Data();
}

std::vector<uint8_t> StoredPreview()
{
    return test::PreviewBlockBuilder::Bitmap32(2, 2, [](int, int) { return 0x3C3C3Cu; }).Build();
}

std::vector<uint8_t> ProjectRecord(uint16_t platform)
{
    return test::ProjectDataRecord(platform, {"Villa", "B\x8A" "r", "C", "VR-", "villa", "one\rtwo"});
}

std::vector<uint8_t> PreviewBytes(const PlanFile& plan)
{
    const uint8_t* block = plan.preview.GetBlock();
    return block ? std::vector<uint8_t>(block, block + plan.preview.GetBlockSize())
                 : std::vector<uint8_t>{};
}

uint16_t PreviewFlags(const std::vector<uint8_t>& block)
{
    return block.size() >= sizeof(PreviewHeader) ? LoadStruct<PreviewHeader>(block.data()).flags : 0;
}

std::string NotesText(const PlanFile& plan)
{
    return plan.notes.GetText() ? std::string(plan.notes.GetText(), plan.notes.GetLength())
                                : std::string();
}

// Everything a load sets, to compare two plans at once.
auto Fields(const PlanFile& plan)
{
    return std::tuple(plan.platform, plan.documentName, plan.nameOffset, plan.version, plan.release,
                      plan.previewOffset, PreviewBytes(plan), plan.notesOffset, NotesText(plan),
                      plan.projectDataOffset, plan.projectData.Texts(), plan.signInMarker,
                      plan.signInOffset, plan.signInValue, plan.changesValue, plan.projectPath);
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
    const struct {
        uint16_t platform;
        int16_t release;
        int32_t version;
        std::string stored, shown;
    } cases[] = {
        {WW, 42, 4550, "Villa R\xE9sidence", "Villa R\xE9sidence"},
        {MM, 42, 4550, "Villa R\x8Esidence", "Villa R\xE9sidence"},
        {UU, 42, 4550, "Villa R\x8Esidence", "Villa R\xE9sidence"},
        // Negative numbers are taken as stored; an unterminated name keeps 31 characters.
        {WW, -3, -1, std::string(32, 'n'), std::string(31, 'n')},
        {MM, -3, -1, std::string(32, 'n'), std::string(31, 'n')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.platform << " " << c.version);
        PlanBuilder builder(c.platform);
        PlanFile plan;
        builder.Release(c.release).Version(c.version).DocumentName(c.stored);
        ASSERT_TRUE(ReadPlan(plan, builder.Build()));
        EXPECT_EQ(std::tuple(plan.platform, plan.release, plan.version, plan.documentName),
                  std::tuple(c.platform, c.release, c.version, c.shown));
        EXPECT_EQ(std::tuple(plan.nameOffset, plan.previewOffset, plan.notesOffset,
                             plan.projectDataOffset, plan.signInValue, plan.changesValue),
                  std::tuple(16u, 0, 0, 0, -1, -1));
        EXPECT_FALSE(plan.HasNotes() || plan.HasProjectData());
    }
}

TEST(PlanHeader, ShortFilesFail)
{
    std::vector<uint8_t> full = PlanBuilder(WW).Version(5000).Build();
    for (size_t size : {0u, 1u, 2u, 255u, 256u}) {
        PlanFile plan;
        EXPECT_EQ(ReadPlan(plan, std::vector<uint8_t>(full.begin(), full.begin() + size)), size == 256)
            << size;
    }
}

// Legacy headers

TEST(LegacyPlanHeader, TheLeadingValueSelectsPlatformVersionAndForm)
{
    RomanTables roman;
    const std::string mac = "Villa R\x8Esidence", windows = "Villa R\xE9sidence";
    const struct {
        const char* label; float leading; ByteOrder order; size_t size, nameAt;  // nameAt 0: none
        int16_t release; bool loads; uint16_t platform; int32_t version;
        uint32_t nameOffset; std::string name; int16_t expectedRelease;
    } cases[] = {
        {"104.1: Windows L2", 104.1f, ByteOrder::Little, 512, 120, 0, true, WW, 4100, 120, mac, 0},
        {"104.1 short", 104.1f, ByteOrder::Little, 511, 120, 0, false, WW, 4100, 0, "", 0},
        {"4.5: Mac L3", 4.5f, ByteOrder::Big, 512, 96, 0x0102, true, MM, 4500, 96, windows, 0x0102},
        {"4.5 short", 4.5f, ByteOrder::Big, 511, 96, 0x0102, false, MM, 4500, 0, "", 0},
        {"105.0: Windows L3", 105.0f, ByteOrder::Little, 512, 96, 0x0102, true, WW, 5000, 96, mac,
         0x0102},
        {"0.5: Mac L1 reads nothing more", 0.5f, ByteOrder::Big, 4, 0, 0, true, MM, 500, 0, "", 0},
        {"100.5: Windows L1", 100.5f, ByteOrder::Little, 36, 4, 0, true, WW, 500, 4, mac, 0},
        {"100.5 short", 100.5f, ByteOrder::Little, 35, 4, 0, false, WW, 500, 0, "", 0},
        {"1.0: last L1", 1.0f, ByteOrder::Big, 4, 0, 0, true, MM, 1000, 0, "", 0},
        {"4.15: Mac L2 has no name", 4.15f, ByteOrder::Big, 86, 0, 0, true, MM, 4150, 0, "", 0},
        {"4.15 short", 4.15f, ByteOrder::Big, 85, 0, 0, false, MM, 4150, 0, "", 0},
        {"4.18: last L2", 104.18f, ByteOrder::Little, 512, 120, 0, true, WW, 4180, 120, mac, 0},
        {"4.181: first L3", 4.181f, ByteOrder::Big, 512, 96, 7, true, MM, 4181, 96, windows, 7},
        // Exactly 100.0 is a Mac header whose name and release are taken as stored.
        {"100.0: Mac as stored", 100.0f, ByteOrder::Big, 512, 96, 0x0102, true, MM, 100000, 96, mac,
         0x0201},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        LegacyPlanBuilder builder(c.leading, c.order, c.size);
        if (c.nameAt != 0)
            builder.Name(c.nameAt, mac);
        if (c.release != 0)
            builder.Release(c.release);
        PlanFile plan;
        ASSERT_EQ(ReadPlan(plan, builder.Build()), c.loads);
        EXPECT_EQ(plan.platform, c.platform);
        EXPECT_EQ(plan.version, c.version);
        if (!c.loads)
            continue;
        EXPECT_EQ(std::tuple(plan.nameOffset, plan.documentName, plan.release),
                  std::tuple(c.nameOffset, c.name, c.expectedRelease));
        EXPECT_EQ(std::tuple(plan.previewOffset, plan.notesOffset, plan.projectDataOffset,
                             plan.signInOffset),
                  std::tuple(0, 0, 0, 0));
    }
}

TEST(LegacyPlanHeader, VersionsOutsideTheFormsFail)
{
    const float values[] = {2.0f, 1.001f, 4.099f, 0.0f, 0.0004f, 100.0004f, -1.0f,
                            std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(), 1e30f, 2147584.0f};
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
    std::string text = std::string(31, 'x') + "yyyy";
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

TEST(PlanBlocks, AreFoundInAnyOrderAndClearedByTheNextLoad)
{
    RomanTables roman;
    for (uint16_t platform : {WW, MM}) {
        SCOPED_TRACE(platform);
        auto signIn = test::SignInBlock(OrderOf(platform), 12, 345, true, "C:\\Projects\\Villa");
        auto notes = Bytes("Notes\rline two");
        auto record = ProjectRecord(platform);
        auto gif = SmallGif();
        PlanBuilder inOrder(platform), shuffled(platform);
        inOrder.Block(520, signIn, PlanPointer::SignIn).Block(270, notes);
        inOrder.Block(584, record, PlanPointer::ProjectData).Block(468, gif, PlanPointer::Preview);
        shuffled.Block(468, gif, PlanPointer::Preview).Block(999, Bytes("filler"));
        shuffled.Block(584, record, PlanPointer::ProjectData);
        shuffled.Block(520, signIn, PlanPointer::SignIn).Block(270, notes);
        for (PlanBuilder* builder : {&inOrder, &shuffled}) {
            PlanFile plan;
            builder->Release(40).SignInMarker('C').DocumentName("First");
            ASSERT_TRUE(ReadPlan(plan, builder->Build()));
            EXPECT_EQ(NotesText(plan), "Notes\r\nline two");
            EXPECT_TRUE(plan.HasNotes() && plan.HasProjectData());
            EXPECT_EQ(plan.projectData.Texts().author, platform == WW ? "B\x8Ar" : "B\xE4r");
            EXPECT_EQ(plan.projectData.Texts().comments, "one\r\ntwo");
            EXPECT_EQ(PreviewFlags(PreviewBytes(plan)), PreviewFlagGif);
            EXPECT_TRUE(plan.ShowsSignIn());
            EXPECT_EQ(std::tuple(plan.signInValue, plan.changesValue, plan.projectPath),
                      std::tuple(12, 345, std::string("C:\\Projects\\Villa")));

            // The next load leaves nothing of this one.
            PlanFile fresh;
            std::vector<uint8_t> legacy = LegacyPlanBuilder(0.5f, ByteOrder::Big, 4).Build();
            ASSERT_TRUE(ReadPlan(plan, legacy));
            ASSERT_TRUE(ReadPlan(fresh, legacy));
            EXPECT_EQ(Fields(plan), Fields(fresh));
        }
    }
}

TEST(PlanBlocks, NotesAreFoundAnywhereInTheChainOrNotAtAll)
{
    PlanBuilder chained(MM);
    chained.Block(1, Bytes("a")).Block(2, {}).Block(3, std::vector<uint8_t>(300, 7));
    chained.Block(270, Bytes("n\nx"));
    const struct {
        const char* label;
        std::vector<uint8_t> bytes;
        int32_t offset;
        std::string text;
    } cases[] = {
        {"after other blocks", chained.Build(), static_cast<int32_t>(chained.BlockOffset(3)),
         "n\r\nx"},
        {"none", PlanBuilder(MM).Block(1, Bytes("a")).Block(2, Bytes("b")).Build(), 0, ""},
        {"empty", PlanBuilder(WW).Block(270, {}).Block(5, Bytes("tail")).Build(), 256, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        PlanFile plan;
        ASSERT_TRUE(ReadPlan(plan, c.bytes));
        EXPECT_EQ(plan.notesOffset, c.offset);
        EXPECT_EQ(NotesText(plan), c.text);
        EXPECT_EQ(plan.HasNotes(), !c.text.empty());
    }
}

TEST(PlanBlocks, TheReleaseDecidesHowAPreviewOfTag468IsRead)
{
    const std::vector<uint8_t> stored = StoredPreview(), gif = SmallGif();
    for (uint16_t platform : {WW, MM}) {
        SCOPED_TRACE(platform);
        auto read = [platform](int16_t release, uint16_t tag, const std::vector<uint8_t>& data) {
            PlanFile plan;
            PlanBuilder builder(platform);
            builder.Release(release).Block(tag, data, PlanPointer::Preview);
            EXPECT_TRUE(ReadPlan(plan, builder.Build()));
            return PreviewBytes(plan);
        };
        EXPECT_EQ(read(39, 468, stored), stored);
        EXPECT_EQ(read(40, 468, stored), std::vector<uint8_t>{});
        EXPECT_EQ(PreviewFlags(read(40, 468, gif)), PreviewFlagGif);
        EXPECT_EQ(PreviewFlags(read(39, 581, gif)), PreviewFlagGif);
    }
}

TEST(PlanBlocks, SignInValuesAreShownOnlyForMarkerC)
{
    RomanTables roman;
    for (uint16_t platform : {WW, MM}) {
        auto withPath = test::SignInBlock(OrderOf(platform), 7, 8, true, "/Volumes/R\x8E");
        const struct {
            uint8_t marker;
            std::vector<uint8_t> block;
            int32_t signIn, changes;
            std::string path;  // never translated
        } cases[] = {
            {'C', withPath, 7, 8, "/Volumes/R\x8E"},
            {'X', withPath, -1, -1, "/Volumes/R\x8E"},
            {'C', test::SignInBlock(OrderOf(platform), -5, 0, false), -5, 0, ""},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << platform << " " << c.marker << " " << c.signIn);
            PlanFile plan;
            PlanBuilder builder(platform);
            builder.SignInMarker(c.marker).Block(520, c.block, PlanPointer::SignIn);
            ASSERT_TRUE(ReadPlan(plan, builder.Build()));
            EXPECT_EQ(plan.ShowsSignIn(), c.marker == 'C');
            EXPECT_EQ(std::tuple(plan.signInValue, plan.changesValue, plan.projectPath),
                      std::tuple(c.signIn, c.changes, c.path));
        }
    }
}

TEST(PlanBlocks, AnAnnouncedSignInBlockMustBeWhole)
{
    auto withPath = test::SignInBlock(ByteOrder::Little, 1, 2, true, "path");
    auto plan = [](uint8_t marker, const std::vector<uint8_t>& block) {
        return PlanBuilder(WW).SignInMarker(marker).Block(520, block, PlanPointer::SignIn).Build();
    };
    for (uint8_t marker : {uint8_t{'C'}, uint8_t{'X'}}) {
        for (size_t cut : {1u, 300u, 444u}) {
            std::vector<uint8_t> bytes = plan(marker, withPath);
            bytes.resize(bytes.size() - cut);
            PlanFile read;
            EXPECT_FALSE(ReadPlan(read, bytes)) << marker << " " << cut;
        }
    }
    // Without a marker the block is not visited.
    std::vector<uint8_t> bytes = plan(0, withPath);
    bytes.resize(bytes.size() - 300);
    PlanFile unmarked;
    EXPECT_TRUE(ReadPlan(unmarked, bytes));
    EXPECT_EQ(unmarked.projectPath, "");

    PlanFile full;
    ASSERT_TRUE(ReadPlan(
        full, plan('C', test::SignInBlock(ByteOrder::Little, 1, 2, true, std::string(300, 'p')))));
    EXPECT_EQ(full.projectPath, std::string(299, 'p'));
}

TEST(PlanBlocks, BlocksWithTheWrongTagAreSkipped)
{
    PlanBuilder builder(WW);
    builder.SignInMarker('C').Block(520, SmallGif(), PlanPointer::Preview);
    builder.Block(468, ProjectRecord(WW), PlanPointer::ProjectData);
    builder.Block(584, test::SignInBlock(ByteOrder::Little, 1, 2, true, "p"), PlanPointer::SignIn);
    PlanFile plan;
    ASSERT_TRUE(ReadPlan(plan, builder.Build()));
    EXPECT_EQ(plan.preview.GetBlock(), nullptr);
    EXPECT_EQ(plan.projectData.Texts(), ProjectTexts{});
    EXPECT_TRUE(plan.HasProjectData());  // the page is offered; its apply will find no record
    EXPECT_EQ(plan.signInValue, -1);
    EXPECT_EQ(plan.projectPath, "");
}

TEST(PlanBlocks, LengthsAndOffsetsTheFileCannotHoldAreRefused)
{
    // A block length beyond the file, or too short for a record, leaves its item
    // empty; the load goes on.
    PlanFile notes, preview, record;
    PlanBuilder longNotes(WW), longPreview(MM), shortRecord(WW);
    longNotes.BlockClaiming(270, 0xFFFFFFF0u, Bytes("short"));
    longPreview.Release(39).BlockClaiming(468, 0x7FFFFFFFu, StoredPreview(), PlanPointer::Preview);
    shortRecord.BlockClaiming(584, 2047, ProjectRecord(WW), PlanPointer::ProjectData);
    ASSERT_TRUE(ReadPlan(notes, longNotes.Build()));
    ASSERT_TRUE(ReadPlan(preview, longPreview.Build()));
    ASSERT_TRUE(ReadPlan(record, shortRecord.Build()));
    EXPECT_FALSE(notes.HasNotes());
    EXPECT_EQ(preview.preview.GetBlock(), nullptr);
    EXPECT_EQ(record.projectData.Texts(), ProjectTexts{});

    // A pointer past the end, or into the last bytes, fails the load.
    for (uint32_t offset : {1000u, 0x7FFFFFF6u, 260u}) {
        PlanFile plan;
        PlanBuilder builder(WW);
        builder.Block(1, Bytes("x")).PointAt(PlanPointer::Preview, offset);
        EXPECT_FALSE(ReadPlan(plan, builder.Build())) << offset;
    }
    // Negative offsets mean none.
    PlanFile negative;
    PlanBuilder builder(WW);
    EXPECT_TRUE(ReadPlan(negative, builder.PointAt(PlanPointer::ProjectData, 0x80000000u).Build()));
    EXPECT_FALSE(negative.HasProjectData());
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
        MemoryFile file(
            PlanBuilder(WW).BlockClaiming(1, length, Bytes("x")).Block(270, Bytes("notes")).Build());
        EXPECT_EQ(PlanFile::FindBlock(file, 256, 270, false), 0u) << length;
    }

    // A chain of empty blocks is walked to its end.
    PlanBuilder empties(MM);
    for (int i = 0; i < 5000; ++i)
        empties.Block(1, {});
    MemoryFile file(empties.Block(270, Bytes("end")).Build());
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

    const std::pair<uint16_t, int> platforms[] = {{WW, IDS_WINDOWS}, {MM, IDS_MACINTOSH},
                                                  {UU, IDS_UNIX},    {0, IDS_UNKNOWN},
                                                  {0x5758, IDS_UNKNOWN}};
    for (const auto& [platform, id] : platforms)
        EXPECT_EQ(PlatformStringId(platform), id) << platform;

    EXPECT_EQ(SignInText(12, 345), "12 / 345");
    EXPECT_EQ(SignInText(-1, -2147483647 - 1), "-1 / -2147483648");

    EXPECT_EQ(std::tuple(WriterStringId(0), WriterStringId(1), WriterStringId(2), WriterStringId(-1)),
              std::tuple(IDS_SHEETFOLD, IDS_BAUVELLE, 0, 0));
    EXPECT_EQ(std::tuple(PreviewTopWithoutSignIn(58, 100), PreviewTopWithoutSignIn(58, 69),
                         PreviewTopWithoutSignIn(58, 58)),
              std::tuple(65, 59, 58));
}

// Writing the document name

// The bytes with the 32-byte name field at offset holding the name, zero-terminated
// or after a count byte, and zeros after it.
std::vector<uint8_t> WithName(std::vector<uint8_t> bytes, size_t offset, const std::string& stored,
                              bool counted = false)
{
    std::string field = counted ? static_cast<char>(stored.size()) + stored : stored;
    field.resize(32, '\0');
    std::copy(field.begin(), field.end(), bytes.begin() + offset);
    return bytes;
}

// Plans whose stored name is "Old".
std::vector<uint8_t> Named(uint16_t platform, int32_t version = 0)
{
    return PlanBuilder(platform).Version(version).DocumentName("Old").Build();
}

std::vector<uint8_t> NamedLegacy(float leading, ByteOrder order, size_t at, size_t size = 512)
{
    return LegacyPlanBuilder(leading, order, size).Name(at, "Old").Build();
}

TEST(PlanDocumentName, IsWrittenInTheFormTheReaderReads)
{
    RomanTables roman;
    const std::string newName = "Caf\xE9 Nord", mac = "Caf\x8E Nord";
    const struct {
        const char* label;
        std::vector<uint8_t> plan;
        uint32_t nameOffset;
        std::string stored;  // as the new name must be stored, after a count byte if counted
        bool counted;
    } cases[] = {
        {"Windows plan", Named(WW, 5000), 16, newName, false},
        {"Mac plan", Named(MM, 5000), 16, mac, false},
        {"Unix plan", Named(UU, 5000), 16, mac, false},
        {"Mac plan below 5000", Named(MM, 4000), 16, mac, false},
        {"Windows L1", NamedLegacy(100.5f, ByteOrder::Little, 4, 36), 4, newName, true},
        {"Windows L2", NamedLegacy(104.1f, ByteOrder::Little, 120), 120, newName, true},
        {"Mac L3", NamedLegacy(4.5f, ByteOrder::Big, 96), 96, mac, true},
        {"Windows L3 of 5000", NamedLegacy(105.0f, ByteOrder::Little, 96), 96, newName, true},
        {"Mac L3 of exactly 100.0", NamedLegacy(100.0f, ByteOrder::Big, 96), 96, newName, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        PlanFile plan;
        ASSERT_TRUE(ReadPlan(plan, c.plan));
        ASSERT_EQ(plan.documentName, "Old");
        ASSERT_EQ(plan.nameOffset, c.nameOffset);
        MemoryFile file(c.plan);
        ASSERT_TRUE(plan.WriteDocumentName(file, newName));
        EXPECT_EQ(file.Bytes(), WithName(c.plan, c.nameOffset, c.stored, c.counted));
        EXPECT_EQ(plan.documentName, newName);

        PlanFile reread;
        ASSERT_TRUE(reread.Read(file));
        EXPECT_EQ(reread.documentName, newName);
    }
}

TEST(PlanDocumentName, ThirtyOneCharactersFitAndMoreOrNoWritableNameAreRefused)
{
    UntouchableFile untouchable;
    std::vector<uint8_t> bytes = Named(WW);
    PlanFile plan;
    ASSERT_TRUE(ReadPlan(plan, bytes));
    MemoryFile file(bytes);
    std::string longest(31, 'L');
    ASSERT_TRUE(plan.WriteDocumentName(file, longest));
    EXPECT_EQ(file.Bytes(), WithName(bytes, 16, longest));
    EXPECT_FALSE(plan.WriteDocumentName(untouchable, std::string(32, 'L')));
    EXPECT_FALSE(plan.WriteDocumentName(untouchable, ""));
    EXPECT_FALSE(plan.WriteDocumentName(untouchable, longest));             // unchanged
    EXPECT_TRUE(plan.WriteDocumentName(file, "l" + std::string(30, 'L')));  // case counts

    for (const auto& legacy : {LegacyPlanBuilder(0.5f, ByteOrder::Big, 4).Build(),
                               LegacyPlanBuilder(4.15f, ByteOrder::Big, 86).Build()}) {
        PlanFile unnamed;
        ASSERT_TRUE(ReadPlan(unnamed, legacy));
        EXPECT_EQ(unnamed.nameOffset, 0u);
        EXPECT_FALSE(unnamed.WriteDocumentName(untouchable, "Name"));
        EXPECT_EQ(unnamed.documentName, "");
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
        if (allowance == 0) {
            EXPECT_EQ(file.Bytes(), bytes);
        }
        ASSERT_EQ(file.Bytes().size(), bytes.size());
        EXPECT_EQ(WithName(file.Bytes(), 16, ""), WithName(bytes, 16, "")) << allowance;
    }

    // A file that no longer holds the field is not lengthened.
    PlanFile plan;
    ASSERT_TRUE(ReadPlan(plan, bytes));
    bytes.resize(40);
    MemoryFile shorter(bytes);
    EXPECT_FALSE(plan.WriteDocumentName(shorter, "New"));
    EXPECT_EQ(shorter.Bytes(), bytes);
}

TEST(PlanDocumentName, AReadOnlyDocumentIsLeftAlone)
{
    test::ScratchFolder folder;
    std::vector<uint8_t> bytes = Named(WW);
    std::string path = folder.Write("locked.pln", bytes);
    using std::filesystem::perms;
    std::filesystem::permissions(path, perms::owner_read | perms::group_read | perms::others_read);
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

TEST(PlanProjectData, OnlyTheRecordsTextsChangeAndAFailedWriteChangesNothing)
{
    RomanTables roman;
    for (uint16_t platform : {WW, MM}) {
        SCOPED_TRACE(platform);
        ProjectPlan source = PlanWithRecord(platform);
        PlanFile plan, reread;
        ASSERT_TRUE(ReadPlan(plan, source.bytes));
        ProjectTexts shown = plan.projectData.Texts();
        shown.keywords = "caf\xE9";
        MemoryFile file(source.bytes);
        file.LimitWrites(0);
        EXPECT_FALSE(plan.WriteProjectData(file, shown));
        EXPECT_EQ(file.Bytes(), source.bytes);
        EXPECT_TRUE(plan.projectData.IsChanged(shown));

        file.LimitWrites(UINT64_MAX);
        ASSERT_TRUE(plan.WriteProjectData(file, shown));

        std::vector<uint8_t> expected = source.bytes;
        const char* stored = platform == WW ? "caf\xE9" : "caf\x8E";
        std::copy_n(stored, 5, expected.begin() + source.recordOffset + 528);  // with terminator
        EXPECT_EQ(file.Bytes(), expected);
        EXPECT_EQ(plan.projectData.Texts(), shown);
        ASSERT_TRUE(reread.Read(file));
        EXPECT_EQ(reread.projectData.Texts(), shown);
    }
}

TEST(PlanProjectData, NothingIsWrittenWithoutAChangeOrAWholeRecord)
{
    UntouchableFile untouchable;
    ProjectPlan source = PlanWithRecord(WW);
    PlanFile plan, without;
    ASSERT_TRUE(ReadPlan(plan, source.bytes));
    EXPECT_FALSE(plan.WriteProjectData(untouchable, plan.projectData.Texts()));
    EXPECT_FALSE(plan.WriteProjectData("/nonexistent/unchanged.pln", plan.projectData.Texts()));

    ProjectTexts shown;
    shown.keywords = "k";
    ASSERT_TRUE(ReadPlan(without, PlanBuilder(WW).Build()));
    EXPECT_FALSE(without.WriteProjectData(untouchable, shown));

    // A block of another tag, and one cut since the record was read, are left alone.
    ProjectPlan wrongTag = PlanWithRecord(WW, 583), whole = PlanWithRecord(MM);
    std::vector<uint8_t> shortened = whole.bytes;
    shortened[whole.recordOffset - 2] = 0x07;  // length 0x7FF, big-endian
    shortened[whole.recordOffset - 1] = 0xFF;
    auto refused = [&shown](const char* label, const std::vector<uint8_t>& read,
                            const std::vector<uint8_t>& written) {
        SCOPED_TRACE(label);
        PlanFile offered;
        ASSERT_TRUE(ReadPlan(offered, read));
        ASSERT_TRUE(offered.HasProjectData());
        MemoryFile file(written);
        EXPECT_FALSE(offered.WriteProjectData(file, shown));
        EXPECT_EQ(file.Bytes(), written);
    };
    refused("wrong tag", wrongTag.bytes, wrongTag.bytes);
    refused("cut", whole.bytes, shortened);
}

TEST(PlanOnDisk, NameAndProjectDataAreWrittenIntoTheDocument)
{
    test::ScratchFolder folder;
    ProjectPlan source = PlanWithRecord(WW);
    std::string path = folder.Write("house.pln", source.bytes);
    PlanFile plan, reread;
    ASSERT_TRUE(plan.Load(path.c_str()));
    ASSERT_TRUE(plan.WriteDocumentName(path.c_str(), "New"));
    EXPECT_EQ(test::ReadWholeFile(path), WithName(source.bytes, 16, "New"));
    ProjectTexts shown = plan.projectData.Texts();
    shown.comments = "line\r\nline";
    ASSERT_TRUE(plan.WriteProjectData(path.c_str(), shown));
    EXPECT_EQ(test::ReadWholeFile(path)[source.recordOffset + 656 + 4], '\r');
    ASSERT_TRUE(reread.Load(path.c_str()));
    EXPECT_EQ(reread.documentName, "New");
    EXPECT_EQ(reread.projectData.Texts().comments, "line\r\nline");

    std::filesystem::remove(path);
    shown.comments = "again";
    EXPECT_FALSE(plan.WriteDocumentName(path.c_str(), "Newer"));
    EXPECT_EQ(plan.documentName, "New");
    EXPECT_FALSE(plan.WriteProjectData(path.c_str(), shown));
    EXPECT_FALSE(plan.Load(path.c_str()));
}

}  // namespace
}  // namespace orv
