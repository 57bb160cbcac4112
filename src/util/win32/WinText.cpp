#include "util/win32/WinText.h"

#include <memory>
#include <new>

#include "util/CharTables.h"

namespace orv {

void SelectCharTables(HINSTANCE module)
{
    char path[256];
    if (GetModuleFileNameA(module, path, sizeof path) == 0)
        return;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return;
    std::unique_ptr<char[]> block(new (std::nothrow) char[size]);
    if (!block)
        return;
    int codePage = -1;
    void* value = nullptr;
    UINT length = 0;
    if (GetFileVersionInfoA(path, 0, size, block.get()) &&
        VerQueryValueA(block.get(), "\\VarFileInfo\\Translation", &value, &length) &&
        length == 4) {
        DWORD entry;
        memcpy(&entry, value, sizeof entry);
        codePage = static_cast<int>(entry >> 16);
    }
    SelectCharTablesForCodePage(codePage);
}

void AnsiToWide(const char* source, wchar_t* destination, int size)
{
    MultiByteToWideChar(CP_ACP, 0, source, -1, destination, size);
}

}  // namespace orv
