#include "plan/BlockHeader.h"

#include <cstring>

#include "plan/FieldConversion.h"
#include "util/ByteOrder.h"

namespace orv {

BlockHeader ParseBlockHeader(const uint8_t* bytes, bool bigEndian)
{
    uint8_t copy[BlockHeaderSize];
    std::memcpy(copy, bytes, BlockHeaderSize);
    if (bigEndian) {
        Swap16(copy);
        Swap32(copy + 2);
    }
    return {Load16(copy), Load32(copy + 2)};
}

bool ReadBlockHeader(File& file, bool bigEndian, BlockHeader& header)
{
    uint8_t bytes[BlockHeaderSize];
    if (!file.ReadExactly(bytes, sizeof bytes))
        return false;
    header = ParseBlockHeader(bytes, bigEndian);
    return true;
}

}  // namespace orv
