#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "DocumentWrites.h"
#include "libpart/QdlFile.h"

namespace orv {
namespace {

using test::Bytes;

// Every script begins with this, then the name.
const std::string N = "! Document name: ";

// What a read into script gives, in one line: "fails" when it failed, the name at the
// offset where the body begins, the line ends it found and the body as the page shows it.
std::string Loaded(QdlFile& script, const std::string& text)
{
    MemoryFile file(Bytes(text));
    const bool read = script.Read(file);
    const char* shown = script.scriptText.GetText();
    const std::string whole(shown ? shown : "", script.scriptText.GetLength());
    std::ostringstream out;
    out << (read ? "" : "fails ") << "'" << script.documentName << "'@" << script.bodyOffset << " " << std::hex
        << script.lineEndKind << " " << whole.substr(script.bodyOffset);
    return out.str();
}

// Each case is read into the script the case before it filled.
TEST(QdlRead, TheFirstLineNamesTheDocument)
{
    const std::pair<std::string, std::string> cases[] = {
        {N + "Window 90\r\na\r\nb\r\n", "'Window 90'@28 5757 a\r\nb\r\n"},
        {N + "Door\ra\rb\r", "'Door'@23 4d4d a\r\nb\r\n"},
        {N + "Door\na\nb", "'Door'@23 5555 a\r\nb"},
        {"", "fails ''@0 0 "},
        {N + "Door\r\na\nb\rc\r\n", "'Door'@23 5757 a\r\nb\r\nc\r\n"},
        {N + std::string(40, 'n') + "\r\na", "'" + std::string(31, 'n') + "'@59 5757 a"},
        {"! Document Name: Door\r\n", "fails ''@0 0 ! Document Name: Door\r\n"},
        {N + std::string("Do\0or\r\n", 7), "'Do'@24 5757 "},
        {"! Document name:", "fails ''@0 0 ! Document name:"},
        {N, "''@0 5757 " + N},
    };
    QdlFile script;
    for (const auto& [text, loaded] : cases)
        EXPECT_EQ(Loaded(script, text), loaded);
}

// Renames a script read from text, composed from a source holding saved (text unless
// given, or unreadable) into an empty file that takes ever more bytes: what the first
// whole rewrite wrote, or "refused" when refused without a look at the source, "failed"
// after one.
// Every rewrite that stops part-way fails; only a whole one takes the name; the source
// is never written.
std::string Renamed(const std::string& text, const std::string& name,
                    const std::optional<std::string>& saved = {}, bool unreadable = false)
{
    QdlFile script;
    MemoryFile read(Bytes(text));
    EXPECT_TRUE(script.Read(read));
    const std::string old = script.documentName;
    test::RecordingFile source(Bytes(saved.value_or(text)));
    source.readsFail = unreadable;
    for (uint64_t allowance = 0;; ++allowance) {
        MemoryFile target;
        target.LimitWrites(allowance);
        const bool renamed = script.WriteDocumentName(source, target, name);
        EXPECT_EQ(std::tuple(source.Bytes(), script.documentName),
                  std::tuple(Bytes(saved.value_or(text)), renamed ? name : old));
        if (renamed)
            return std::string(target.Bytes().begin(), target.Bytes().end());
        if (target.Size() < allowance) {
            EXPECT_EQ(target.Size(), 0u);
            return source.log.empty() ? "refused" : "failed";
        }
    }
}

TEST(QdlRename, TheFirstLineIsRewrittenAndTheRestKeptByteForByte)
{
    const std::string crlf = N + "Door\r\na\r\n", mixed = "a\nb\rc\r\n\n\rd\n";
    const std::pair<std::string, std::string> cases[] = {
        {Renamed(N + "Door\r\nbody", "Door 2"), N + "Door 2\r\nbody"},
        {Renamed(N + "Door\r\n" + mixed, "D"), N + "D\r\n" + mixed},
        {Renamed(N + "Door\na\r\n", "Door 2"), N + "Door 2\na\r\n"},
        {Renamed(N + std::string(40, 'n') + "\r\na", "Short"), N + "Short\r\na"},
        {Renamed(N, std::string(31, 'x')), N + std::string(31, 'x')},
        // Line ends other than CR LF, names that are empty, too long, more than one line or unchanged.
        {Renamed(N + "Door\ra\r", "New"), "refused"},
        {Renamed(N + "Door\ra\r\n", "New"), "refused"},
        {Renamed(crlf, ""), "refused"},
        {Renamed(crlf, std::string(32, 'x')), "refused"},
        {Renamed(crlf, "Do\nor"), "refused"},
        {Renamed(crlf, std::string("Do\0or", 5)), "refused"},
        {Renamed(crlf, "Door"), "refused"},
        // Saved again since it was read.
        {Renamed(crlf, "New", N + "Door\ra\r"), "failed"},
        {Renamed(crlf, "New", "! document name: Door\r\n"), "failed"},
        {Renamed(crlf, "New", " "), "failed"},
        {Renamed(crlf, "New", crlf, true), "failed"},
    };
    for (const auto& [renamed, expected] : cases)
        EXPECT_EQ(renamed, expected);
}

}  // namespace
}  // namespace orv
