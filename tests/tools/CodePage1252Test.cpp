#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "CodePage1252.h"

namespace orv {
namespace {

TEST(CodePage1252, EveryByteHasItsCharacterAndComesBack)
{
    const std::pair<std::string, std::string> characters[] = {
        {"A~", "A~"},
        {"\x80\x85\x8A\x9F", "\xE2\x82\xAC\xE2\x80\xA6\xC5\xA0\xC5\xB8"},
        // The bytes the code page leaves undefined stay the controls of their value.
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {"\xA0\xE9\xFF", "\xC2\xA0\xC3\xA9\xC3\xBF"},
    };
    for (const auto& [bytes, utf8] : characters) {
        EXPECT_EQ(Utf8From1252(bytes), utf8);
        EXPECT_EQ(Utf8To1252(utf8), bytes);
    }
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += char(byte);
    EXPECT_EQ(Utf8To1252(Utf8From1252(all)), all);
}

TEST(CodePage1252, RefusesWhatIsNotUtf8OrNotInTheCodePage)
{
    const char* const refused[] = {
        "\x80",              // a continuation byte first
        "\xC1\xA9",          // an overlong two-byte form
        "\xE0\x81\xA9",      // an overlong three-byte form
        "\xED\xA0\x80",      // a surrogate
        "\xF0\x9F\x98\x80",  // beyond the basic plane, which the code page never reaches
        "\xC3",              // cut
        "\xE2\x82",          // cut
        "\xC3\x29",          // a continuation byte missing
        "\xC4\x80",          // U+0100
        "\xE2\x82\xAD",      // U+20AD
    };
    for (const char* text : refused)
        EXPECT_EQ(Utf8To1252(text), std::nullopt) << text;
}

}  // namespace
}  // namespace orv
