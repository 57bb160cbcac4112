#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "QdlBuilder.h"
#include "RecordingFile.h"
#include "ScratchFolder.h"
#include "libpart/QdlFile.h"
#include "util/MemoryFile.h"

namespace orv {
namespace {

using test::NameLine;
using test::ScriptLines;
using test::Stored;

const std::string CRLF = "\r\n", CR = "\r", LF = "\n";

bool ReadScript(QdlFile& script, const std::string& text)
{
    MemoryFile file(Stored(text));
    return script.Read(file);
}

// What the page shows below the name.
std::string Body(const QdlFile& script)
{
    const char* text = script.scriptText.GetText();
    uint32_t length = script.scriptText.GetLength();
    return text ? std::string(text + script.bodyOffset, length - script.bodyOffset) : "";
}

TEST(QdlRead, TheFirstLineNamesTheDocument)
{
    QdlFile script;
    const struct {
        const char* label;
        std::string text;
        bool reads;
        std::string name;
        uint32_t bodyOffset;
        LineEndKind kind;
        std::string body;
    } cases[] = {
        {"CR LF", NameLine("Window 90", CRLF) + ScriptLines({"a", "b"}, {CRLF}), true, "Window 90", 28,
         LineEndsWindows, "a\r\nb\r\n"},
        {"CR", NameLine("Door", CR) + ScriptLines({"a", "b"}, {CR}), true, "Door", 23, LineEndsMac,
         "a\r\nb\r\n"},
        {"LF", NameLine("Door", LF) + "a" + LF + "b", true, "Door", 23, LineEndsUnix, "a\r\nb"},
        {"mixed", NameLine("Door", CRLF) + ScriptLines({"a", "b", "c"}, {LF, CR, CRLF}), true, "Door", 23,
         LineEndsWindows, "a\r\nb\r\nc\r\n"},
        {"40 characters", NameLine(std::string(40, 'n'), CRLF) + "a", true, std::string(31, 'n'), 59,
         LineEndsWindows, "a"},
        {"a zero in the name", NameLine(std::string("Do\0or", 5), CRLF), true, "Do", 24, LineEndsWindows, ""},
        {"prefix only", "! Document name: ", true, "", 0, LineEndsWindows, "! Document name: "},
        {"lower-case prefix", NameLine("Door", CRLF, "! Document Name: "), false, "", 0, LineEndKind{},
         "! Document Name: Door\r\n"},
        {"short", "! Document name:", false, "", 0, LineEndKind{}, "! Document name:"},
        {"empty", "", false, "", 0, LineEndKind{}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ReadScript(script, c.text), c.reads);
        EXPECT_EQ(std::tuple(script.documentName, script.bodyOffset, script.lineEndKind),
                  std::tuple(c.name, c.bodyOffset, c.kind));
        EXPECT_EQ(Body(script), c.body);
    }
}

TEST(QdlRename, TheFirstLineIsReplacedAndTheRestKeptByteForByte)
{
    const std::string mixed = ScriptLines({"a", "b", "c", "", "d"}, {LF, CR, CRLF, LF + CR});
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {NameLine("Door", CRLF) + "body", "Door 2", NameLine("Door 2", CRLF) + "body"},
        {NameLine("Door", CRLF) + mixed, "D", NameLine("D", CRLF) + mixed},
        {NameLine("Door", LF) + "a" + CRLF, "Door 2", NameLine("Door 2", LF) + "a" + CRLF},
        {NameLine(std::string(40, 'n'), CRLF) + "a", "Short", NameLine("Short", CRLF) + "a"},
        {"! Document name: ", std::string(31, 'x'), NameLine(std::string(31, 'x'), "")},
    };
    for (const auto& [text, newName, expected] : cases) {
        SCOPED_TRACE(text);
        QdlFile script;
        ASSERT_TRUE(ReadScript(script, text));
        MemoryFile source(Stored(text)), target;
        ASSERT_TRUE(script.WriteDocumentName(source, target, newName));
        EXPECT_EQ(target.Bytes(), Stored(expected));
        EXPECT_EQ(source.Bytes(), Stored(text));
        EXPECT_EQ(script.documentName, newName);
    }
}

TEST(QdlRename, IsRefusedForOtherLineEndsBadNamesOrAChangedFile)
{
    const std::string crlf = NameLine("Door", CRLF) + "a" + CRLF;
    const struct {
        const char* label;
        std::string read, written;  // nothing written: the file must not be touched
        std::string newName;
    } cases[] = {
        {"CR", NameLine("Door", CR) + "a" + CR, "", "New"},
        {"LF", NameLine("Door", LF) + "a" + LF, "", "New"},
        {"first line end CR", NameLine("Door", CR) + "a" + CRLF, "", "New"},
        {"empty", crlf, "", ""},
        {"32 characters", crlf, "", std::string(32, 'x')},
        {"a CR", crlf, "", "Do\ror"},
        {"an LF", crlf, "", "Do\nor"},
        {"a zero", crlf, "", std::string("Do\0or", 5)},
        {"unchanged", crlf, "", "Door"},
        {"saved again with CR", crlf, NameLine("Door", CR) + "a" + CR, "New"},
        {"saved again without the prefix", crlf, "! document name: Door\r\n", "New"},
        {"emptied", crlf, " ", "New"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QdlFile script;
        ASSERT_TRUE(ReadScript(script, c.read));
        test::RecordingFile source(Stored(c.written));
        MemoryFile target;
        EXPECT_FALSE(script.WriteDocumentName(source, target, c.newName));
        EXPECT_EQ(target.Size(), 0u);
        EXPECT_EQ(source.log.empty(), c.written.empty());
        EXPECT_EQ(script.documentName, "Door");
    }
}

TEST(QdlRename, AFailureAtAnyWriteIsReported)
{
    const std::string body = ScriptLines({"a", "b"}, {LF, CRLF});
    const std::string text = NameLine("Door", CRLF) + body;
    const size_t renamedSize = NameLine("Door 2", CRLF).size() + body.size();
    for (uint64_t allowance = 0; allowance < renamedSize; ++allowance) {
        QdlFile script;
        ASSERT_TRUE(ReadScript(script, text));
        MemoryFile source(Stored(text)), target;
        target.LimitWrites(allowance);
        EXPECT_FALSE(script.WriteDocumentName(source, target, "Door 2")) << allowance;
        EXPECT_EQ(script.documentName, "Door");
        EXPECT_EQ(source.Bytes(), Stored(text));
    }
}

TEST(QdlOnDisk, TheRenamedScriptReplacesTheFile)
{
    test::ScratchFolder folder;
    const std::string body = ScriptLines({"a", "b"}, {CR, CRLF}), crScript = NameLine("Door", CR);
    std::string path = folder.Write("door.qdl", Stored(NameLine("Door", CRLF) + body));
    std::string crPath = folder.Write("cr.qdl", Stored(crScript));
    QdlFile script, crFile;
    ASSERT_TRUE(script.Load(path.c_str()) && crFile.Load(crPath.c_str()));
    ASSERT_TRUE(script.WriteDocumentName(path.c_str(), "Door 2"));
    EXPECT_EQ(test::ReadWholeFile(path), Stored(NameLine("Door 2", CRLF) + body));
    EXPECT_FALSE(crFile.WriteDocumentName(crPath.c_str(), "New"));
    EXPECT_EQ(test::ReadWholeFile(crPath), Stored(crScript));

    std::filesystem::remove(path);
    EXPECT_FALSE(script.WriteDocumentName(path.c_str(), "Door 3"));
    EXPECT_EQ(script.documentName, "Door 2");
}

}  // namespace
}  // namespace orv
