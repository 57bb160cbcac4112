#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ByteWriter.h"
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
inline std::vector<uint8_t> ProjectDataRecord(uint16_t code, const ProjectTexts& stored, uint16_t number2 = 0x0102,
                                              uint32_t number4 = 0x03040506)
{
    ByteWriter record(code == 0x5757 ? ByteOrder::Little : ByteOrder::Big);
    record.U16(code).U16(number2).U32(number4);
    for (size_t i = 0; i < 6; ++i) {
        const std::string& text = stored.*ProjectTextFields[i];
        record.At(ProjectTextOffsets[i]).Text(text, std::min<size_t>(text.size() + 1, 128));
    }
    return record.At(2048).Data();
}

// The bytes with these texts (by field number) and their terminators stored in the
// record at offset.
inline std::vector<uint8_t> WithStoredTexts(std::vector<uint8_t> bytes, size_t record, const StoredTexts& texts)
{
    for (const auto& [field, stored] : texts)
        std::copy_n(stored.c_str(), stored.size() + 1, bytes.begin() + record + ProjectTextOffsets[field]);
    return bytes;
}

// The six texts in one line, between bars.
inline std::string Joined(const ProjectTexts& texts)
{
    std::string joined = texts.project;
    for (size_t i = 1; i < 6; ++i)
        joined += "|" + texts.*ProjectTextFields[i];
    return joined;
}

}  // namespace orv::test
