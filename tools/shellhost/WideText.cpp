#include "WideText.h"

#include <windows.h>

namespace orv::host {

std::wstring Widen(const std::string& utf8)
{
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.c_str(), -1, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.c_str(), -1, wide.data(), size);
    wide.pop_back();
    return wide;
}

namespace {

std::string ToCodePage(UINT codePage, DWORD flags, const wchar_t* utf16)
{
    int size = WideCharToMultiByte(codePage, flags, utf16, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, utf16, -1, narrow.data(), size, nullptr, nullptr);
    narrow.pop_back();
    return narrow;
}

}  // namespace

std::string Narrow(const wchar_t* utf16)
{
    return ToCodePage(CP_UTF8, WC_ERR_INVALID_CHARS, utf16);
}

std::string ToAnsi(const std::string& utf8)
{
    return ToCodePage(CP_ACP, 0, Widen(utf8).c_str());
}

std::string Escaped(const std::string& text)
{
    std::string result;
    for (char c : text) {
        if (c == '\r')
            result += "\\r";
        else if (c == '\n')
            result += "\\n";
        else if (c == '"' || c == '\\')
            result += std::string("\\") + c;
        else
            result += c;
    }
    return result;
}

}  // namespace orv::host
