#include "util/File.h"

namespace orv {

bool File::ReadExactly(void* buffer, uint32_t count)
{
    return Read(buffer, count) == count;
}

bool File::WriteExactly(const void* buffer, uint32_t count)
{
    return Write(buffer, count) == count;
}

uint64_t File::Remaining() const
{
    uint64_t size = Size();
    uint64_t position = Position();
    return position < size ? size - position : 0;
}

}  // namespace orv
