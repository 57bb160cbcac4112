#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "util/Strings.h"

namespace orv {
namespace {

TEST(CopyStringN, KeepsWhatFitsAndAlwaysTerminates)
{
    std::string name(40, 'n');
    char field[32];
    std::memset(field, 'x', sizeof field);
    EXPECT_EQ(CopyStringN(name.c_str(), field, sizeof field), 32);
    EXPECT_EQ(std::string(field), std::string(31, 'n'));

    char roomy[16];
    EXPECT_EQ(CopyStringN("door", roomy, sizeof roomy), 5);
    EXPECT_STREQ(roomy, "door");

    char one[1] = {'x'};
    EXPECT_EQ(CopyStringN("door", one, 1), 1);
    EXPECT_EQ(one[0], '\0');
}

TEST(CopyStringN, SizeZeroAsksForTheSizeAndWritesNothing)
{
    char untouched = 'x';
    EXPECT_EQ(CopyStringN("window", &untouched, 0), 7);
    EXPECT_EQ(untouched, 'x');
}

struct Conversion {
    size_t (*convert)(const char*, char*, size_t);
    const char* source;
    const char* result;
};

TEST(LineEnds, ToCrLfWidensEveryLineEndAndToCrNarrowsThemKeepingLoneCrs)
{
    const Conversion cases[] = {
        {ToCrLfLineEnds, "a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd"},
        {ToCrLfLineEnds, "\n", "\r\n"},
        {ToCrLfLineEnds, "\r", "\r\n"},
        {ToCrLfLineEnds, "\n\r", "\r\n\r\n"},
        {ToCrLfLineEnds, "end\r", "end\r\n"},
        {ToCrLfLineEnds, "plain", "plain"},
        {ToCrLfLineEnds, "", ""},
        {ToCrLineEnds, "a\r\nb\nc\rd", "a\rb\rc\rd"},
        {ToCrLineEnds, "\n\n", "\r\r"},
        {ToCrLineEnds, "\r\n\r\n", "\r\r"},
        {ToCrLineEnds, "\n\r", "\r\r"},
        {ToCrLineEnds, "", ""},
    };
    for (const auto& [convert, source, result] : cases) {
        char out[32];
        EXPECT_EQ(convert(source, out, sizeof out), std::strlen(result)) << source;
        EXPECT_STREQ(out, result) << source;
    }
}

TEST(LineEnds, SizeLimitsAreExactAndAFailedConversionWritesNothing)
{
    for (const auto& [convert, source, result] : {Conversion{ToCrLfLineEnds, "a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd"},
                                                  Conversion{ToCrLineEnds, "a\r\nb\nc\rd", "a\rb\rc\rd"}}) {
        const size_t length = std::strlen(result);
        char out[16];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(convert(source, out, 0), length) << source;
        EXPECT_EQ(convert(source, out, length), 0u) << source;
        EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, 'x')) << source;
        EXPECT_EQ(convert(source, out, length + 1), length) << source;
        EXPECT_STREQ(out, result);
    }
}

TEST(LineEnds, RoundTripFromStoredCrThroughEditControlAndBack)
{
    const char* stored = "first\rsecond\r\rlast";
    char shown[64];
    char back[64];
    ASSERT_GT(ToCrLfLineEnds(stored, shown, sizeof shown), 0u);
    ASSERT_GT(ToCrLineEnds(shown, back, sizeof back), 0u);
    EXPECT_STREQ(back, stored);
}

TEST(EqualIgnoringCase, FoldsAsciiLettersOnly)
{
    EXPECT_TRUE(EqualIgnoringCase(".PLN", ".pln"));
    EXPECT_FALSE(EqualIgnoringCase(".pln", ".pl"));
    EXPECT_FALSE(EqualIgnoringCase(".pl", ".pln"));
    EXPECT_FALSE(EqualIgnoringCase("\xC9", "\xE9"));
    EXPECT_TRUE(EqualIgnoringCase("", ""));
}

}  // namespace
}  // namespace orv
