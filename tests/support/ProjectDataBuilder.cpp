#include "ProjectDataBuilder.h"

#include <algorithm>

#include "ByteWriter.h"

namespace orv::test {

std::vector<uint8_t> ProjectDataRecord(uint16_t code, const ProjectTexts& stored, uint16_t number2,
                                       uint32_t number4)
{
    ByteWriter record(code == 0x5757 ? ByteOrder::Little : ByteOrder::Big);
    record.U16(code).U16(number2).U32(number4);
    const std::string* texts[] = {&stored.project,       &stored.author,   &stored.revision,
                                  &stored.drawingPrefix, &stored.keywords, &stored.comments};
    for (size_t i = 0; i < 6; ++i)
        record.At(ProjectTextOffsets[i]).Text(*texts[i], std::min<size_t>(texts[i]->size() + 1, 128));
    return record.At(2048).Data();
}

std::vector<uint8_t> WithStoredTexts(std::vector<uint8_t> bytes, size_t record,
                                     std::initializer_list<std::pair<size_t, std::string>> texts)
{
    for (const auto& [field, stored] : texts)
        std::copy_n(stored.c_str(), stored.size() + 1, bytes.begin() + record + ProjectTextOffsets[field]);
    return bytes;
}

std::string Joined(const ProjectTexts& texts)
{
    return texts.project + "|" + texts.author + "|" + texts.revision + "|" + texts.drawingPrefix + "|" +
           texts.keywords + "|" + texts.comments;
}

}  // namespace orv::test
