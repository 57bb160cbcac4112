#include "LibPartBuilder.h"

#include "ByteWriter.h"

namespace orv::test {

std::vector<uint8_t> LibPart(uint16_t platform, const std::string& name,
                             const std::vector<LibSection>& sections, int16_t version, uint32_t typeCode,
                             std::optional<int32_t> count)
{
    ByteWriter out(platform == 0x5757 ? ByteOrder::Little : ByteOrder::Big);
    out.U16(platform).U16(static_cast<uint16_t>(version)).Text(name, 32);
    out.U32(static_cast<uint32_t>(count.value_or(static_cast<int32_t>(sections.size())))).At(44).U32(typeCode);
    ByteWriter contents(out.Order());
    const size_t first = 64 + 16 * sections.size();
    for (size_t i = 0; i < sections.size(); ++i) {
        const LibSection& section = sections[i];
        auto length = static_cast<uint32_t>(16 + section.data.size());
        bool laidOut = section.start == 0;
        out.At(64 + 16 * i).Tag(section.tag).U32(laidOut ? first + contents.Size() : section.start);
        out.U32(laidOut ? length : section.length);
        if (laidOut)
            contents.Tag(section.tag).U32(length).Fill(8, 0xA5).Text(section.data, section.data.size());
    }
    return out.At(first).Bytes(contents.Data()).Data();
}

std::vector<uint8_t> OlderLibPart(uint16_t word, const std::string& name, const std::string& script3D,
                                  const std::string& script2D, uint8_t count, uint32_t start3D,
                                  uint32_t length3D)
{
    bool windows = static_cast<int16_t>(word) > 100;
    int version = windows ? word - 100 : word;
    uint32_t size = version == 7 ? (windows ? 82 : 50) : 128;
    uint32_t nameAt = version == 7 ? (windows ? 50 : 0) : 96;
    ByteWriter out(windows ? ByteOrder::Little : ByteOrder::Big);
    out.U8(static_cast<uint8_t>(word >> 8)).U8(static_cast<uint8_t>(word)).At(version == 7 ? 10 : 12);
    auto length = static_cast<uint32_t>(script3D.size());
    out.U32(start3D != 0 ? start3D : size).U32(start3D != 0 ? length3D : length);
    if (version != 7)
        out.At(52).U32(size + length).U32(static_cast<uint32_t>(script2D.size()));
    if (nameAt != 0)
        out.At(nameAt).U8(count != 0 ? count : static_cast<uint8_t>(name.size())).Text(name, 31);
    return out.At(size).Text(script3D + script2D, script3D.size() + script2D.size()).Data();
}

}  // namespace orv::test
