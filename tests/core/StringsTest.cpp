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
    const char* source;
    const char* result;
};

TEST(LineEnds, ToCrLfWidensEveryKindOfLineEnd)
{
    const Conversion cases[] = {
        {"a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd"},
        {"\n", "\r\n"},
        {"\r", "\r\n"},
        {"\n\r", "\r\n\r\n"},
        {"end\r", "end\r\n"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const auto& [source, result] : cases) {
        char out[32];
        EXPECT_EQ(ToCrLfLineEnds(source, out, sizeof out), std::strlen(result)) << source;
        EXPECT_STREQ(out, result);
    }
}

TEST(LineEnds, ToCrLeavesLoneCarriageReturns)
{
    const Conversion cases[] = {
        {"a\r\nb\nc\rd", "a\rb\rc\rd"},
        {"\n\n", "\r\r"},
        {"\r\n\r\n", "\r\r"},
        {"\n\r", "\r\r"},
        {"", ""},
    };
    for (const auto& [source, result] : cases) {
        char out[32];
        EXPECT_EQ(ToCrLineEnds(source, out, sizeof out), std::strlen(result)) << source;
        EXPECT_STREQ(out, result);
    }
}

TEST(LineEnds, SizeLimitsAreExactAndAFailedConversionWritesNothing)
{
    const char* source = "a\nb\rc\r\nd";
    char out[16];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(ToCrLfLineEnds(source, out, 0), 10u);
    EXPECT_EQ(out[0], 'x');
    EXPECT_EQ(ToCrLfLineEnds(source, out, 10), 0u);
    EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, 'x'));
    EXPECT_EQ(ToCrLfLineEnds(source, out, 11), 10u);
    EXPECT_EQ(out[10], '\0');

    const char* crlf = "a\r\nb\nc\rd";
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(ToCrLineEnds(crlf, out, 0), 7u);
    EXPECT_EQ(ToCrLineEnds(crlf, out, 7), 0u);
    EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, 'x'));
    EXPECT_EQ(ToCrLineEnds(crlf, out, 8), 7u);
    EXPECT_STREQ(out, "a\rb\rc\rd");
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
