#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "DocumentWrites.h"
#include "PlanBuilder.h"
#include "ScopedCharTables.h"
#include "plan/PageTexts.h"
#include "plan/PlanFile.h"
#include "preview/PictureHeaders.h"

namespace orv {
namespace {

using namespace test;

const std::string Mac = "Villa R\x8Esidence";
const std::string Windows = "Villa R\xE9sidence";

// Every text begins with a character that a Mac record stores as another: a umlaut.
ProjectTexts RecordTexts(const std::string& a, const std::string& lineEnd)
{
    return {a + "Villa", a + "Br", a + "C", a + "VR-", a + "villa", a + "one" + lineEnd + "two"};
}

std::vector<uint8_t> Record(uint16_t platform)
{
    return test::ProjectDataRecord(platform, RecordTexts("\x8A", "\r"));
}

std::vector<uint8_t> SignInRecord(uint16_t platform, bool pathFollows = true, const std::string& path = "C:\\V")
{
    return test::SignInBlock(platform == WW ? test::ByteOrder::Little : test::ByteOrder::Big, 12, 345,
                             pathFollows, path);
}

// A plan of the release with one block, which the pointer, if named, points at.
std::vector<uint8_t> With(uint16_t platform, int16_t release, uint16_t tag, const std::vector<uint8_t>& data,
                          PlanPointer pointer = PlanPointer::None, uint8_t marker = 0)
{
    return PlanBuilder(platform).Release(release).SignInMarker(marker).Block(tag, data, pointer).Build();
}

std::vector<uint8_t> Outside(float leadingValue)
{
    return LegacyPlan(leadingValue, 512, 96, "Name");
}

PlanBuilder Full(uint16_t platform)
{
    return PlanBuilder(platform).Release(40).SignInMarker('C').DocumentName("First")
        .Block(520, SignInRecord(platform), PlanPointer::SignIn).Block(270, Bytes("Notes\rline two"))
        .Block(584, Record(platform), PlanPointer::ProjectData).Block(581, SmallGif(), PlanPointer::Preview);
}

// Everything a load sets, in one line as the pages show it: "fails:" when it failed,
// the platform, the version, the release, the name and where it lies, the sign-in values
// and marker, then each block the header points at or that was read, and the notes block found.
std::string Shown(const PlanFile& plan, bool loaded)
{
    std::string shown = loaded ? "" : "fails: ";
    shown += (plan.platform ? std::string(2, char(plan.platform)) : "--") + " " + VersionText(plan.version);
    shown += " r" + std::to_string(plan.release) + " '" + plan.documentName + "'@";
    shown += std::to_string(plan.nameOffset) + " " + SignInText(plan.signInValue, plan.changesValue);
    shown += plan.signInMarker ? std::string(" ") + char(plan.signInMarker) : "";
    if (const uint8_t* block = plan.preview.GetBlock())
        shown += LoadStruct<PreviewHeader>(block).flags & PreviewFlagGif ? " gif" : " stored";
    else if (plan.previewOffset != 0)
        shown += " no preview";
    if (plan.notesOffset != 0 || plan.HasNotes())
        shown += " notes '" + std::string(plan.notes.GetText() ? plan.notes.GetText() : "") + "'";
    if (plan.HasProjectData() || plan.projectData.Texts() != ProjectTexts{})
        shown += " data " + test::Joined(plan.projectData.Texts());
    shown += plan.signInOffset != 0 ? " signin" : "";
    return shown + (plan.projectPath.empty() ? "" : " " + plan.projectPath);
}

TEST(PlanRead, ShowsWhatTheHeaderAndItsBlocksHold)
{
    using enum PlanPointer;
    test::ScopedCharTables roman;
    const std::string n31(31, 'n'), none = " data |||||", full = " notes 'Notes\r\nline two' data ";
    const std::string signIn = " signin C:\\V";
    const std::string unread = "fails: --   0.0 r0 ''@0 0 / 0";
    const std::vector<uint8_t> header = Cut(Full(WW).Build(), 256);
    PlanBuilder chained(MM);
    chained.Block(1, Bytes("a")).Block(2, {}).Block(3, std::vector<uint8_t>(300, 7)).Block(270, Bytes("n\nx"));
    const struct {
        const char* label;
        std::vector<uint8_t> bytes;
        std::string shown;
    } cases[] = {
        {"Windows", PlanBuilder(WW).Release(42).Version(4050).DocumentName(Windows).Build(),
         "WW   4.05 r42 '" + Windows + "'@16 -1 / -1"},
        {"Mac", PlanBuilder(MM).Release(-3).Version(-1).DocumentName(Mac).Build(),
         "MM   0.-01 r-3 '" + Windows + "'@16 -1 / -1"},
        {"Unix", PlanBuilder(UU).Version(12345).DocumentName(n31 + "nn").Build(),
         "UU  12.345 r0 '" + n31 + "'@16 -1 / -1"},
        {"one byte", Cut(header, 1), unread},
        {"short header", Cut(header, 255), unread},
        // Legacy headers: the leading value selects the platform, the version and the form.
        {"Windows L1", LegacyPlan(100.5f, 36, 4, Mac), "WW   0.5 r0 '" + Mac + "'@4 0 / 0"},
        {"Windows L1 short", LegacyPlan(100.5f, 35, 4, Mac), "fails: WW   0.5 r0 ''@0 0 / 0"},
        {"Mac L1", LegacyPlan(0.5f, 4), "MM   0.5 r0 ''@0 0 / 0"},
        {"last L1", LegacyPlan(1.0f, 4), "MM   1.0 r0 ''@0 0 / 0"},
        {"Windows L2", LegacyPlan(104.1f, 512, 120, Mac), "WW   4.1 r0 '" + Mac + "'@120 0 / 0"},
        {"Windows L2 short", LegacyPlan(104.1f, 511, 120, Mac), "fails: WW   4.1 r0 ''@0 0 / 0"},
        {"last L2", LegacyPlan(104.18f, 512, 120, Mac), "WW   4.18 r0 '" + Mac + "'@120 0 / 0"},
        {"Mac L2", LegacyPlan(4.15f, 86), "MM   4.15 r0 ''@0 0 / 0"},
        {"Mac L2 short", LegacyPlan(4.15f, 85), "fails: MM   4.15 r0 ''@0 0 / 0"},
        {"Mac L3", LegacyPlan(4.5f, 512, 96, Mac), "MM   4.5 r258 '" + Windows + "'@96 0 / 0"},
        {"Mac L3 short", LegacyPlan(4.5f, 511, 96, Mac), "fails: MM   4.5 r0 ''@0 0 / 0"},
        {"first L3", LegacyPlan(4.181f, 512, 96, Mac), "MM   4.181 r258 '" + Windows + "'@96 0 / 0"},
        {"Windows L3", LegacyPlan(105.0f, 512, 96, Mac), "WW   5.0 r258 '" + Mac + "'@96 0 / 0"},
        {"highest", LegacyPlan(2147583.0f, 512, 96, Mac), "WW 2147483.0 r258 '" + Mac + "'@96 0 / 0"},
        {"Mac 100.0 as stored", LegacyPlan(100.0f, 512, 96, Mac), "MM 100.0 r513 '" + Mac + "'@96 0 / 0"},
        {"count 32", LegacyPlan(4.5f, 512, 96, std::string(32, 'n')), "MM   4.5 r258 '" + n31 + "'@96 0 / 0"},
        {"count 255", LegacyPlan(104.1f, 512, 120, std::string(255, 'n')), "WW   4.1 r0 '" + n31 + "'@120 0 / 0"},
        // Leading values outside the forms
        {"2.0", Outside(2.0f), unread},     {"1.001", Outside(1.001f), unread}, {"4.099", Outside(4.099f), unread},
        {"0.0", Outside(0.0f), unread},     {"0.0004", Outside(0.0004f), unread}, {"-1.0", Outside(-1.0f), unread},
        {"100.0004", Outside(100.0004f), unread}, {"1e30", Outside(1e30f), unread},
        {"2147584.0", Outside(2147584.0f), unread},
        {"NaN", Outside(std::numeric_limits<float>::quiet_NaN()), unread},
        {"infinity", Outside(std::numeric_limits<float>::infinity()), unread},
        // Blocks, found in any order
        {"Windows blocks", Full(WW).Build(), "WW   0.0 r40 'First'@16 12 / 345 C gif" + full +
         Joined(RecordTexts("\x8A", "\r\n")) + signIn},
        {"Mac blocks", Full(MM).Build(), "MM   0.0 r40 'First'@16 12 / 345 C gif" + full +
         Joined(RecordTexts("\xE4", "\r\n")) + signIn},
        {"notes after others", chained.Build(), "MM   0.0 r0 ''@16 -1 / -1 notes 'n\r\nx'"},
        {"empty notes", PlanBuilder(WW).Block(270, {}).Block(5, Bytes("tail")).Build(),
         "WW   0.0 r0 ''@16 -1 / -1 notes ''"},
        // The scan ends before a block header that ends the file.
        {"empty notes ending the file", PlanBuilder(WW).Block(270, {}).Build(), "WW   0.0 r0 ''@16 -1 / -1"},
        // Up to release 39 a block of tag 468 is a stored preview, from 40 on a GIF.
        {"468 in 39", With(WW, 39, 468, GreyPreview(), Preview), "WW   0.0 r39 ''@16 -1 / -1 stored"},
        {"468 in 40", With(MM, 40, 468, GreyPreview(), Preview), "MM   0.0 r40 ''@16 -1 / -1 no preview"},
        {"GIF 468 in 40", With(WW, 40, 468, SmallGif(), Preview), "WW   0.0 r40 ''@16 -1 / -1 gif"},
        {"581 in 39", With(MM, 39, 581, SmallGif(), Preview), "MM   0.0 r39 ''@16 -1 / -1 gif"},
        // Sign-in values are shown for marker C only, the path, never translated, for
        // any marker; without a marker the block is not read.
        {"marker X", With(MM, 0, 520, SignInRecord(MM, true, "R\x8E"), SignIn, 'X'),
         "MM   0.0 r0 ''@16 -1 / -1 X signin R\x8E"},
        {"no path", With(MM, 0, 520, SignInRecord(MM, false), SignIn, 'C'), "MM   0.0 r0 ''@16 12 / 345 C signin"},
        {"longest path", With(WW, 0, 520, SignInRecord(WW, true, std::string(300, 'p')), SignIn, 'C'),
         "WW   0.0 r0 ''@16 12 / 345 C signin " + std::string(299, 'p')},
        {"path cut", Cut(With(WW, 0, 520, SignInRecord(WW), SignIn, 'C'), 705),
         "fails: WW   0.0 r0 ''@16 12 / 345 C signin"},
        {"record cut", Cut(With(MM, 0, 520, SignInRecord(MM), SignIn, 'X'), 405),
         "fails: MM   0.0 r0 ''@16 -1 / -1 X signin"},
        {"unmarked", Cut(With(WW, 0, 520, SignInRecord(WW), SignIn), 300), "WW   0.0 r0 ''@16 -1 / -1 signin"},
        // Blocks of the wrong tag, longer than the file or too short for a record leave
        // their item empty.
        {"wrong tags", PlanBuilder(WW).SignInMarker('C').Block(520, SmallGif(), Preview)
                           .Block(468, Record(WW), ProjectData).Block(584, SignInRecord(WW), SignIn).Build(),
         "WW   0.0 r0 ''@16 -1 / -1 C no preview" + none + " signin"},
        {"long notes", PlanBuilder(WW).BlockClaiming(270, 0xFFFFFFF0u, Bytes("short")).Build(),
         "WW   0.0 r0 ''@16 -1 / -1 notes ''"},
        {"long preview", PlanBuilder(MM).Release(39).BlockClaiming(468, 0x7FFFFFFF, GreyPreview(), Preview).Build(),
         "MM   0.0 r39 ''@16 -1 / -1 no preview"},
        {"short record", PlanBuilder(WW).BlockClaiming(584, 2047, Record(WW), ProjectData).Build(),
         "WW   0.0 r0 ''@16 -1 / -1" + none},
        // A pointer past the end or into the last bytes fails the load; negative means none.
        {"preview past the end", PlanBuilder(WW).Block(1, Bytes("x")).PointAt(Preview, 1000).Build(),
         "fails: WW   0.0 r0 ''@16 -1 / -1 no preview"},
        {"sign-in far past the end",
         PlanBuilder(WW).SignInMarker('C').Block(1, Bytes("x")).PointAt(SignIn, 0x7FFFFFF6).Build(),
         "fails: WW   0.0 r0 ''@16 -1 / -1 C signin"},
        {"record in the last bytes", PlanBuilder(MM).Block(1, Bytes("x")).PointAt(ProjectData, 260).Build(),
         "fails: MM   0.0 r0 ''@16 -1 / -1" + none},
        {"negative", PlanBuilder(WW).PointAt(ProjectData, 0x80000000u).Build(), "WW   0.0 r0 ''@16 -1 / -1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        PlanFile fresh, used;
        MemoryFile full(Full(MM).Build()), file(c.bytes);
        ASSERT_TRUE(used.Read(full));
        bool loaded = fresh.Read(file);
        EXPECT_EQ(Shown(fresh, loaded), c.shown);
        // Nothing of an earlier load stays.
        EXPECT_EQ(Shown(used, used.Read(file)), c.shown);
    }
}

TEST(PlanFindBlock, ScansTheChainFromStartAndLeavesTheFileAfterTheHeaderFound)
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
        EXPECT_EQ(PlanFile::FindBlock(file, builder.BlockOffset(1), 4, big), builder.BlockOffset(3));
        EXPECT_EQ(PlanFile::FindBlock(file, 100000, 1, big), 0u);
    }
    // Lengths that would lead back or past the file end the scan; empty blocks do not.
    for (uint32_t length : {0x80000000u, 0xFFFFFFFFu, 0xFFFFFFFAu, 0x7FFFFFFFu}) {
        MemoryFile file(PlanBuilder(WW).BlockClaiming(1, length, Bytes("x")).Block(270, Bytes("n")).Build());
        EXPECT_EQ(PlanFile::FindBlock(file, 256, 270, false), 0u) << length;
    }
    // A chain of empty blocks is walked from a few large reads.
    PlanBuilder empties(MM);
    for (int i = 0; i < 5000; ++i)
        empties.Block(1, {});
    test::RecordingFile file(empties.Block(270, Bytes("end")).Build());
    EXPECT_EQ(PlanFile::FindBlock(file, 256, 270, true), 256u + 5000u * 6u);
    EXPECT_LE(file.Count("read"), 10u);
}

// The bytes with the 32-byte field at offset holding the text and zeros.
std::vector<uint8_t> WithField(const std::vector<uint8_t>& bytes, size_t offset, const std::string& text)
{
    return test::ByteWriter(bytes).At(offset).Text(text, 32).Data();
}

TEST(PlanWrite, NameAndProjectDataAreWrittenInTheFormTheReaderReadsOrNotAtAll)
{
    test::ScopedCharTables roman;
    const std::string mac = "Caf\x8E Nord", name = "Caf\xE9 Nord", count(1, char(name.size()));
    const std::vector<uint8_t> plan = PlanBuilder(WW).DocumentName("Old").Block(270, Bytes("notes")).Build();
    const std::vector<uint8_t> mm = PlanBuilder(MM).DocumentName("Old").Build();
    const std::vector<uint8_t> l1 = LegacyPlan(100.5f, 36, 4, "Old"), l3 = LegacyPlan(4.5f, 512, 96, "Old");
    const std::vector<uint8_t> l3w = LegacyPlan(100.0f, 512, 96, "Old");
    const std::string longest(31, 'L');
    auto withRecord = [](uint16_t platform, uint16_t tag = 584) {
        return PlanBuilder(platform).Block(270, Bytes("notes"))
            .Block(tag, Record(platform), PlanPointer::ProjectData).Block(7, Bytes("after")).Build();
    };
    const std::vector<uint8_t> dataWW = withRecord(WW), dataMM = withRecord(MM);
    // The record's block since cut to 0x7FF bytes.
    const std::vector<uint8_t> cut = ByteWriter(dataMM, ByteOrder::Big).At(256 + 6 + 5 + 2).U32(0x7FF).Data();
    const struct {
        const char* label;
        test::Written written, expected;
    } cases[] = {
        {"Windows", test::Renamed<PlanFile>(plan, name), WithField(plan, 16, name)},
        {"Mac", test::Renamed<PlanFile>(mm, name), WithField(mm, 16, mac)},
        {"Windows L1", test::Renamed<PlanFile>(l1, name), WithField(l1, 4, count + name)},
        {"Mac L3", test::Renamed<PlanFile>(l3, name), WithField(l3, 96, count + mac)},
        {"Mac L3 as stored", test::Renamed<PlanFile>(l3w, name), WithField(l3w, 96, count + name)},
        {"31 characters", test::Renamed<PlanFile>(plan, longest), WithField(plan, 16, longest)},
        {"32 characters", test::Renamed<PlanFile>(plan, longest + "L"), std::nullopt},
        {"empty", test::Renamed<PlanFile>(plan, ""), std::nullopt},
        {"unchanged", test::Renamed<PlanFile>(plan, "Old"), std::nullopt},
        {"no name in Mac L1", test::Renamed<PlanFile>(LegacyPlan(0.5f, 4), name), std::nullopt},
        {"no field left", test::Renamed<PlanFile>(plan, name, Cut(plan, 47)), std::nullopt},
        {"write fails", test::Renamed<PlanFile>(plan, name, plan, 0), test::Failed},
        // Saved again in another form while the page was open
        {"now a Mac plan", test::Renamed<PlanFile>(plan, name, mm), test::Failed},
        // Project data; what a change writes is in the properties' tests.
        {"data unchanged", test::Rewritten<PlanFile>(dataWW, {}, true), std::nullopt},
        {"no record", test::Rewritten<PlanFile>(PlanBuilder(WW).Build()), std::nullopt},
        {"block of another tag", test::Rewritten<PlanFile>(withRecord(WW, 583)), test::Failed},
        {"block cut since", test::Rewritten<PlanFile>(dataMM, cut), test::Failed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.written, c.expected) << c.label;
}

}  // namespace
}  // namespace orv
