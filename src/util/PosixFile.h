#pragma once
#include "util/File.h"

namespace orv {

// The file seam on POSIX systems, for the native build of the portable core.
class PosixFile : public File {
public:
    explicit PosixFile(int descriptor);
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
};

}  // namespace orv
