#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>

#include "CodePage1252.h"

namespace orv {
namespace {

// Every byte against the system's own converter, both ways; the five bytes the code
// page leaves undefined, which that converter refuses, stay the controls of their value.
TEST(CodePage1252, EveryByteHasItsCharacterAndComesBack)
{
    iconv_t system = iconv_open("UTF-8", "CP1252");
    ASSERT_NE(system, reinterpret_cast<iconv_t>(-1));
    for (int byte = 1; byte < 256; ++byte) {
        char in[1] = {char(byte)}, out[4];
        char* from = in;
        char* to = out;
        size_t inLeft = 1, outLeft = sizeof out;
        const bool known = iconv(system, &from, &inLeft, &to, &outLeft) != size_t(-1);
        const std::string utf8 = known ? std::string(out, to) : "\xC2" + std::string(1, char(byte));
        SCOPED_TRACE(byte);
        EXPECT_EQ(known, std::string("\x81\x8D\x8F\x90\x9D").find(char(byte)) == std::string::npos);
        EXPECT_EQ(Utf8From1252(std::string(in, 1)), utf8);
        EXPECT_EQ(Utf8To1252(utf8), std::string(in, 1));
    }
    iconv_close(system);
}

TEST(CodePage1252, RefusesWhatIsNotUtf8OrNotInTheCodePage)
{
    const char* const refused[] = {
        "\x80",              // a continuation byte first
        "\xC1\xA9",          // an overlong two-byte form
        "\xE0\x81\xA9",      // an overlong three-byte form
        "\xED\xA0\x80",      // a surrogate
        "\xF0\x9F\x98\x80",  // beyond the basic plane, which the code page never reaches
        "\xE2\x82",          // cut short
        "\xC3\x29",          // a continuation byte missing
        "\xC4\x80",          // U+0100
    };
    for (const char* text : refused)
        EXPECT_EQ(Utf8To1252(text), std::nullopt) << text;
}

}  // namespace
}  // namespace orv
