#pragma once
#include <cstdint>

#include "util/File.h"

namespace orv {

// The 6 bytes in front of every block of plans and layout books: a tag and the
// length of the data that follows, without padding, in the document's byte order.
struct BlockHeader {
    uint16_t tag;
    uint32_t length;
};

inline constexpr uint32_t BlockHeaderSize = 6;

// The header held in 6 bytes.
BlockHeader ParseBlockHeader(const uint8_t* bytes, bool bigEndian);

// Reads a block header at the file's position; false on a short read.
bool ReadBlockHeader(File& file, bool bigEndian, BlockHeader& header);

}  // namespace orv
