#include "ModulBuilder.h"

#include "ByteWriter.h"

namespace orv::test {

std::vector<uint8_t> StoredMetafile(int16_t mappingMode, int16_t width, int16_t height,
                                    const std::vector<uint8_t>& bits)
{
    ByteWriter out;
    out.U16(static_cast<uint16_t>(mappingMode)).U16(static_cast<uint16_t>(width));
    return out.U16(static_cast<uint16_t>(height)).At(8).Bytes(bits).Data();
}

std::vector<uint8_t> WindowsMetafileBits()
{
    ByteWriter out;
    // The header: in memory, 9 words long, version 3.0, 24 words in all, no objects,
    // the longest record 7 words.
    out.U16(1).U16(9).U16(0x0300).U32(24).U16(0).U32(7).U16(0);
    out.U32(5).U16(0x020C).U16(100).U16(200);                   // SetWindowExt
    out.U32(7).U16(0x041B).U16(80).U16(150).U16(10).U16(20);    // Rectangle
    return out.U32(3).U16(0).Data();                            // end
}

std::vector<uint8_t> PreviewRecord(uint16_t kind)
{
    ByteWriter out;
    out.U16(0x5A5A).U16(5).U16(6).U16(70).U16(80);
    return out.At(kind == 0xD001 ? 12 : 14).U16(0x24).U16(7).Data();
}

std::vector<uint8_t> VersionBlock(int16_t release, uint32_t version)
{
    return ByteWriter().At(2).U16(static_cast<uint16_t>(release)).U32(version).Data();
}

std::vector<uint8_t> Module(const ModulRecord& a, const ModulRecord& b, const ModulRecord& c, uint16_t variant,
                            uint16_t magic)
{
    ByteWriter out;
    out.U16(magic).U16(variant);
    auto start = static_cast<uint32_t>(4 + 3 * 89);
    for (const ModulRecord* record : {&a, &b, &c}) {
        auto length = static_cast<uint32_t>(record->data.size());
        out.U16(record->type).U32(record->length.value_or(length)).U32(record->start.value_or(start));
        out.Fill(79, 0xA5);
        start += length;
    }
    return out.Bytes(a.data).Bytes(b.data).Bytes(c.data).Data();
}

}  // namespace orv::test
