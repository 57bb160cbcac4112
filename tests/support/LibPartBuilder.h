#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
std::vector<uint8_t> LibPart(uint16_t platform, const std::string& name = "",
                             const std::vector<LibSection>& sections = {}, int16_t version = 13,
                             uint32_t typeCode = 0, std::optional<int32_t> count = std::nullopt);

// Library parts in the older forms, from their big-endian version word: 7 or 107
// (version 7 from a Macintosh or Windows), 12 or 112 (version 12), or any other word,
// which gets a 128-byte header. Other numbers are in the platform's order (Windows
// above 100). The name follows a count byte (count, or the name's length when 0) where
// the form has a name; the 3D script and, in version 12, the 2D script follow the
// header. The 3D script's start and length are stored as given when start3D is not 0.
std::vector<uint8_t> OlderLibPart(uint16_t word, const std::string& name = "", const std::string& script3D = "",
                                  const std::string& script2D = "", uint8_t count = 0, uint32_t start3D = 0,
                                  uint32_t length3D = 0);

}  // namespace orv::test
