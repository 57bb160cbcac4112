#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ByteWriter.h"

namespace orv::test {

// A section of a library part: its tag and contents, or, given a start, only a
// directory entry that claims start and length.
struct LibSection {
    std::string tag;
    std::string data;
    uint32_t start = 0;
    uint32_t length = 0;
};

// Library parts in the sectioned form: the 64-byte header, a 16-byte directory entry
// per section, then the sections, each a 16-byte head and its contents. 'WW' parts are
// little-endian, 'MM' and 'UU' big-endian, tags included. A name of 32 bytes or more
// fills its field unterminated; the header claims count sections when given. Bytes the
// reader does not use hold the writer's pattern.
inline std::vector<uint8_t> LibPart(uint16_t platform, const std::string& name = "",
                                    const std::vector<LibSection>& sections = {}, int16_t version = 13,
                                    uint32_t typeCode = 0, std::optional<int32_t> count = std::nullopt)
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

// Library parts in the older forms, from their big-endian version word: 7 or 107
// (version 7 from a Macintosh or Windows), 12 or 112 (version 12), or any other word,
// which gets a 128-byte header. Other numbers are in the platform's order (Windows
// above 100). The name follows a count byte (count, or the name's length when 0) where
// the form has a name; the 3D script and, in version 12, the 2D script follow the
// header. The 3D script's start and length are stored as given when start3D is not 0.
inline std::vector<uint8_t> OlderLibPart(uint16_t word, const std::string& name = "",
                                         const std::string& script3D = "", const std::string& script2D = "",
                                         uint8_t count = 0, uint32_t start3D = 0, uint32_t length3D = 0)
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
