#include "CodePage1252.h"

#include <cstdint>

namespace orv {
namespace {

// Code points of the bytes 0x80 to 0x9F; every other byte is its own code point.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePoint(uint8_t byte)
{
    return byte >= 0x80 && byte < 0xA0 ? HighControls[byte - 0x80] : byte;
}

}  // namespace

std::string Utf8From1252(const std::string& text)
{
    std::string utf8;
    for (char c : text) {
        char32_t point = CodePoint(static_cast<uint8_t>(c));
        if (point < 0x80) {
            utf8 += static_cast<char>(point);
        } else if (point < 0x800) {
            utf8 += static_cast<char>(0xC0 | point >> 6);
            utf8 += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | point >> 12);
            utf8 += static_cast<char>(0x80 | (point >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return utf8;
}

std::optional<std::string> Utf8To1252(const std::string& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size();) {
        uint8_t lead = static_cast<uint8_t>(text[i]);
        size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3 : 0;
        if (length == 0 || i + length > text.size())
            return std::nullopt;
        char32_t point = length == 1 ? lead : lead & (length == 2 ? 0x1F : 0x0F);
        for (size_t k = 1; k < length; ++k) {
            uint8_t next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            point = point << 6 | (next & 0x3F);
        }
        if ((length == 3 && point < 0x800) || (point >= 0xD800 && point < 0xE000))
            return std::nullopt;
        int byte = -1;
        for (int candidate = 0; candidate < 256 && byte < 0; ++candidate)
            if (CodePoint(static_cast<uint8_t>(candidate)) == point)
                byte = candidate;
        if (byte < 0)
            return std::nullopt;
        bytes += static_cast<char>(byte);
        i += length;
    }
    return bytes;
}

}  // namespace orv
