#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "DocumentWrites.h"
#include "InfoFileBuilder.h"
#include "LibPartBuilder.h"
#include "ModulBuilder.h"
#include "PlanBuilder.h"
#include "ScopedCharTables.h"
#include "SfoldBuilder.h"
#include "handlers/DocumentProperties.h"

namespace orv {
namespace {

using namespace test;
using Sets = std::vector<std::pair<std::string, std::string>>;

// Where the project data record lies in the plans Plan builds, and in books.
constexpr size_t PlanRecord = 256 + 6 + 5 + 6;
constexpr size_t BookRecord = 88 + 6;

const char* const Names[] = {"System.Title",   "System.Subject",  "System.Author",
                             "System.Keywords", "System.Comment", "System.Document.RevisionNumber",
                             "System.ApplicationName", "System.Size"};

std::vector<uint8_t> Plan(uint16_t platform, const ProjectTexts& texts)
{
    return test::PlanBuilder(platform).Version(4550).Release(42).DocumentName("Villa Rosa")
        .Block(270, Bytes("notes")).Block(584, ProjectDataRecord(platform, texts), test::PlanPointer::ProjectData)
        .Build();
}

const ProjectTexts Stored = {"Villa", "Ann; Bo", "C", "VR-", " house ;garden;; ", "one\rtwo"};
const std::vector<uint8_t> WindowsPlan = Plan(WW, Stored);
const std::vector<uint8_t> Script = Bytes("! Document name: Window 120\r\nBLOCK 1, 1, 1\r\n");

test::SfoldFields Book(uint8_t platformByte, uint8_t writerCode, const std::string& name = "Book")
{
    return {.platformByte = platformByte, .writerCode = writerCode, .documentName = name, .nameFiller = false};
}

// Record C, when given, holds the version block.
std::vector<uint8_t> Module(const test::ModulRecord& versionRecord = {})
{
    return test::Module({3, StoredMetafile()}, {0xD005, GreyPreview()}, versionRecord);
}

// Each property the document has, "name=text" a line, then those it lets be written.
std::string Shown(const DocumentProperties& properties)
{
    std::string shown;
    for (const DocumentProperty& property : properties.Values())
        shown += std::string(property.name) + "=" + property.text + "\n";
    shown += "writable:";
    for (const char* name : Names)
        shown += properties.IsWritable(name) ? std::string(" ") + name : "";
    return shown;
}

struct Edited {
    bool committed;
    std::vector<uint8_t> bytes;
    std::string shown;   // by the object that wrote
    std::string reread;  // by a new one
};

// The document after the texts were set and committed into a file that takes at most
// writeLimit bytes.
Edited Edit(const char* name, const std::vector<uint8_t>& bytes, const Sets& sets, uint64_t writeLimit = UINT64_MAX)
{
    MemoryFile file(bytes);
    DocumentProperties properties, reread;
    std::string error;
    EXPECT_TRUE(properties.Read(file, name, error)) << error;
    for (const auto& [property, text] : sets)
        EXPECT_TRUE(properties.Set(property, text)) << property;
    file.LimitWrites(writeLimit);
    bool committed = properties.Commit(file, error);
    EXPECT_EQ(committed, error.empty()) << error;
    MemoryFile written(file.Bytes());
    EXPECT_TRUE(reread.Read(written, name, error));
    return {committed, file.Bytes(), Shown(properties), Shown(reread)};
}

TEST(DocumentPropertiesRead, EachFamilyShowsWhatItsPagesShowUnderTheSystemNames)
{
    test::ScopedCharTables roman;
    const std::string project = " System.Subject System.Author System.Keywords System.Comment "
                                "System.Document.RevisionNumber";
    const std::string projectValues = "System.Subject=Villa\nSystem.Author=Ann; Bo\nSystem.Keywords=house; garden\n"
                                      "System.Comment=one\r\ntwo\nSystem.Document.RevisionNumber=C\n";
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string shown;
    } cases[] = {
        {"Villa.pln", WindowsPlan,
         "System.Title=Villa Rosa\n" + projectValues +
             "System.ApplicationName=Orvenstaal 4.55 release 42 (Windows)\nwritable: System.Title" + project},
        // Mac characters: 0x8E is e acute.
        {"R.pln", test::PlanBuilder(MM).Version(5000).DocumentName("R\x8E").Build(),
         "System.Title=R\xE9\nSystem.ApplicationName=Orvenstaal 5.0 (Macintosh)\nwritable: System.Title"},
        {"U.pln", test::PlanBuilder(UU).Version(5000).Build(),
         "System.ApplicationName=Orvenstaal 5.0 (Unix)\nwritable: System.Title"},
        // A legacy header without a name field.
        {"Old.pln", test::LegacyPlan(4.15f, 86), "System.ApplicationName=Orvenstaal 4.15 (Macintosh)\nwritable:"},
        {"Sheets.sfk", test::SfoldBook(Book(1, 0), 372, ProjectDataRecord(WW, Stored)),
         "System.Title=Book\n" + projectValues + "System.ApplicationName=Sheetfold 4.1 (Windows)\nwritable: System.Title" +
             project},
        {"Sheets.sfk", test::SfoldBook(Book(0, 1, "Mac")),
         "System.Title=Mac\nSystem.ApplicationName=Bauvelle 4.1 (Macintosh)\nwritable: System.Title"},
        {"Sheets.sfk", test::SfoldBook(Book(1, 2)), "System.Title=Book\nwritable: System.Title"},
        // A library part's version numbers its format.
        {"Door.qxm", test::LibPart(WW, "Door 90", {}, 13),
         "System.Title=Door 90\nSystem.ApplicationName=Orvenstaal (Windows)\nwritable: System.Title"},
        {"Terrace.mod", Module({0xD004, test::VersionBlock(1, 6010)}),
         "System.ApplicationName=Orvenstaal 6.01 release 1\nwritable:"},
        {"Terrace.mod", Module({0xD004, test::VersionBlock(0, 6010)}), "System.ApplicationName=Orvenstaal 6.01\nwritable:"},
        {"Bare.mod", Module(), "writable:"},
        {"Window.qdl", Script, "System.Title=Window 120\nwritable: System.Title"},
        {"Materials.qpd", test::InfoFileBuilder().Info("Materials", "Stone", "grey").Build(), "writable:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFile file(c.bytes);
        DocumentProperties properties;
        std::string error;
        ASSERT_TRUE(properties.Read(file, c.name, error)) << error;
        EXPECT_EQ(Shown(properties), c.shown);
        // What cannot be written is not taken, and then nothing is written.
        for (const char* name : Names) {
            if (!properties.IsWritable(name)) {
                EXPECT_FALSE(properties.Set(name, "x")) << name;
            }
        }
        EXPECT_TRUE(properties.Commit(file, error));
        EXPECT_EQ(file.Bytes(), c.bytes);
    }
    DocumentProperties unread;
    MemoryFile text(Bytes("plain text"));
    std::string error;
    EXPECT_FALSE(unread.Read(text, "notes.txt", error));
    EXPECT_EQ(Shown(unread), "writable:");
}

TEST(DocumentPropertiesList, ItemsAreSplitAtSemicolonsAndJoinedWithSemicolonAndSpace)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"house", {"house"}},
        {"house; garden", {"house", "garden"}},
        {" \thouse ;garden;;\r\n", {"house", "garden"}},
        {"; ;", {}},
        {"a b;c", {"a b", "c"}},
    };
    for (const auto& [text, items] : cases) {
        EXPECT_EQ(DocumentProperties::SplitList(text), items) << text;
        EXPECT_EQ(DocumentProperties::SplitList(DocumentProperties::JoinList(items)), items) << text;
    }
    EXPECT_EQ(DocumentProperties::JoinList({"house", "garden", "roof"}), "house; garden; roof");
    EXPECT_TRUE(DocumentProperties::IsList("System.Keywords") && DocumentProperties::IsList("System.Author"));
    EXPECT_FALSE(DocumentProperties::IsList("System.Comment") || DocumentProperties::IsList("System.Nothing"));
}

// The written file is compared with the document its builder makes with the new values;
// a value that cannot be kept as given writes none of the others.
TEST(DocumentPropertiesCommit, WritesOnlyTheChangedFieldsAndReadsBackAsGivenOrNothing)
{
    test::ScopedCharTables roman;
    const std::vector<uint8_t> plan = WindowsPlan, macPlan = Plan(MM, Stored);
    const std::string longText(128, 'k');
    auto renamed = [](const std::vector<uint8_t>& bytes, const std::string& stored) {
        return test::ByteWriter(bytes).At(16).Text(stored, 32).Data();
    };
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        Sets sets;
        std::vector<uint8_t> written;  // empty: refused
        uint64_t writeLimit = UINT64_MAX;
    } cases[] = {
        {"Villa.pln", plan, {{"System.Title", "Villa S\xFC" "d"}, {"System.Keywords", "roof;wall"},
                             {"System.Comment", "new\nline"}, {"System.Author", "Cy"}},
         test::WithStoredTexts(renamed(plan, "Villa S\xFC" "d"), PlanRecord,
                               {{1, "Cy"}, {4, "roof; wall"}, {5, "new\rline"}})},
        // The Mac record and name get Mac characters: u umlaut 0x9F, e acute 0x8E.
        {"Villa.pln", macPlan, {{"System.Title", "S\xFC" "d"}, {"System.Comment", "caf\xE9\r\nbar"}},
         test::WithStoredTexts(renamed(macPlan, "S\x9F" "d"), PlanRecord, {{5, "caf\x8E\rbar"}})},
        {"Villa.pln", plan, {{"System.Subject", "Nova"}, {"System.Document.RevisionNumber", ""}},
         test::WithStoredTexts(plan, PlanRecord, {{0, "Nova"}, {2, ""}})},
        // The same items, the same name: nothing to write.
        {"Villa.pln", plan, {{"System.Keywords", "house; garden"}, {"System.Title", "Villa Rosa"}}, plan},
        {"Sheets.sfk", test::SfoldBook(Book(1, 0), 372, ProjectDataRecord(WW, Stored)),
         {{"System.Title", "Sheets"}, {"System.Comment", "c"}},
         test::WithStoredTexts(test::SfoldBook(Book(1, 0, "Sheets"), 372, ProjectDataRecord(WW, Stored)), BookRecord,
                               {{5, "c"}})},
        {"Door.qxm", test::LibPart(WW, "Door 90"), {{"System.Title", "Door 100"}}, test::LibPart(WW, "Door 100")},
        // A script's name line changes the file's length.
        {"Window.qdl", Script, {{"System.Title", "Window"}}, Bytes("! Document name: Window\r\nBLOCK 1, 1, 1\r\n")},
        {"Window.qdl", Script, {{"System.Title", "Window 120 wide"}},
         Bytes("! Document name: Window 120 wide\r\nBLOCK 1, 1, 1\r\n")},
        {"Villa.pln", plan, {{"System.Title", std::string(32, 'n')}, {"System.Comment", "c"}}, {}},
        {"Villa.pln", plan, {{"System.Title", "Ok"}, {"System.Comment", longText}}, {}},
        {"Villa.pln", plan, {{"System.Title", "Ok"}, {"System.Keywords", longText}}, {}},
        {"Villa.pln", plan, {{"System.Title", ""}}, {}},
        {"Villa.pln", plan, {{"System.Title", "two\r\nlines"}}, {}},
        {"Window.qdl", Script, {{"System.Title", ""}}, {}},
        {"Villa.pln", plan, {{"System.Title", "Ok"}}, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + std::string(" ") + c.sets.back().second);
        Edited edited = Edit(c.name, c.bytes, c.sets, c.writeLimit);
        EXPECT_EQ(edited.committed, !c.written.empty());
        EXPECT_EQ(edited.bytes, c.written.empty() ? c.bytes : c.written);
        if (edited.committed) {
            EXPECT_EQ(edited.reread, edited.shown);
        }
    }
    // Only the bytes that changed go out: here one digit of the name.
    test::RecordingFile part(test::LibPart(WW, "Door 99"));
    DocumentProperties properties;
    std::string error;
    ASSERT_TRUE(properties.Read(part, "Door.qxm", error) && properties.Set("System.Title", "Door 90"));
    part.log.clear();
    EXPECT_TRUE(properties.Commit(part, error));
    EXPECT_EQ(part.Count("write"), 1u);
    EXPECT_EQ(part.log.back(), "write 1");
    // Commit reads the document again, and a file it cannot read is not written either.
    struct Unreadable : MemoryFile {
        using MemoryFile::MemoryFile;
        uint32_t Read(void*, uint32_t) override { return 0; }
    };
    Unreadable unreadable(WindowsPlan);
    ASSERT_TRUE(properties.Read(part, "Door.qxm", error) && properties.Set("System.Title", "Ok"));
    EXPECT_FALSE(properties.Commit(unreadable, error));
    EXPECT_NE(error, "");
    EXPECT_EQ(unreadable.Bytes(), WindowsPlan);
}

}  // namespace
}  // namespace orv
