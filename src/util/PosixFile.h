#pragma once
#include "util/File.h"

namespace orv {

// The file seam on POSIX systems, for the native build of the portable core.
class PosixFile : public File {
public:
    // Takes the descriptor, open at its start, of a file of that size.
    PosixFile(int descriptor, uint64_t size);
    ~PosixFile() override;
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t Write(const void* buffer, uint32_t count) override;
    bool Seek(uint64_t position) override;
    uint64_t Position() const override;
    uint64_t Size() const override;
    bool Cut() override;

private:
    int descriptor;
    // Kept here rather than asked of the system at every call: the readers ask
    // often, and no one else moves this descriptor. The size is the file's at
    // opening, grown or cut by our own writes.
    uint64_t size;
    uint64_t position = 0;
};

}  // namespace orv
