#include "util/win32/Win32File.h"

namespace orv {

Win32File::Win32File(unique_hfile handle) : handle(std::move(handle)) {}

uint32_t Win32File::Read(void* buffer, uint32_t count)
{
    DWORD done = 0;
    if (!ReadFile(handle.get(), buffer, count, &done, nullptr))
        return 0;
    return done;
}

uint32_t Win32File::Write(const void* buffer, uint32_t count)
{
    DWORD done = 0;
    if (!WriteFile(handle.get(), buffer, count, &done, nullptr))
        return 0;
    return done;
}

bool Win32File::Seek(uint64_t position)
{
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(position);
    return position <= static_cast<uint64_t>(INT64_MAX) &&
           SetFilePointerEx(handle.get(), distance, nullptr, FILE_BEGIN);
}

uint64_t Win32File::Position() const
{
    LARGE_INTEGER zero{}, position{};
    if (!SetFilePointerEx(handle.get(), zero, &position, FILE_CURRENT))
        return 0;
    return static_cast<uint64_t>(position.QuadPart);
}

uint64_t Win32File::Size() const
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle.get(), &size))
        return 0;
    return static_cast<uint64_t>(size.QuadPart);
}

bool Win32File::Cut()
{
    return SetEndOfFile(handle.get()) != FALSE;
}

std::unique_ptr<File> OpenFile(const char* path, File::Access access)
{
    DWORD desired = access == File::Access::Read    ? GENERIC_READ
                    : access == File::Access::Write ? GENERIC_WRITE
                                                    : GENERIC_READ | GENERIC_WRITE;
    unique_hfile handle(CreateFileA(path, desired, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle)
        return nullptr;
    // Documents are plain disk files, never pipes or devices.
    if (GetFileType(handle.get()) != FILE_TYPE_DISK)
        return nullptr;
    return std::make_unique<Win32File>(std::move(handle));
}

}  // namespace orv
