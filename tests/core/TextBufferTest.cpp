#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "util/MemoryFile.h"
#include "util/TextBuffer.h"

namespace orv {
namespace {

TEST(TextBuffer, StartsEmptyAndSetTextNormalizesOrKeepsTheTextForNull)
{
    TextBuffer buffer;
    EXPECT_EQ(buffer.GetText(), nullptr);
    EXPECT_EQ(buffer.GetLength(), 0u);
    ASSERT_TRUE(buffer.SetText("one\rtwo\nthree"));
    EXPECT_FALSE(buffer.SetText(nullptr));
    EXPECT_STREQ(buffer.GetText(), "one\r\ntwo\r\nthree");
    EXPECT_EQ(buffer.GetLength(), 15u);
    ASSERT_TRUE(buffer.SetText(""));
    EXPECT_STREQ(buffer.GetText(), "");
    EXPECT_EQ(buffer.GetLength(), 0u);
}

// A read takes count bytes at the file's position and reports their raw convention;
// count 0 empties the buffer without touching the file; a read that cannot be whole
// keeps the old text.
TEST(TextBuffer, ReadTextTakesCountBytesAtThePositionOrKeepsTheOldText)
{
    const std::string data = "HEADa\rb\nc\r\nTAIL";
    const struct {
        uint64_t at;
        uint32_t count;
        bool read;
        const char* text;
        LineEndKind kind;
        uint64_t position;
    } cases[] = {
        {4, 7, true, "a\r\nb\r\nc\r\n", LineEndsMac, 11},
        {8, 7, true, "c\r\nTAIL", LineEndsWindows, 15},
        {4, 0, true, nullptr, LineEndsUnix, 4},
        {8, 8, false, "old", LineEndsUnix, 8},
        {0, UINT32_MAX, false, "old", LineEndsUnix, 0},
        {20, 1, false, "old", LineEndsUnix, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " bytes at " << c.at);
        MemoryFile file(data.data(), data.size());
        file.Seek(c.at);
        TextBuffer buffer;
        ASSERT_TRUE(buffer.SetText("old"));
        LineEndKind kind = LineEndsUnix;
        EXPECT_EQ(buffer.ReadText(file, c.count, &kind), c.read);
        EXPECT_STREQ(buffer.GetText(), c.text);
        EXPECT_EQ(buffer.GetLength(), c.text ? std::strlen(c.text) : 0u);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(file.Position(), c.position);
    }
}

}  // namespace
}  // namespace orv
