#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "ByteWriter.h"
#include "ProjectDataBuilder.h"
#include "RecordingFile.h"
#include "ScopedCharTables.h"
#include "plan/ProjectData.h"
#include "util/CharTables.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using RomanTables = test::ScopedCharTables;
using test::ProjectDataRecord;
using test::RecordingFile;

constexpr uint16_t Windows = 0x5757;
constexpr uint16_t Macintosh = 0x4D4D;
constexpr uint16_t Unix = 0x5555;

// Texts as a Macintosh stores them: Mac Roman (0x8E is e acute, 0x8A a umlaut) and
// lone CRs.
ProjectTexts MacStored()
{
    return {"Villa R\x8E" "sidence", "B\x8A" "r & Partner", "C", "VR-", "villa, garden",
            "first line\rsecond line\r"};
}

// The same texts as a page shows them.
ProjectTexts Shown()
{
    return {"Villa R\xE9sidence", "B\xE4r & Partner", "C", "VR-", "villa, garden",
            "first line\r\nsecond line\r\n"};
}

// A record between other bytes, as it lies in a document, read from there.
struct PlacedRecord {
    explicit PlacedRecord(const std::vector<uint8_t>& record)
        : document(test::ByteWriter().Fill(100, 0x5A).Bytes(record).Fill(50, 0xA5).Data()),
          file(document)
    {
        EXPECT_TRUE(file.Seek(100));
        EXPECT_TRUE(data.ReadFrom(file));
    }

    bool WriteBack(const ProjectTexts& shown) { return file.Seek(100) && data.WriteBack(file, shown); }

    // The document with text fields (by number) holding these stored texts and their
    // terminators.
    std::vector<uint8_t> With(std::initializer_list<std::pair<size_t, std::string>> texts) const
    {
        std::vector<uint8_t> bytes = document;
        for (const auto& [field, stored] : texts)
            std::copy_n(stored.c_str(), stored.size() + 1,
                        bytes.begin() + 100 + test::ProjectTextOffsets[field]);
        return bytes;
    }

    std::vector<uint8_t> document;
    MemoryFile file;
    ProjectData data;
};

TEST(ProjectDataRead, TextsAreTranslatedFromMacCharactersCutAt127AndGetCrLfLineEnds)
{
    RomanTables roman;
    const std::string full(128, 'k'), cut(127, 'k');  // full fills its field, no terminator
    std::string shownLines;
    for (int i = 0; i < 127; ++i)
        shownLines += "\r\n";
    const struct { uint16_t code; ProjectTexts stored, shown; } cases[] = {
        {Macintosh, MacStored(), Shown()},
        {Unix, MacStored(), Shown()},
        // A Windows record keeps its characters but not its line ends.
        {Windows, {"R\xE9sidence", "", "", "", "", "a\rb\nc\r\nd"},
         {"R\xE9sidence", "", "", "", "", "a\r\nb\r\nc\r\nd"}},
        {Windows, {full, "", "", "", full, std::string(127, '\r')}, {cut, "", "", "", cut, shownLines}},
    };
    for (const auto& c : cases) {
        MemoryFile file(ProjectDataRecord(c.code, c.stored));
        ProjectData data;
        ASSERT_TRUE(data.ReadFrom(file));
        EXPECT_EQ(data.Texts(), c.shown) << std::hex << c.code << " " << c.stored.project;
        EXPECT_EQ(file.Position(), 2048u);
    }
}

TEST(ProjectDataRead, AShortRecordFailsAndKeepsTheTexts)
{
    MemoryFile good(ProjectDataRecord(Windows, {"kept", "", "", "", "", ""}));
    ProjectData data;
    ASSERT_TRUE(data.ReadFrom(good));

    std::vector<uint8_t> shortRecord = ProjectDataRecord(Windows, {"other", "", "", "", "", ""});
    shortRecord.pop_back();
    MemoryFile file(shortRecord);
    EXPECT_FALSE(data.ReadFrom(file));
    EXPECT_EQ(data.Texts().project, "kept");
}

TEST(ProjectDataChange, ComparesTheFirst127CharactersCaseSensitively)
{
    MemoryFile file(ProjectDataRecord(Windows, {"P", "A", "R", "D", std::string(127, 'k'), "C"}));
    ProjectData data;
    ASSERT_TRUE(data.ReadFrom(file));
    ProjectTexts shown = data.Texts();
    EXPECT_FALSE(data.IsChanged(shown));
    shown.keywords += "k";  // a 128th character is not read from the edit
    EXPECT_FALSE(data.IsChanged(shown));
    shown.keywords = std::string(126, 'k') + "K";
    EXPECT_TRUE(data.IsChanged(shown));
    shown = data.Texts();
    shown.project = "p";
    EXPECT_TRUE(data.IsChanged(shown));
    EXPECT_FALSE(ProjectData().IsChanged(ProjectTexts{}));
}

TEST(ProjectDataWrite, OnlyTheTextsChangeAndLineEndsGoBackToLoneCr)
{
    RomanTables roman;
    for (uint16_t code : {Macintosh, Windows}) {
        SCOPED_TRACE(code);
        PlacedRecord placed(ProjectDataRecord(code, MacStored(), 0xBEEF, 0xCAFEF00D));
        ASSERT_TRUE(placed.WriteBack(placed.data.Texts()));
        EXPECT_EQ(placed.file.Bytes(), placed.document);  // unchanged, byte for byte

        ProjectTexts shown = placed.data.Texts();
        shown.keywords = "caf\xE9";
        shown.comments = "one\r\ntwo\r\n\r\nthree";
        ASSERT_TRUE(placed.WriteBack(shown));

        // Every other text is rewritten from what the page shows, which here is
        // what was stored; bytes after each terminator keep their stored values.
        EXPECT_EQ(placed.file.Bytes(), placed.With({{4, code == Macintosh ? "caf\x8E" : "caf\xE9"},
                                                     {5, "one\rtwo\r\rthree"}}));
        EXPECT_EQ(placed.data.Texts(), shown);
        EXPECT_FALSE(placed.data.IsChanged(shown));
    }
}

TEST(ProjectDataWrite, TypedTextsAreStoredCutTo127Characters)
{
    PlacedRecord placed(ProjectDataRecord(Windows, {}));
    ProjectTexts shown;
    shown.keywords = std::string(127, 'a') + "b";
    ASSERT_TRUE(placed.WriteBack(shown));
    EXPECT_EQ(placed.file.Bytes(), placed.With({{4, std::string(127, 'a')}}));
    EXPECT_EQ(placed.data.Texts().keywords, std::string(127, 'a'));
}

TEST(ProjectDataWrite, AFieldFullOfLinesIsWrittenBackWhole)
{
    // 127 stored characters with line ends take more than 127 on a page; a text that
    // was not touched must not lose its end when another one changes.
    std::string lines;
    for (char line = 'a'; line < 'a' + 18; ++line)
        lines += std::string("line ") + line + "\r";
    lines += "z";
    ASSERT_EQ(lines.size(), 127u);
    for (uint16_t code : {Macintosh, Windows}) {
        SCOPED_TRACE(code);
        PlacedRecord placed(ProjectDataRecord(code, {"P", "A", lines, "D", "k", lines}));
        ProjectTexts shown = placed.data.Texts();
        EXPECT_GT(shown.comments.size(), 127u);
        EXPECT_FALSE(placed.data.IsChanged(shown));

        shown.keywords = "new";
        ASSERT_TRUE(placed.WriteBack(shown));
        EXPECT_EQ(placed.file.Bytes(), placed.With({{4, "new"}}));
        EXPECT_EQ(placed.data.Texts(), shown);
        EXPECT_FALSE(placed.data.IsChanged(shown));
    }
}

TEST(ProjectDataWrite, AllOfTheRecordIsWrittenAtOnceAtTheEndAndOnlyWhereItFits)
{
    RecordingFile file(ProjectDataRecord(Macintosh, MacStored()));
    ProjectData data;
    ASSERT_TRUE(data.ReadFrom(file));
    ProjectTexts shown = data.Texts();
    shown.keywords = "new";
    file.log.clear();
    ASSERT_TRUE(file.Seek(0));
    ASSERT_TRUE(data.WriteBack(file, shown));
    EXPECT_EQ(file.log, (std::vector<std::string>{"seek 0", "read 2048", "seek 0", "write 2048"}));

    std::vector<uint8_t> record = ProjectDataRecord(Windows, {});
    record.resize(2000);
    RecordingFile shorter(record);
    EXPECT_FALSE(ProjectData().WriteBack(shorter, shown));
    EXPECT_EQ(shorter.Bytes(), record);
    EXPECT_EQ(shorter.Count("write"), 0u);
}

TEST(ProjectDataWrite, AFailedWriteReportsFailureAndKeepsTheTexts)
{
    for (uint64_t allowance : {0u, 100u}) {
        SCOPED_TRACE(allowance);
        PlacedRecord placed(ProjectDataRecord(Windows, {"P", "", "", "", "k", ""}));
        const std::vector<uint8_t>& document = placed.document;
        const std::vector<uint8_t>& written = placed.file.Bytes();
        ProjectTexts shown = placed.data.Texts();
        shown.keywords = "changed";
        placed.file.LimitWrites(allowance);
        EXPECT_FALSE(placed.WriteBack(shown));
        EXPECT_EQ(placed.data.Texts().keywords, "k");
        EXPECT_TRUE(placed.data.IsChanged(shown));
        if (allowance == 0) {
            EXPECT_EQ(written, document);
        }
        ASSERT_EQ(written.size(), document.size());
        EXPECT_TRUE(std::equal(document.begin(), document.begin() + 100, written.begin()));
        EXPECT_TRUE(std::equal(document.end() - 50, document.end(), written.end() - 50));
    }
}

}  // namespace
}  // namespace orv
