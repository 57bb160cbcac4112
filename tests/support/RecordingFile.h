#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "util/MemoryFile.h"

namespace orv::test {

// A file in memory that logs the reads, writes and seeks reaching it ("read 2048",
// "seek 0"), to tell when, how and how often it is used; its reads can be made to fail,
// as on a disk error.
class RecordingFile : public MemoryFile {
public:
    using MemoryFile::MemoryFile;

    uint32_t Read(void* buffer, uint32_t count) override
    {
        log.push_back("read " + std::to_string(count));
        return readsFail ? 0 : MemoryFile::Read(buffer, count);
    }
    uint32_t Write(const void* buffer, uint32_t count) override
    {
        log.push_back("write " + std::to_string(count));
        return MemoryFile::Write(buffer, count);
    }
    bool Seek(uint64_t position) override
    {
        log.push_back("seek " + std::to_string(position));
        return MemoryFile::Seek(position);
    }

    // How many logged calls were of this kind ("read", "write", "seek").
    size_t Count(const std::string& kind) const
    {
        return std::count_if(log.begin(), log.end(), [&kind](const std::string& entry) {
            return entry.rfind(kind + " ", 0) == 0;
        });
    }

    std::vector<std::string> log;
    bool readsFail = false;
};

}  // namespace orv::test
