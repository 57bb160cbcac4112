#include "util/win32/Win32File.h"

#include <string>

namespace orv {
namespace {

// Creates a file of a new name beside path; an invalid handle when none can be made.
unique_hfile CreateBeside(const char* path, const char* purpose, std::string& name)
{
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        name = std::string(path) + "." + purpose + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(attempt);
        unique_hfile handle(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (handle || GetLastError() != ERROR_FILE_EXISTS)
            return handle;
    }
    return {};
}

struct DeleteNamedFile {
    void operator()(const std::string* name) const { DeleteFileA(name->c_str()); }
};
using unique_named_file = std::unique_ptr<const std::string, DeleteNamedFile>;

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

bool ReplaceFileContents(const char* path,
                         const std::function<bool(File& original, File& replacement)>& compose)
{
    std::string newName, backupName;
    unique_hfile created = CreateBeside(path, "new", newName);
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
    // it can be put back; ReplaceFileA keeps the original's attributes.
    if (!CreateBeside(path, "old", backupName))
        return false;
    unique_named_file removeBackup(&backupName);
    if (!ReplaceFileA(path, newName.c_str(), backupName.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                      nullptr, nullptr)) {
        if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
            !MoveFileExA(backupName.c_str(), path, 0))
            removeBackup.release();
        return false;
    }
    removeNew.release();
    return true;
}

}  // namespace orv
