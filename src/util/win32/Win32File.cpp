#include "util/win32/Win32File.h"

#include <string>

namespace orv {
namespace {

// The core's UTF-8 path as the wide API takes it; false for one that names no file.
bool Utf8ToWide(const std::string& source, std::wstring& out)
{
    // A name cut at an embedded terminator would be another file's.
    if (source.find('\0') != std::string::npos)
        return false;
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, source.c_str(), -1, nullptr, 0);
    if (size <= 0)
        return false;
    out.assign(static_cast<size_t>(size), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, source.c_str(), -1, out.data(), size) != size)
        return false;
    out.pop_back();
    return true;
}

// Creates a file of a new name beside path; an invalid handle when none can be made.
unique_hfile CreateBeside(const std::wstring& path, const wchar_t* purpose, std::wstring& name)
{
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        name = path + L"." + purpose + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(attempt);
        unique_hfile handle(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (handle || GetLastError() != ERROR_FILE_EXISTS)
            return handle;
    }
    return {};
}

struct DeleteNamedFile {
    void operator()(const std::wstring* name) const { DeleteFileW(name->c_str()); }
};
using unique_named_file = std::unique_ptr<const std::wstring, DeleteNamedFile>;

}  // namespace

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

std::unique_ptr<File> OpenFile(const std::string& path, File::Access access)
{
    std::wstring name;
    if (!Utf8ToWide(path, name))
        return nullptr;
    DWORD desired = access == File::Access::Read    ? GENERIC_READ
                    : access == File::Access::Write ? GENERIC_WRITE
                                                    : GENERIC_READ | GENERIC_WRITE;
    unique_hfile handle(CreateFileW(name.c_str(), desired, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle)
        return nullptr;
    // Documents are plain disk files, never pipes or devices.
    if (GetFileType(handle.get()) != FILE_TYPE_DISK)
        return nullptr;
    return std::make_unique<Win32File>(std::move(handle));
}

bool ReplaceFileContents(const std::string& path,
                         const std::function<bool(File& original, File& replacement)>& compose)
{
    std::wstring name, newName, backupName;
    if (!Utf8ToWide(path, name))
        return false;
    unique_hfile created = CreateBeside(name, L"new", newName);
    if (!created)
        return false;
    unique_named_file removeNew(&newName);
    {
        std::unique_ptr<File> original = OpenFile(path, File::Access::Read);
        HANDLE written = created.get();
        Win32File replacement(std::move(created));
        if (!original || !compose(*original, replacement) || !FlushFileBuffers(written))
            return false;
    }

    // With a backup name, a replacement that fails part-way leaves the original where
    // it can be put back; ReplaceFileW keeps the original's attributes.
    if (!CreateBeside(name, L"old", backupName))
        return false;
    unique_named_file removeBackup(&backupName);
    if (!ReplaceFileW(name.c_str(), newName.c_str(), backupName.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                      nullptr, nullptr)) {
        if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
            !MoveFileExW(backupName.c_str(), name.c_str(), 0))
            removeBackup.release();
        return false;
    }
    removeNew.release();
    return true;
}

}  // namespace orv
