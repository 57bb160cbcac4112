#pragma once
#include <gtest/gtest.h>

#include "util/File.h"

namespace orv::test {

// A file that a test expects never to be opened: any use of it fails the test.
class UntouchableFile : public File {
public:
    uint32_t Read(void*, uint32_t) override { return Touched(); }
    uint32_t Write(const void*, uint32_t) override { return Touched(); }
    bool Seek(uint64_t) override { return Touched() != 0; }
    uint64_t Position() const override { return Touched(); }
    uint64_t Size() const override { return Touched(); }
    bool Cut() override { return Touched() != 0; }

private:
    static uint32_t Touched()
    {
        ADD_FAILURE() << "the file was touched";
        return 0;
    }
};

}  // namespace orv::test
