#pragma once
#include <cstdint>
#include <memory>

#include "util/File.h"

namespace orv {

// The two-letter platform tags, which also name a text's line-end convention.
enum LineEndKind : uint16_t {
    LineEndsWindows = 0x5757,  // "WW": CR LF, and texts without any line end
    LineEndsMac = 0x4D4D,      // "MM": CR alone
    LineEndsUnix = 0x5555,     // "UU": LF alone
};

// An owned text whose line ends are always CR LF, as edit controls want them. A
// failed operation leaves the buffer as it was.
class TextBuffer {
public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    bool SetText(const char* source);
    // Reads count bytes at the file's position; count 0 empties the buffer without
    // touching the file. The convention the raw text used goes to kind if given.
    bool ReadText(File& file, uint32_t count, LineEndKind* kind = nullptr);

    uint32_t GetLength() const { return length; }
    // Null while the buffer is empty and was never set.
    const char* GetText() const { return text.get(); }

private:
    uint32_t length = 0;
    std::unique_ptr<char[]> text;
};

// A zero-terminated copy of length bytes with every line end made CR LF; length
// becomes the new length. source[length] must be readable. Null when memory is
// short, and length is then unchanged.
std::unique_ptr<char[]> NormalizeLineEnds(const char* source, uint32_t& length);

// The convention of the first line end of a zero-terminated text.
LineEndKind DetectLineEnds(const char* text);

}  // namespace orv
