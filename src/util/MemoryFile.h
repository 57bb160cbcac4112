#pragma once
#include <cstdint>
#include <vector>

#include "util/File.h"

namespace orv {

// A file held in memory, for tests and fuzzing. A write limit makes writes fail
// part-way, as a full disk would.
class MemoryFile : public File {
public:
    MemoryFile() = default;
    explicit MemoryFile(std::vector<uint8_t> bytes);
    MemoryFile(const void* data, size_t size);

    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t Write(const void* buffer, uint32_t count) override;
    bool Seek(uint64_t position) override;
    uint64_t Position() const override;
    uint64_t Size() const override;
    bool Cut() override;

    // Total bytes that writes may still store; further bytes are refused.
    void LimitWrites(uint64_t bytes);
    const std::vector<uint8_t>& Bytes() const;

private:
    std::vector<uint8_t> bytes;
    uint64_t position = 0;
    uint64_t writeAllowance = UINT64_MAX;
};

}  // namespace orv
