#include "util/win32/WinText.h"

#include <memory>
#include <new>

#include "util/CharTables.h"

namespace orv {
namespace {

// The source with its terminator, converted; out without the terminator.
bool ToNarrow(UINT codePage, DWORD flags, const wchar_t* source, BOOL* usedDefault, std::string& out)
{
    if (source == nullptr)
        return false;
    int size = WideCharToMultiByte(codePage, flags, source, -1, nullptr, 0, nullptr, usedDefault);
    if (size <= 0)
        return false;
    out.assign(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(codePage, flags, source, -1, out.data(), size, nullptr, usedDefault) != size)
        return false;
    out.pop_back();
    return usedDefault == nullptr || !*usedDefault;
}

}  // namespace

void SelectCharTables(HINSTANCE module)
{
    // From the loaded image: no file access (and no path) while the loader lock is held.
    int codePage = -1;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* image = loaded ? LockResource(loaded) : nullptr;
    DWORD size = image ? SizeofResource(module, found) : 0;
    // The resource's pages are read-only, and VerQueryValue may write into its block.
    // Under the loader lock a failed allocation must not throw.
    std::unique_ptr<char[]> block(size ? new (std::nothrow) char[size] : nullptr);
    if (block) {
        memcpy(block.get(), image, size);
        void* value = nullptr;
        UINT length = 0;
        if (VerQueryValueW(block.get(), L"\\VarFileInfo\\Translation", &value, &length) && length == 4) {
            DWORD entry;
            memcpy(&entry, value, sizeof entry);
            codePage = static_cast<int>(entry >> 16);
        }
    }
    SelectCharTablesForCodePage(codePage);
}

bool WideToUtf8(const wchar_t* source, std::string& out)
{
    return ToNarrow(CP_UTF8, WC_ERR_INVALID_CHARS, source, nullptr, out);
}

bool WideToAnsi(const wchar_t* source, std::string& out)
{
    // A UTF-8 ANSI code page holds every valid text and takes no default-character check.
    if (GetACP() == CP_UTF8)
        return WideToUtf8(source, out);
    BOOL usedDefault = FALSE;
    return ToNarrow(CP_ACP, WC_NO_BEST_FIT_CHARS, source, &usedDefault, out);
}

}  // namespace orv
