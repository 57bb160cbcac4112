#include "InfoFileBuilder.h"

#include "ByteWriter.h"

namespace orv::test {
namespace {

uint32_t TagValue(const char (&tag)[5])
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | static_cast<uint8_t>(tag[i]);
    return value;
}

}  // namespace

InfoFileBuilder& InfoFileBuilder::Entry(const char (&tag)[5], uint32_t id,
                                        const std::vector<uint8_t>& data)
{
    entries.push_back({TagValue(tag), id, data, std::nullopt, 0});
    return *this;
}

InfoFileBuilder& InfoFileBuilder::PlacedEntry(const char (&tag)[5], uint32_t id,
                                              uint32_t dataStart, uint32_t dataLength)
{
    entries.push_back({TagValue(tag), id, {}, dataStart, dataLength});
    return *this;
}

InfoFileBuilder& InfoFileBuilder::Info(const std::string& group, const std::string& item,
                                       const std::string& detail)
{
    ByteWriter record(ByteOrder::Big);
    record.Text(group, 32).Text(item, 32).Text(detail, 32);
    for (uint16_t value = 1; value <= 14; ++value)
        record.U16(value);
    return Entry("info", 0, record.Data());
}

InfoFileBuilder& InfoFileBuilder::FontTable(const char (&tag)[5], uint32_t id, const std::string& name)
{
    ByteWriter table(ByteOrder::Big);
    table.Fill(514, 0x5A).Bytes(name.data(), name.size());
    return Entry(tag, id, table.Data());
}

InfoFileBuilder& InfoFileBuilder::Version(uint32_t id, const std::string& text)
{
    return Entry("VERS", id, std::vector<uint8_t>(text.begin(), text.end()));
}

InfoFileBuilder& InfoFileBuilder::StoredCount(int32_t count)
{
    storedCount = count;
    return *this;
}

std::vector<uint8_t> InfoFileBuilder::Build() const
{
    ByteWriter file(ByteOrder::Big);
    file.U32(0x11111111).U32(0x22222222).U32(0x33333333).U32(0x44444444);
    file.U32(static_cast<uint32_t>(storedCount.value_or(static_cast<int32_t>(entries.size()))));
    auto dataStart = static_cast<uint32_t>(20 + 20 * entries.size());
    for (const Pending& entry : entries) {
        file.U32(entry.tag).U32(entry.id);
        if (entry.dataStart) {
            file.U32(*entry.dataStart).U32(entry.dataLength);
        } else {
            file.U32(dataStart).U32(static_cast<uint32_t>(entry.data.size()));
            dataStart += static_cast<uint32_t>(entry.data.size());
        }
        file.U32(0);
    }
    for (const Pending& entry : entries)
        file.Bytes(entry.data);
    return file.Data();
}

}  // namespace orv::test
