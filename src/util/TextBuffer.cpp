#include "util/TextBuffer.h"

#include <cstring>
#include <new>

namespace orv {

std::unique_ptr<char[]> NormalizeLineEnds(const char* source, uint32_t& length)
{
    uint64_t added = 0;
    char previous = 0;
    for (uint32_t i = 0; i < length; ++i) {
        char c = source[i];
        if (c == '\n' && previous != '\r')
            ++added;
        else if (c == '\r' && source[i + 1] != '\n')
            ++added;
        previous = c;
    }
    uint64_t total = length + added;
    if (total >= UINT32_MAX)
        return nullptr;
    std::unique_ptr<char[]> result(new (std::nothrow) char[total + 1]);
    if (!result)
        return nullptr;
    char* out = result.get();
    previous = 0;
    for (uint32_t i = 0; i < length; ++i) {
        char c = source[i];
        if (c == '\n' && previous != '\r')
            *out++ = '\r';
        *out++ = c;
        if (c == '\r' && source[i + 1] != '\n')
            *out++ = '\n';
        previous = c;
    }
    *out = '\0';
    length = static_cast<uint32_t>(total);
    return result;
}

LineEndKind DetectLineEnds(const char* text)
{
    if (const char* cr = std::strchr(text, '\r'))
        return cr[1] == '\n' ? LineEndsWindows : LineEndsMac;
    return std::strchr(text, '\n') ? LineEndsUnix : LineEndsWindows;
}

bool TextBuffer::SetText(const char* source)
{
    if (source == nullptr)
        return false;
    size_t sourceLength = std::strlen(source);
    if (sourceLength >= UINT32_MAX)
        return false;
    auto newLength = static_cast<uint32_t>(sourceLength);
    std::unique_ptr<char[]> copy = NormalizeLineEnds(source, newLength);
    if (!copy)
        return false;
    text = std::move(copy);
    length = newLength;
    return true;
}

bool TextBuffer::ReadText(File& file, uint32_t count, LineEndKind* kind)
{
    if (count == 0) {
        text.reset();
        length = 0;
        return true;
    }
    // Never allocate for more than the file can hold: the count comes from the file.
    if (count > file.Remaining() || count == UINT32_MAX)
        return false;
    std::unique_ptr<char[]> raw(new (std::nothrow) char[uint64_t{count} + 1]);
    if (!raw || !file.ReadExactly(raw.get(), count))
        return false;
    raw[count] = '\0';
    if (kind)
        *kind = DetectLineEnds(raw.get());
    uint32_t newLength = count;
    std::unique_ptr<char[]> normalized = NormalizeLineEnds(raw.get(), newLength);
    if (!normalized)
        return false;
    text = std::move(normalized);
    length = newLength;
    return true;
}

}  // namespace orv
