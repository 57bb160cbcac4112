#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "plan/ProjectData.h"

namespace orv::test {

// Where each text's 128-byte field begins, in the order project, author, revision,
// drawing prefix, keywords, comments.
inline constexpr size_t ProjectTextOffsets[] = {16, 144, 272, 400, 528, 656};
inline constexpr std::string ProjectTexts::*ProjectTextFields[] = {
    &ProjectTexts::project,       &ProjectTexts::author,   &ProjectTexts::revision,
    &ProjectTexts::drawingPrefix, &ProjectTexts::keywords, &ProjectTexts::comments,
};
using StoredTexts = std::vector<std::pair<size_t, std::string>>;

// A 2048-byte ProjectDataFile with the texts exactly as stored (Mac characters and
// lone CRs are the caller's to give), little-endian when the code is 'WW' (0x5757),
// big-endian otherwise. A text of 128 bytes or more fills its field without a
// terminator; the bytes after a terminator and from 784 on have values of their own.
std::vector<uint8_t> ProjectDataRecord(uint16_t code, const ProjectTexts& stored,
                                       uint16_t number2 = 0x0102, uint32_t number4 = 0x03040506);

// The bytes with these texts (by field number) and their terminators stored in the
// record at offset.
std::vector<uint8_t> WithStoredTexts(std::vector<uint8_t> bytes, size_t record, const StoredTexts& texts);

// The six texts in one line, between bars.
std::string Joined(const ProjectTexts& texts);

}  // namespace orv::test
