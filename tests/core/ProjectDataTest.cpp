#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ByteWriter.h"
#include "ProjectDataBuilder.h"
#include "ScopedCharTables.h"
#include "plan/ProjectData.h"
#include "util/CharTables.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using RomanTables = test::ScopedCharTables;

using test::ProjectDataRecord;
using test::ProjectTextOffsets;

constexpr uint16_t Windows = 0x5757;
constexpr uint16_t Macintosh = 0x4D4D;
constexpr uint16_t Unix = 0x5555;

// Logs what reaches the file, to tell when and how it is written.
class RecordingFile : public File {
public:
    explicit RecordingFile(std::vector<uint8_t> bytes) : file(std::move(bytes)) { }

    uint32_t Read(void* buffer, uint32_t count) override
    {
        log.push_back("read " + std::to_string(count));
        return file.Read(buffer, count);
    }
    uint32_t Write(const void* buffer, uint32_t count) override
    {
        log.push_back("write " + std::to_string(count));
        return file.Write(buffer, count);
    }
    bool Seek(uint64_t position) override
    {
        log.push_back("seek " + std::to_string(position));
        return file.Seek(position);
    }
    uint64_t Position() const override { return file.Position(); }
    uint64_t Size() const override { return file.Size(); }
    bool Cut() override { return file.Cut(); }

    MemoryFile file;
    std::vector<std::string> log;
};

// Texts as a Macintosh stores them: Mac Roman (0x8E is e acute, 0x8A a umlaut) and
// lone CRs.
ProjectTexts MacStored()
{
    return {"Villa R\x8E"
            "sidence",
            "B\x8A"
            "r & Partner",
            "C",
            "VR-",
            "villa, garden",
            "first line\rsecond line\r"};
}

// The same texts as a page shows them.
ProjectTexts Shown()
{
    return {"Villa R\xE9sidence",           "B\xE4r & Partner", "C", "VR-", "villa, garden",
            "first line\r\nsecond line\r\n"};
}

// A record between other bytes, as it lies in a document.
std::vector<uint8_t> InDocument(const std::vector<uint8_t>& record)
{
    test::ByteWriter document;
    document.Fill(100, 0x5A).Bytes(record).Fill(50, 0xA5);
    return document.Data();
}

ProjectData ReadAt100(MemoryFile& file)
{
    ProjectData data;
    EXPECT_TRUE(file.Seek(100));
    EXPECT_TRUE(data.ReadFrom(file));
    return data;
}

void PutText(std::vector<uint8_t>& document, size_t field, const std::string& stored)
{
    std::copy(stored.begin(), stored.end(), document.begin() + 100 + ProjectTextOffsets[field]);
    document[100 + ProjectTextOffsets[field] + stored.size()] = 0;
}

TEST(ProjectDataRead, MacAndUnixRecordsAreTranslatedAndGetCrLfLineEnds)
{
    RomanTables roman;
    for (uint16_t code : {Macintosh, Unix}) {
        MemoryFile file(ProjectDataRecord(code, MacStored()));
        ProjectData data;
        ASSERT_TRUE(data.ReadFrom(file));
        EXPECT_EQ(data.Texts(), Shown()) << std::hex << code;
        EXPECT_EQ(file.Position(), 2048u);
    }
}

TEST(ProjectDataRead, WindowsRecordKeepsItsCharactersButNotItsLineEnds)
{
    RomanTables roman;
    MemoryFile file(ProjectDataRecord(Windows, {"R\xE9sidence", "", "", "", "", "a\rb\nc\r\nd"}));
    ProjectData data;
    ASSERT_TRUE(data.ReadFrom(file));
    EXPECT_EQ(data.Texts().project, "R\xE9sidence");
    EXPECT_EQ(data.Texts().comments, "a\r\nb\r\nc\r\nd");
}

TEST(ProjectDataRead, TextsAreCutAt127Characters)
{
    std::string full(128, 'k');  // fills the field, no terminator
    std::string lines(127, '\r');
    MemoryFile file(ProjectDataRecord(Windows, {full, "", "", "", full, lines}));
    ProjectData data;
    ASSERT_TRUE(data.ReadFrom(file));
    EXPECT_EQ(data.Texts().project, std::string(127, 'k'));
    EXPECT_EQ(data.Texts().author, "");
    EXPECT_EQ(data.Texts().keywords, std::string(127, 'k'));
    std::string shownLines;
    for (int i = 0; i < 127; ++i)
        shownLines += "\r\n";
    EXPECT_EQ(data.Texts().comments, shownLines);
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

TEST(ProjectDataWrite, AnUnchangedMacRecordIsWrittenBackByteForByte)
{
    RomanTables roman;
    std::vector<uint8_t> document = InDocument(ProjectDataRecord(Macintosh, MacStored()));
    MemoryFile file(document);
    ProjectData data = ReadAt100(file);
    ASSERT_TRUE(file.Seek(100));
    ASSERT_TRUE(data.WriteBack(file, data.Texts()));
    EXPECT_EQ(file.Bytes(), document);
}

TEST(ProjectDataWrite, OnlyTheTextsChangeAndLineEndsGoBackToLoneCr)
{
    RomanTables roman;
    for (uint16_t code : {Macintosh, Windows}) {
        std::vector<uint8_t> document =
            InDocument(ProjectDataRecord(code, MacStored(), 0xBEEF, 0xCAFEF00D));
        MemoryFile file(document);
        ProjectData data = ReadAt100(file);

        ProjectTexts shown = data.Texts();
        shown.keywords = "caf\xE9";
        shown.comments = "one\r\ntwo\r\n\r\nthree";
        ASSERT_TRUE(file.Seek(100));
        ASSERT_TRUE(data.WriteBack(file, shown));

        // Every other text is rewritten from what the page shows, which here is
        // what was stored; bytes after each terminator keep their stored values.
        std::vector<uint8_t> expected = document;
        PutText(expected, 4, code == Macintosh ? "caf\x8E" : "caf\xE9");
        PutText(expected, 5, "one\rtwo\r\rthree");
        EXPECT_EQ(file.Bytes(), expected) << std::hex << code;
        EXPECT_EQ(data.Texts(), shown);
        EXPECT_FALSE(data.IsChanged(shown));
    }
}

TEST(ProjectDataWrite, TypedTextsAreStoredCutTo127Characters)
{
    std::vector<uint8_t> document = InDocument(ProjectDataRecord(Windows, {}));
    MemoryFile file(document);
    ProjectData data = ReadAt100(file);
    ProjectTexts shown;
    shown.keywords = std::string(127, 'a') + "b";
    ASSERT_TRUE(file.Seek(100));
    ASSERT_TRUE(data.WriteBack(file, shown));

    std::vector<uint8_t> expected = document;
    PutText(expected, 4, std::string(127, 'a'));
    EXPECT_EQ(file.Bytes(), expected);
    EXPECT_EQ(data.Texts().keywords, std::string(127, 'a'));
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
        std::vector<uint8_t> document =
            InDocument(ProjectDataRecord(code, {"P", "A", lines, "D", "k", lines}));
        MemoryFile file(document);
        ProjectData data = ReadAt100(file);
        ProjectTexts shown = data.Texts();
        EXPECT_GT(shown.comments.size(), 127u);
        EXPECT_FALSE(data.IsChanged(shown));

        shown.keywords = "new";
        ASSERT_TRUE(file.Seek(100));
        ASSERT_TRUE(data.WriteBack(file, shown));
        std::vector<uint8_t> expected = document;
        PutText(expected, 4, "new");
        EXPECT_EQ(file.Bytes(), expected) << std::hex << code;
        EXPECT_EQ(data.Texts(), shown);
        EXPECT_FALSE(data.IsChanged(shown));
    }
}

TEST(ProjectDataWrite, AllOfTheRecordIsWrittenAtOnceAtTheEnd)
{
    RecordingFile file(ProjectDataRecord(Macintosh, MacStored()));
    ProjectData data;
    ASSERT_TRUE(data.ReadFrom(file.file));
    ProjectTexts shown = data.Texts();
    shown.keywords = "new";
    file.log.clear();
    ASSERT_TRUE(file.Seek(0));
    ASSERT_TRUE(data.WriteBack(file, shown));
    EXPECT_EQ(file.log, (std::vector<std::string>{"seek 0", "read 2048", "seek 0", "write 2048"}));
}

TEST(ProjectDataWrite, AFailedWriteReportsFailureAndKeepsTheTexts)
{
    for (uint64_t allowance : {0u, 100u}) {
        std::vector<uint8_t> document =
            InDocument(ProjectDataRecord(Windows, {"P", "", "", "", "k", ""}));
        MemoryFile file(document);
        ProjectData data = ReadAt100(file);
        ProjectTexts shown = data.Texts();
        shown.keywords = "changed";
        file.LimitWrites(allowance);
        ASSERT_TRUE(file.Seek(100));
        EXPECT_FALSE(data.WriteBack(file, shown));
        EXPECT_EQ(data.Texts().keywords, "k");
        EXPECT_TRUE(data.IsChanged(shown));
        if (allowance == 0) {
            EXPECT_EQ(file.Bytes(), document);
        }
        EXPECT_EQ(file.Bytes().size(), document.size());
        EXPECT_TRUE(std::equal(document.begin(), document.begin() + 100, file.Bytes().begin()));
        EXPECT_TRUE(std::equal(document.end() - 50, document.end(), file.Bytes().end() - 50));
    }
}

TEST(ProjectDataWrite, ARecordTheFileCannotHoldIsNotWritten)
{
    std::vector<uint8_t> record = ProjectDataRecord(Windows, {});
    record.resize(2000);
    RecordingFile file(record);
    ProjectData data;
    ProjectTexts shown;
    shown.keywords = "k";
    EXPECT_FALSE(data.WriteBack(file, shown));
    EXPECT_EQ(file.file.Bytes(), record);
    for (const std::string& entry : file.log)
        EXPECT_NE(entry.rfind("write", 0), 0u) << entry;
}

}  // namespace
}  // namespace orv
