#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "QdlBuilder.h"
#include "ScratchFolder.h"
#include "UntouchableFile.h"
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
    return std::string(script.scriptText.GetText() + script.bodyOffset,
                       script.scriptText.GetLength() - script.bodyOffset);
}

TEST(QdlRead, TheFirstLineNamesTheDocument)
{
    const std::string forty(40, 'n');
    const struct {
        const char* label;
        std::string text;
        std::string name;
        uint32_t bodyOffset;
        LineEndKind kind;
        std::string body;
    } cases[] = {
        {"CR LF", NameLine("Window 90", CRLF) + ScriptLines({"a", "b"}, {CRLF}), "Window 90", 28,
         LineEndsWindows, "a\r\nb\r\n"},
        {"CR", NameLine("Door", CR) + ScriptLines({"a", "b"}, {CR}), "Door", 23, LineEndsMac, "a\r\nb\r\n"},
        {"LF", NameLine("Door", LF) + "a" + LF + "b", "Door", 23, LineEndsUnix, "a\r\nb"},
        {"mixed", NameLine("Door", CRLF) + ScriptLines({"a", "b", "c"}, {LF, CR, CRLF}), "Door", 23,
         LineEndsWindows, "a\r\nb\r\nc\r\n"},
        {"40 characters", NameLine(forty, CRLF) + "a", std::string(31, 'n'), 59, LineEndsWindows, "a"},
        {"31 characters and a line end", NameLine(std::string(31, 'n'), CR), std::string(31, 'n'), 50,
         LineEndsMac, ""},
        {"a zero in the name", NameLine(std::string("Do\0or", 5), CRLF), "Do", 24, LineEndsWindows, ""},
        {"prefix only", "! Document name: ", "", 0, LineEndsWindows, "! Document name: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QdlFile script;
        ASSERT_TRUE(ReadScript(script, c.text));
        EXPECT_EQ(std::tuple(script.documentName, script.bodyOffset, script.lineEndKind, Body(script)),
                  std::tuple(c.name, c.bodyOffset, c.kind, c.body));
    }
}

TEST(QdlRead, TextsWithoutThePrefixFail)
{
    const std::string texts[] = {NameLine("Door", CRLF, "! Document Name: "), "! Document name:", "",
                                 " ! Document name: Door"};
    for (const std::string& text : texts) {
        QdlFile script;
        EXPECT_FALSE(ReadScript(script, text)) << text;
        EXPECT_EQ(script.documentName, "");
    }
}

TEST(QdlRename, TheFirstLineIsReplacedAndTheRestKeptByteForByte)
{
    const std::string mixed = ScriptLines({"a", "b", "c", "", "d"}, {LF, CR, CRLF, LF + CR});
    const struct {
        const char* label;
        std::string text;
        std::string newName;
        std::string expected;
    } cases[] = {
        {"CR LF", NameLine("Door", CRLF) + "body", "Door 2", NameLine("Door 2", CRLF) + "body"},
        {"mixed after the first line", NameLine("Door", CRLF) + mixed, "D", NameLine("D", CRLF) + mixed},
        {"first line ended by LF", NameLine("Door", LF) + ScriptLines({"a"}, {CRLF}), "Door 2",
         NameLine("Door 2", LF) + ScriptLines({"a"}, {CRLF})},
        {"40 characters", NameLine(std::string(40, 'n'), CRLF) + "a", "Short", NameLine("Short", CRLF) + "a"},
        {"prefix only", "! Document name: ", std::string(31, 'x'), NameLine(std::string(31, 'x'), "")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QdlFile script;
        ASSERT_TRUE(ReadScript(script, c.text));
        std::string oldBody = Body(script);
        MemoryFile source(Stored(c.text)), target;
        ASSERT_TRUE(script.WriteDocumentName(source, target, c.newName));
        EXPECT_EQ(target.Bytes(), Stored(c.expected));
        EXPECT_EQ(source.Bytes(), Stored(c.text));
        EXPECT_EQ(script.documentName, c.newName);
        EXPECT_EQ(Body(script), oldBody);

        QdlFile reread;
        ASSERT_TRUE(reread.Read(target));
        EXPECT_EQ(reread.documentName, c.newName);
    }
}

TEST(QdlRename, IsRefusedForOtherLineEndsBadNamesOrAChangedFile)
{
    const std::string crlf = NameLine("Door", CRLF) + "a" + CRLF;
    const struct {
        const char* label;
        std::string read, written;
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
        MemoryFile target;
        if (c.written.empty()) {
            test::UntouchableFile untouchable;
            EXPECT_FALSE(script.WriteDocumentName(untouchable, target, c.newName));
        } else {
            MemoryFile source(Stored(c.written));
            EXPECT_FALSE(script.WriteDocumentName(source, target, c.newName));
        }
        EXPECT_EQ(target.Size(), 0u);
        EXPECT_EQ(script.documentName, "Door");
    }
}

TEST(QdlRename, AFailureAtAnyWriteIsReported)
{
    const std::string body = ScriptLines({"a", "b"}, {LF, CRLF});
    const std::string text = NameLine("Door", CRLF) + body;
    const std::vector<uint8_t> expected = Stored(NameLine("Door 2", CRLF) + body);
    for (uint64_t allowance = 0; allowance < expected.size(); ++allowance) {
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
    const std::string body = ScriptLines({"a", "b"}, {CR, CRLF});
    const std::string text = NameLine("Door", CRLF) + body;
    std::string path = folder.Write("door.qdl", Stored(text));
    QdlFile script, reread;
    ASSERT_TRUE(script.Load(path.c_str()));
    ASSERT_TRUE(script.WriteDocumentName(path.c_str(), "Door 2"));
    EXPECT_EQ(test::ReadWholeFile(path), Stored(NameLine("Door 2", CRLF) + body));
    ASSERT_TRUE(reread.Load(path.c_str()));
    EXPECT_EQ(reread.documentName, "Door 2");

    std::string crPath = folder.Write("cr.qdl", Stored(NameLine("Door", CR)));
    QdlFile crScript;
    ASSERT_TRUE(crScript.Load(crPath.c_str()));
    EXPECT_FALSE(crScript.WriteDocumentName(crPath.c_str(), "New"));
    EXPECT_EQ(test::ReadWholeFile(crPath), Stored(NameLine("Door", CR)));

    std::filesystem::remove(path);
    EXPECT_FALSE(script.WriteDocumentName(path.c_str(), "Door 3"));
    EXPECT_EQ(script.documentName, "Door 2");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Folder()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace orv
