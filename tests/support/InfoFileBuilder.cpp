#include "InfoFileBuilder.h"

namespace orv::test {

InfoFileBuilder& InfoFileBuilder::Info(const std::string& group, const std::string& item,
                                       const std::string& detail)
{
    ByteWriter record(ByteOrder::Big);
    record.Text(group, 32).Text(item, 32).Text(detail, 32);
    for (uint16_t value = 1; value <= 14; ++value)
        record.U16(value);
    return Entry("info", 0, record.Data());
}

std::vector<uint8_t> InfoFileBuilder::Build() const
{
    ByteWriter file(ByteOrder::Big);
    file.At(16).U32(static_cast<uint32_t>(storedCount.value_or(static_cast<int32_t>(entries.size()))));
    auto dataStart = static_cast<uint32_t>(20 + 20 * entries.size());
    for (const Pending& entry : entries) {
        file.Tag(entry.tag).U32(entry.id).U32(entry.dataStart.value_or(dataStart)).U32(entry.dataLength).U32(0);
        dataStart += static_cast<uint32_t>(entry.data.size());
    }
    for (const Pending& entry : entries)
        file.Bytes(entry.data);
    return file.Data();
}

}  // namespace orv::test
