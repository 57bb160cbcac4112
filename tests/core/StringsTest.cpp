#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "util/Strings.h"

namespace orv {
namespace {

using namespace std::string_literals;

// The field is shown whole, so bytes past the terminator show what was left alone.
TEST(CopyStringN, KeepsWhatFitsAlwaysTerminatesAndSizeZeroOnlyMeasures)
{
    const struct {
        const char* source;
        int size;
        int result;
        std::string field;
    } cases[] = {
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

// Each conversion needs room for its result and the terminator; with less it writes
// nothing, and size 0 asks for the length.
TEST(LineEnds, ToCrLfWidensEveryLineEndAndToCrNarrowsThemKeepingLoneCrs)
{
    const struct {
        size_t (*convert)(const char*, char*, size_t);
        const char* source;
        const char* result;
    } cases[] = {
        {ToCrLfLineEnds, "a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd"},
        {ToCrLfLineEnds, "\n", "\r\n"},
        {ToCrLfLineEnds, "\r", "\r\n"},
        {ToCrLfLineEnds, "\n\r", "\r\n\r\n"},
        {ToCrLfLineEnds, "first\rsecond\r\rlast", "first\r\nsecond\r\n\r\nlast"},
        {ToCrLfLineEnds, "plain", "plain"},
        {ToCrLfLineEnds, "", ""},
        {ToCrLineEnds, "a\r\nb\nc\rd", "a\rb\rc\rd"},
        {ToCrLineEnds, "\n\n", "\r\r"},
        {ToCrLineEnds, "first\r\nsecond\r\n\r\nlast", "first\rsecond\r\rlast"},
        {ToCrLineEnds, "\n\r", "\r\r"},
        {ToCrLineEnds, "", ""},
    };
    for (const auto& [convert, source, result] : cases) {
        SCOPED_TRACE(source);
        const size_t length = std::strlen(result);
        char out[32];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(convert(source, out, 0), length);
        EXPECT_EQ(convert(source, out, length), 0u);
        EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, 'x'));
        EXPECT_EQ(convert(source, out, length + 1), length);
        EXPECT_STREQ(out, result);
    }
}

// Only 'A' to 'Z' fold; the characters next to either end of both alphabets do not.
TEST(EqualIgnoringCase, FoldsAsciiLettersOnly)
{
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
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
