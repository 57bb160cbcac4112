#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orv {

// An open document. Every reader and writer goes through this seam: the DLL opens
// files with the Win32 API (no sharing, so no one changes a document under us), the
// native build with POSIX calls, and tests and fuzzers with MemoryFile.
class File {
public:
    enum class Access { Read, Write, ReadWrite };

    virtual ~File() = default;

    // Both return the number of bytes done; fewer than asked means the end of the
    // file or a failure.
    virtual uint32_t Read(void* buffer, uint32_t count) = 0;
    virtual uint32_t Write(const void* buffer, uint32_t count) = 0;

    virtual bool Seek(uint64_t position) = 0;
    virtual uint64_t Position() const = 0;
    virtual uint64_t Size() const = 0;
    // Ends the file at the current position.
    virtual bool Cut() = 0;

    // Reads exactly count bytes or reports failure.
    bool ReadExactly(void* buffer, uint32_t count);
    bool WriteExactly(const void* buffer, uint32_t count);
    // Bytes from the current position to the end; 0 past the end.
    uint64_t Remaining() const;
};

// Paths are UTF-8 (on POSIX systems, the name's bytes as they are). One with a zero
// byte inside, or on Windows one that is not valid UTF-8, names no file.

// Opens an existing file; null when it does not exist or cannot be opened.
std::unique_ptr<File> OpenFile(const std::string& path, File::Access access);

// Replaces an existing file's contents in one step. compose reads the original as it
// is now and writes the new contents into an empty file beside it, which then takes
// the original's place and keeps its permissions. When compose or any later step
// fails, the new file is removed and the original stays exactly as it was.
bool ReplaceFileContents(const std::string& path,
                         const std::function<bool(File& original, File& replacement)>& compose);

}  // namespace orv
