#include "util/Strings.h"

#include <cstring>

namespace orv {

int CopyStringN(const char* source, char* destination, int size)
{
    if (size <= 0)
        return static_cast<int>(std::strlen(source)) + 1;
    int n = 0;
    while (n < size - 1 && source[n] != '\0') {
        destination[n] = source[n];
        ++n;
    }
    destination[n] = '\0';
    return n + 1;
}

bool EqualIgnoringCase(const char* a, const char* b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (; *a && *b; ++a, ++b)
        if (lower(*a) != lower(*b))
            return false;
    return *a == *b;
}

size_t ToCrLfLineEnds(const char* source, char* destination, size_t size)
{
    size_t length = std::strlen(source);
    size_t added = 0;
    for (size_t i = 0; i < length; ++i) {
        if (source[i] == '\n' && (i == 0 || source[i - 1] != '\r'))
            ++added;
        else if (source[i] == '\r' && source[i + 1] != '\n')
            ++added;
    }
    size_t result = length + added;
    if (size == 0)
        return result;
    if (result + 1 > size)
        return 0;
    char* out = destination;
    for (size_t i = 0; i < length; ++i) {
        char c = source[i];
        if (c == '\n' && (i == 0 || source[i - 1] != '\r'))
            *out++ = '\r';
        *out++ = c;
        if (c == '\r' && source[i + 1] != '\n')
            *out++ = '\n';
    }
    *out = '\0';
    return result;
}

size_t ToCrLineEnds(const char* source, char* destination, size_t size)
{
    size_t length = std::strlen(source);
    size_t dropped = 0;
    for (size_t i = 1; i < length; ++i)
        if (source[i] == '\n' && source[i - 1] == '\r')
            ++dropped;
    size_t result = length - dropped;
    if (size == 0)
        return result;
    if (result + 1 > size)
        return 0;
    char* out = destination;
    for (size_t i = 0; i < length; ++i) {
        char c = source[i];
        if (c != '\n')
            *out++ = c;
        else if (i == 0 || source[i - 1] != '\r')
            *out++ = '\r';
    }
    *out = '\0';
    return result;
}

}  // namespace orv
