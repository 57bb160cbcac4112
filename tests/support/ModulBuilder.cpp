#include "ModulBuilder.h"

#include "ByteWriter.h"

namespace orv::test {
namespace {

constexpr uint32_t RecordSize = 89;
constexpr uint32_t DataStart = 4 + 3 * RecordSize;

}  // namespace

ModulBuilder::ModulBuilder()
{
    records[0].type = 3;
    records[0].data = StoredMetafile(8, 2000, 1000, WindowsMetafileBits());
}

ModulBuilder& ModulBuilder::Magic(uint16_t value)
{
    magic = value;
    return *this;
}

ModulBuilder& ModulBuilder::Variant(uint16_t value)
{
    variant = value;
    return *this;
}

ModulBuilder& ModulBuilder::Record(ModulRecord record, uint16_t type, const std::vector<uint8_t>& data)
{
    PlannedRecord& planned = records[static_cast<int>(record)];
    planned.type = type;
    planned.data = data;
    return *this;
}

ModulBuilder& ModulBuilder::Point(ModulRecord record, uint32_t length, uint32_t start)
{
    PlannedRecord& planned = records[static_cast<int>(record)];
    planned.pointed = true;
    planned.length = length;
    planned.start = start;
    return *this;
}

std::vector<uint8_t> ModulBuilder::Build() const
{
    ByteWriter out;
    out.U16(magic).U16(variant);
    uint32_t start = DataStart;
    for (const PlannedRecord& record : records) {
        auto length = static_cast<uint32_t>(record.data.size());
        out.U16(record.type).U32(record.pointed ? record.length : length);
        out.U32(record.pointed ? record.start : start).Fill(RecordSize - 10, 0xA5);
        start += length;
    }
    for (const PlannedRecord& record : records)
        out.Bytes(record.data);
    return out.Data();
}

std::vector<uint8_t> StoredMetafile(int16_t mappingMode, int16_t width, int16_t height,
                                    const std::vector<uint8_t>& bits)
{
    ByteWriter out;
    out.U16(static_cast<uint16_t>(mappingMode)).U16(static_cast<uint16_t>(width));
    out.U16(static_cast<uint16_t>(height)).U16(0xEEEE);
    return out.Bytes(bits).Data();
}

std::vector<uint8_t> WindowsMetafileBits()
{
    ByteWriter out;
    // The header: in memory, 9 words long, version 3.0, 24 words in all, no objects,
    // the longest record 7 words.
    out.U16(1).U16(9).U16(0x0300).U32(24).U16(0).U32(7).U16(0);
    out.U32(5).U16(0x020C).U16(100).U16(200);                   // SetWindowExt
    out.U32(7).U16(0x041B).U16(80).U16(150).U16(10).U16(20);    // Rectangle
    out.U32(3).U16(0);                                          // end
    return out.Data();
}

std::vector<uint8_t> PreviewRecord(uint16_t kind)
{
    ByteWriter record;
    record.U16(0x5A5A).U16(5).U16(6).U16(70).U16(80);
    record.Fill(kind == 0xD001 ? 2 : 4, 0xEE);
    record.U16(0x24).U16(7);
    return record.Data();
}

std::vector<uint8_t> VersionBlock(int16_t release, uint32_t version)
{
    return ByteWriter().U16(0xBBBB).U16(static_cast<uint16_t>(release)).U32(version).Data();
}

}  // namespace orv::test
