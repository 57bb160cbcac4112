#pragma once
#include <cstdint>
#include <vector>

#include "plan/ProjectData.h"

namespace orv::test {

// The filler of every byte of a project data record that the texts do not take:
// the 8 bytes at 8, the bytes after each text's terminator, and the 1264 from 784.
uint8_t ProjectDataFiller(size_t offset);

// A 2048-byte ProjectDataFile with the texts exactly as stored (Mac characters and
// lone CRs are the caller's to give). Numbers are little-endian when the code is
// 'WW' (0x5757), big-endian otherwise. A text of 128 bytes or more fills its field
// without a terminator.
std::vector<uint8_t> ProjectDataRecord(uint16_t code, const ProjectTexts& stored,
                                       uint16_t number2 = 0x0102, uint32_t number4 = 0x03040506);

// Where each text's 128-byte field begins, in the order project, author, revision,
// drawing prefix, keywords, comments.
inline constexpr size_t ProjectTextOffsets[] = {16, 144, 272, 400, 528, 656};

}  // namespace orv::test
