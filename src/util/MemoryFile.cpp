#include "util/MemoryFile.h"

#include <algorithm>
#include <cstring>

namespace orv {

MemoryFile::MemoryFile(std::vector<uint8_t> bytes) : bytes(std::move(bytes)) {}

MemoryFile::MemoryFile(const void* data, size_t size)
    : bytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size)
{
}

uint32_t MemoryFile::Read(void* buffer, uint32_t count)
{
    if (position >= bytes.size())
        return 0;
    auto done = static_cast<uint32_t>(std::min<uint64_t>(count, bytes.size() - position));
    std::memcpy(buffer, bytes.data() + position, done);
    position += done;
    return done;
}

uint32_t MemoryFile::Write(const void* buffer, uint32_t count)
{
    auto done = static_cast<uint32_t>(std::min<uint64_t>(count, writeAllowance));
    if (done == 0)
        return 0;
    if (position + done > bytes.size())
        bytes.resize(position + done);
    std::memcpy(bytes.data() + position, buffer, done);
    position += done;
    writeAllowance -= done;
    return done;
}

bool MemoryFile::Seek(uint64_t newPosition)
{
    position = newPosition;
    return true;
}

uint64_t MemoryFile::Position() const
{
    return position;
}

uint64_t MemoryFile::Size() const
{
    return bytes.size();
}

bool MemoryFile::Cut()
{
    bytes.resize(position);
    return true;
}

void MemoryFile::LimitWrites(uint64_t allowed)
{
    writeAllowance = allowed;
}

const std::vector<uint8_t>& MemoryFile::Bytes() const
{
    return bytes;
}

}  // namespace orv
