#include "ProjectDataBuilder.h"

#include <algorithm>

#include "ByteWriter.h"

namespace orv::test {

std::vector<uint8_t> ProjectDataRecord(uint16_t code, const ProjectTexts& stored, uint16_t number2,
                                       uint32_t number4)
{
    ByteWriter record(code == 0x5757 ? ByteOrder::Little : ByteOrder::Big);
    record.U16(code).U16(number2).U32(number4);
    for (size_t i = 0; i < 6; ++i) {
        const std::string& text = stored.*ProjectTextFields[i];
        record.At(ProjectTextOffsets[i]).Text(text, std::min<size_t>(text.size() + 1, 128));
    }
    return record.At(2048).Data();
}

std::vector<uint8_t> WithStoredTexts(std::vector<uint8_t> bytes, size_t record, const StoredTexts& texts)
{
    for (const auto& [field, stored] : texts)
        std::copy_n(stored.c_str(), stored.size() + 1, bytes.begin() + record + ProjectTextOffsets[field]);
    return bytes;
}

std::string Joined(const ProjectTexts& texts)
{
    std::string joined = texts.project;
    for (size_t i = 1; i < 6; ++i)
        joined += "|" + texts.*ProjectTextFields[i];
    return joined;
}

}  // namespace orv::test
