#pragma once
#include <windows.h>

#include "util/File.h"
#include "util/win32/UniqueHandle.h"

namespace orv {

// The file seam on Windows. Documents are opened without sharing, so that no other
// program changes one while it is read or rewritten.
class Win32File : public File {
public:
    explicit Win32File(unique_hfile handle);

    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t Write(const void* buffer, uint32_t count) override;
    bool Seek(uint64_t position) override;
    uint64_t Position() const override;
    uint64_t Size() const override;
    bool Cut() override;

private:
    unique_hfile handle;
};

}  // namespace orv
