#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ByteWriter.h"
#include "ProjectDataBuilder.h"
#include "RecordingFile.h"
#include "ScopedCharTables.h"
#include "plan/ProjectData.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using test::ProjectDataRecord;

constexpr uint16_t Windows = 0x5757;
constexpr uint16_t Macintosh = 0x4D4D;

// Texts as a Macintosh stores them: Mac Roman (0x8E is e acute, 0x8A a umlaut) and
// lone CRs.
const ProjectTexts MacStored = {"Villa R\x8E" "sidence", "B\x8A" "r", "C", "VR-", "villa", "one\rtwo\r"};

// A record between other bytes, as it lies in a document, read from there.
struct PlacedRecord {
    explicit PlacedRecord(const std::vector<uint8_t>& record)
        : document(test::ByteWriter().Fill(100, 0x5A).Bytes(record).Fill(50, 0xA5).Data()), file(document)
    {
        EXPECT_TRUE(file.Seek(100) && data.ReadFrom(file));
    }

    std::vector<uint8_t> document;
    MemoryFile file;
    ProjectData data;
};

TEST(ProjectDataRead, TextsAreTranslatedFromMacCharactersCutAt127AndGetCrLfLineEnds)
{
    test::ScopedCharTables roman;
    const std::string full(128, 'k'), cut(127, 'k');  // full fills its field, no terminator
    std::string shownLines;
    for (int i = 0; i < 127; ++i)
        shownLines += "\r\n";
    const struct {
        uint16_t code;
        ProjectTexts stored, shown;
    } cases[] = {
        {Macintosh, MacStored, {"Villa R\xE9sidence", "B\xE4r", "C", "VR-", "villa", "one\r\ntwo\r\n"}},
        // A Windows record keeps its characters but not its line ends.
        {Windows, {"R\xE9s", "", "", "", "", "a\rb\nc\r\nd"}, {"R\xE9s", "", "", "", "", "a\r\nb\r\nc\r\nd"}},
        {Windows, {full, "", "", "", full, std::string(127, '\r')}, {cut, "", "", "", cut, shownLines}},
    };
    for (const auto& c : cases) {
        MemoryFile file(ProjectDataRecord(c.code, c.stored));
        ProjectData data;
        ASSERT_TRUE(data.ReadFrom(file));
        EXPECT_EQ(data.Texts(), c.shown) << std::hex << c.code << " " << c.stored.project;
        EXPECT_EQ(file.Position(), 2048u);
    }
    // A short record fails and keeps the texts.
    ProjectData data;
    std::vector<uint8_t> other = ProjectDataRecord(Windows, {});
    MemoryFile kept(ProjectDataRecord(Windows, {"kept", "", "", "", "", ""})), shortRecord(other.data(), 2047);
    ASSERT_TRUE(data.ReadFrom(kept));
    EXPECT_FALSE(data.ReadFrom(shortRecord));
    EXPECT_EQ(data.Texts().project, "kept");
}

// Every text not typed is rewritten from what the page shows, which is what was
// stored; bytes after each terminator keep their stored values. 127 stored characters
// with line ends take more than 127 on a page; a text that was not touched must not
// lose its end when another one changes, even in case only. A write that fails keeps
// the file and texts.
TEST(ProjectDataWrite, OnlyTheTextsChangeCutTo127WithLoneCrLineEnds)
{
    test::ScopedCharTables roman;
    std::string lines = "z";
    for (char line = 'a' + 18; line-- > 'a';)
        lines = std::string("line ") + line + "\r" + lines;
    const ProjectTexts full = {"P", "A", lines, "D", "k", lines};
    const test::StoredTexts typed = {
        {3, std::string(127, 'a') + "b"}, {4, "caf\xE9"}, {5, "one\r\ntwo\r\n\r\nthree"}};
    const std::string prefix(127, 'a'), comments = "one\rtwo\r\rthree";
    const struct {
        uint16_t code;
        ProjectTexts stored;
        test::StoredTexts typed, written;
    } cases[] = {
        {Macintosh, MacStored, {}, {}},
        {Macintosh, MacStored, typed, {{3, prefix}, {4, "caf\x8E"}, {5, comments}}},
        {Windows, MacStored, typed, {{3, prefix}, {4, "caf\xE9"}, {5, comments}}},
        {Macintosh, full, {{4, "K"}}, {{4, "K"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << " " << c.typed.size());
        PlacedRecord placed(ProjectDataRecord(c.code, c.stored, 0xBEEF, 0xCAFEF00D));
        const ProjectTexts read = placed.data.Texts();
        ProjectTexts shown = read;
        for (const auto& [field, text] : c.typed)
            shown.*test::ProjectTextFields[field] = text;
        EXPECT_EQ(placed.data.IsChanged(shown), !c.typed.empty());
        placed.file.LimitWrites(0);
        EXPECT_FALSE(placed.data.WriteBack(placed.file, 100, shown));
        EXPECT_EQ(std::tuple(placed.file.Bytes(), placed.data.Texts()), std::tuple(placed.document, read));
        placed.file.LimitWrites(UINT64_MAX);
        ASSERT_TRUE(placed.data.WriteBack(placed.file, 100, shown));
        EXPECT_EQ(placed.file.Bytes(), test::WithStoredTexts(placed.document, 100, c.written));
        EXPECT_FALSE(placed.data.IsChanged(shown));
        ProjectData reread;
        ASSERT_TRUE(placed.file.Seek(100) && reread.ReadFrom(placed.file));
        EXPECT_EQ(placed.data.Texts(), reread.Texts());
    }
}

TEST(ProjectDataWrite, AllOfTheRecordIsWrittenAtOnceAtTheEndAndOnlyWhereItFits)
{
    test::RecordingFile file(ProjectDataRecord(Macintosh, MacStored));
    ProjectData data;
    ASSERT_TRUE(data.ReadFrom(file));
    ProjectTexts shown = data.Texts();
    shown.keywords = "new";
    file.log.clear();
    ASSERT_TRUE(data.WriteBack(file, 0, shown));
    EXPECT_EQ(file.log, (std::vector<std::string>{"seek 0", "read 2048", "seek 0", "write 2048"}));

    const std::vector<uint8_t> record = test::Cut(ProjectDataRecord(Windows, {}), 2000);
    test::RecordingFile shorter(record);
    EXPECT_FALSE(ProjectData().WriteBack(shorter, 0, shown));
    EXPECT_EQ(shorter.Bytes(), record);
    EXPECT_EQ(shorter.Count("write"), 0u);

    // A file that cannot tell where it is: the record is not written over its start.
    struct Unplaced : test::RecordingFile {
        using RecordingFile::RecordingFile;
        uint64_t Position() const override { return 0; }
    };
    PlacedRecord placed(ProjectDataRecord(Windows, {}));
    Unplaced unplaced(placed.document);
    EXPECT_FALSE(placed.data.WriteBack(unplaced, 100, shown));
    EXPECT_EQ(unplaced.Bytes(), placed.document);
}

}  // namespace
}  // namespace orv
