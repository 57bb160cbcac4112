#include <gtest/gtest.h>

#include <string>

#include "util/MemoryFile.h"
#include "util/TextBuffer.h"

namespace orv {
namespace {

std::string Normalized(const std::string& source)
{
    uint32_t length = static_cast<uint32_t>(source.size());
    auto result = NormalizeLineEnds(source.c_str(), length);
    return std::string(result.get(), length);
}

TEST(NormalizeLineEnds, EveryLineEndBecomesOneCrLf)
{
    EXPECT_EQ(Normalized("a\rb\nc\r\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(Normalized("\n\r"), "\r\n\r\n");
    EXPECT_EQ(Normalized("end\r"), "end\r\n");
    EXPECT_EQ(Normalized("\r\r\n\n"), "\r\n\r\n\r\n");
    EXPECT_EQ(Normalized("none"), "none");
    EXPECT_EQ(Normalized(""), "");
    EXPECT_EQ(Normalized(std::string("a\0\nb", 4)), std::string("a\0\r\nb", 5));
}

TEST(DetectLineEnds, TheFirstCarriageReturnDecides)
{
    EXPECT_EQ(DetectLineEnds("a\rb\nc\r\n"), LineEndsMac);
    EXPECT_EQ(DetectLineEnds("a\r\nb\rc"), LineEndsWindows);
    EXPECT_EQ(DetectLineEnds("a\nb\n"), LineEndsUnix);
    EXPECT_EQ(DetectLineEnds("a\nb\r"), LineEndsMac);
    EXPECT_EQ(DetectLineEnds("plain"), LineEndsWindows);
    EXPECT_EQ(DetectLineEnds(""), LineEndsWindows);
}

TEST(TextBuffer, StartsEmptyAndSetTextNormalizes)
{
    TextBuffer buffer;
    EXPECT_EQ(buffer.GetText(), nullptr);
    EXPECT_EQ(buffer.GetLength(), 0u);

    ASSERT_TRUE(buffer.SetText("one\rtwo\nthree"));
    EXPECT_STREQ(buffer.GetText(), "one\r\ntwo\r\nthree");
    EXPECT_EQ(buffer.GetLength(), 15u);

    ASSERT_TRUE(buffer.SetText(""));
    ASSERT_NE(buffer.GetText(), nullptr);
    EXPECT_STREQ(buffer.GetText(), "");
    EXPECT_EQ(buffer.GetLength(), 0u);
}

TEST(TextBuffer, SetTextOfNullKeepsTheOldText)
{
    TextBuffer buffer;
    ASSERT_TRUE(buffer.SetText("kept"));
    EXPECT_FALSE(buffer.SetText(nullptr));
    EXPECT_STREQ(buffer.GetText(), "kept");
}

TEST(TextBuffer, ReadTextReadsFromThePositionAndReportsTheRawConvention)
{
    const char data[] = "HEADa\rb\nc\r\nTAIL";
    MemoryFile file(data, sizeof data - 1);
    file.Seek(4);
    TextBuffer buffer;
    LineEndKind kind = LineEndsUnix;
    ASSERT_TRUE(buffer.ReadText(file, 7, &kind));
    EXPECT_EQ(kind, LineEndsMac);
    EXPECT_STREQ(buffer.GetText(), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(buffer.GetLength(), 9u);
    EXPECT_EQ(file.Position(), 11u);
}

TEST(TextBuffer, ReadOfZeroBytesEmptiesWithoutTouchingFileOrKind)
{
    MemoryFile file(std::vector<uint8_t>{'x', 'y'});
    TextBuffer buffer;
    ASSERT_TRUE(buffer.SetText("old"));
    LineEndKind kind = LineEndsUnix;
    EXPECT_TRUE(buffer.ReadText(file, 0, &kind));
    EXPECT_EQ(buffer.GetText(), nullptr);
    EXPECT_EQ(buffer.GetLength(), 0u);
    EXPECT_EQ(kind, LineEndsUnix);
    EXPECT_EQ(file.Position(), 0u);
}

TEST(TextBuffer, ShortOrImpossibleReadsKeepTheOldText)
{
    MemoryFile file(std::vector<uint8_t>{'a', 'b', 'c'});
    TextBuffer buffer;
    ASSERT_TRUE(buffer.SetText("old"));
    EXPECT_FALSE(buffer.ReadText(file, 4));
    EXPECT_FALSE(buffer.ReadText(file, UINT32_MAX));
    file.Seek(10);
    EXPECT_FALSE(buffer.ReadText(file, 1));
    EXPECT_STREQ(buffer.GetText(), "old");
    EXPECT_EQ(buffer.GetLength(), 3u);
}

}  // namespace
}  // namespace orv
