#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "util/MemoryFile.h"
#include "util/TextBuffer.h"

namespace orv {
namespace {

// A buffer starts empty and takes a text normalized. A read takes count bytes at the
// file's position, normalized, and reports their raw convention; count 0 empties the
// buffer without touching the file; a read that cannot be whole, like a missing text,
// keeps the old text.
TEST(TextBuffer, TakesTextsNormalizedOrKeepsTheOldText)
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
        {8, 8, false, "o\r\nd", LineEndsUnix, 8},
        {0, UINT32_MAX, false, "o\r\nd", LineEndsUnix, 0},
        {20, 1, false, "o\r\nd", LineEndsUnix, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " bytes at " << c.at);
        MemoryFile file(data.data(), data.size());
        file.Seek(c.at);
        TextBuffer buffer;
        EXPECT_EQ(buffer.GetText(), nullptr);
        ASSERT_TRUE(buffer.SetText("o\nd"));
        EXPECT_FALSE(buffer.SetText(nullptr));
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
