#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "util/MemoryFile.h"
#include "util/Strings.h"
#include "util/TextBuffer.h"

namespace orv {
namespace {

using namespace std::string_literals;

// The field is shown whole, so bytes past the terminator show what was left alone.
TEST(CopyStringN, KeepsWhatFitsAlwaysTerminatesAndSizeZeroOnlyMeasures)
{
    // Source and size; the result and the field.
    const std::tuple<const char*, int, int, std::string> cases[] = {
        {"window", 0, 7, "xxxxxxxx"s}, {"door", 1, 1, "\0xxxxxxx"s},   {"doorway", 5, 5, "door\0xxx"s},
        {"door", 5, 5, "door\0xxx"s},  {"door", 8, 5, "door\0xxx"s},
    };
    for (const auto& [source, size, result, field] : cases) {
        char out[8];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(CopyStringN(source, out, size), result) << source << " into " << size;
        EXPECT_EQ(std::string(out, sizeof out), field) << source << " into " << size;
    }
}

// Every line end (CR LF, CR or LF alone) becomes one CR LF, or one CR; the first CR
// tells the kind. Each conversion needs room for its result and the terminator; with
// less it writes nothing, and size 0 asks for the length.
TEST(LineEnds, WidenToCrLfOrNarrowToCrAndTheFirstCrTellsTheKind)
{
    const struct {
        const char* source;
        const char* crLf;
        const char* cr;
        LineEndKind kind;
    } cases[] = {
        {"a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd", "a\rb\rc\rd", LineEndsMac},
        {"a\r\nb\rc", "a\r\nb\r\nc", "a\rb\rc", LineEndsWindows},
        {"a\nb\n", "a\r\nb\r\n", "a\rb\r", LineEndsUnix},
        {"\n\r", "\r\n\r\n", "\r\r", LineEndsMac},
        {"end\r", "end\r\n", "end\r", LineEndsMac},
        {"\r\r\n\n", "\r\n\r\n\r\n", "\r\r\r", LineEndsMac},
        {"first\rsecond\r\rlast", "first\r\nsecond\r\n\r\nlast", "first\rsecond\r\rlast", LineEndsMac},
        {"first\r\nsecond\r\n\r\nlast", "first\r\nsecond\r\n\r\nlast", "first\rsecond\r\rlast",
         LineEndsWindows},
        {"plain", "plain", "plain", LineEndsWindows},
        {"", "", "", LineEndsWindows},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(DetectLineEnds(c.source), c.kind);
        uint32_t length = static_cast<uint32_t>(std::strlen(c.source));
        auto normalized = NormalizeLineEnds(c.source, length);
        EXPECT_EQ(std::string(normalized.get(), length), c.crLf);
        for (const auto& [convert, result] : {std::pair(&ToCrLfLineEnds, c.crLf), std::pair(&ToCrLineEnds, c.cr)}) {
            const size_t size = std::strlen(result);
            char out[32];
            std::memset(out, 'x', sizeof out);
            EXPECT_EQ(convert(c.source, out, 0), size);
            EXPECT_EQ(convert(c.source, out, size), 0u);
            EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, 'x'));
            EXPECT_EQ(convert(c.source, out, size + 1), size);
            EXPECT_STREQ(out, result);
            EXPECT_EQ(out[size + 1], 'x') << "nothing is written past the terminator";
        }
    }
    uint32_t length = 4;
    auto normalized = NormalizeLineEnds("a\0\nb", length);
    EXPECT_EQ(std::string(normalized.get(), length), std::string("a\0\r\nb", 5));
}

// A count from a document beyond what the file holds is refused before any memory is
// taken for it, and the text read before stays.
TEST(TextBuffer, ReadsOnlyWhatTheFileHolds)
{
    MemoryFile file(std::vector<uint8_t>{'a', '\n', 'b'});
    TextBuffer text;
    ASSERT_TRUE(text.ReadText(file, 3));
    for (uint32_t count : {4u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        ASSERT_TRUE(file.Seek(0));
        EXPECT_FALSE(text.ReadText(file, count)) << count;
        EXPECT_EQ(std::string(text.GetText(), text.GetLength()), "a\r\nb");
    }
}

// Only 'A' to 'Z' fold; the characters next to either end of both alphabets do not.
TEST(EqualIgnoringCase, FoldsAsciiLettersOnly)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        {".PLN", ".pln", true}, {"AZaz", "azAZ", true}, {"", "", true},    {".pln", ".pl", false},
        {".pl", ".pln", false}, {"@", "`", false},       {"[", "{", false}, {"\xC9", "\xE9", false},
    };
    for (const auto& [a, b, equal] : cases) {
        EXPECT_EQ(EqualIgnoringCase(a, b), equal) << a << " and " << b;
        EXPECT_EQ(EqualIgnoringCase(b, a), equal) << b << " and " << a;
    }
}

}  // namespace
}  // namespace orv
