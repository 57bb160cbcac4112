#include "plan/BlockHeader.h"

#include "plan/FieldConversion.h"
#include "util/ByteOrder.h"

namespace orv {

bool ReadBlockHeader(File& file, bool bigEndian, BlockHeader& header)
{
    uint8_t bytes[BlockHeaderSize];
    if (!file.ReadExactly(bytes, sizeof bytes))
        return false;
    if (bigEndian) {
        Swap16(bytes);
        Swap32(bytes + 2);
    }
    header = {Load16(bytes), Load32(bytes + 2)};
    return true;
}

}  // namespace orv
