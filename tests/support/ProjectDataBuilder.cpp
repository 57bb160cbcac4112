#include "ProjectDataBuilder.h"

#include <algorithm>

#include "ByteWriter.h"

namespace orv::test {

uint8_t ProjectDataFiller(size_t offset)
{
    return static_cast<uint8_t>(0x41 + offset % 23);
}

std::vector<uint8_t> ProjectDataRecord(uint16_t code, const ProjectTexts& stored, uint16_t number2,
                                       uint32_t number4)
{
    ByteWriter record(code == 0x5757 ? ByteOrder::Little : ByteOrder::Big);
    record.U16(code).U16(number2).U32(number4);
    while (record.Size() < 2048)
        record.U8(ProjectDataFiller(record.Size()));

    std::vector<uint8_t> bytes = record.Data();
    const std::string* texts[] = {&stored.project,       &stored.author,   &stored.revision,
                                  &stored.drawingPrefix, &stored.keywords, &stored.comments};
    for (size_t i = 0; i < 6; ++i) {
        const std::string& text = *texts[i];
        size_t length = std::min<size_t>(text.size(), 128);
        std::copy_n(text.begin(), length, bytes.begin() + ProjectTextOffsets[i]);
        if (length < 128)
            bytes[ProjectTextOffsets[i] + length] = 0;
    }
    return bytes;
}

}  // namespace orv::test
