#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ByteWriter.h"

namespace orv::test {

// A tag or type code from its four characters, the first the most significant.
constexpr uint32_t FourCc(const char (&code)[5])
{
    return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 |
           uint32_t(uint8_t(code[2])) << 8 | uint8_t(code[3]);
}

// Library parts in the sectioned form: the 64-byte header, the directory and the
// sections in the order given, each a 16-byte head and its data. 'WW' files are
// little-endian, 'MM' and 'UU' big-endian, tags included. Bytes the reader does not
// use hold fillers of their own, so that a write that strays shows.
class LibPartBuilder {
public:
    explicit LibPartBuilder(uint16_t platform);

    LibPartBuilder& Version(int16_t version);
    // The 32-byte name field as stored; 32 bytes or more leave it unterminated.
    LibPartBuilder& DocumentName(const std::string& stored);
    LibPartBuilder& TypeCode(uint32_t code);
    LibPartBuilder& Section(uint32_t tag, const std::vector<uint8_t>& data);
    LibPartBuilder& Section(uint32_t tag, const std::string& text);
    // A directory entry with a start and length of the caller's; no section is laid
    // out for it.
    LibPartBuilder& Entry(uint32_t tag, uint32_t start, uint32_t length);
    // The section count the header claims, whatever the directory holds.
    LibPartBuilder& ClaimCount(int32_t count);

    std::vector<uint8_t> Build() const;

private:
    struct PlannedEntry {
        uint32_t tag;
        bool laidOut;
        uint32_t start;
        uint32_t length;
        std::vector<uint8_t> data;
    };

    uint16_t platform;
    ByteOrder order;
    int16_t version = 13;
    std::string documentName;
    uint32_t typeCode = 0;
    bool countClaimed = false;
    int32_t claimedCount = 0;
    std::vector<PlannedEntry> entries;
};

// Library parts in the older forms, from their big-endian version word: 7 or 107
// (version 7 from a Macintosh or Windows), 12 or 112 (version 12), or any other
// word, which gets a 128-byte header of fillers. The other numbers are in the
// platform's order (Windows above 100). The scripts follow the header and, in a
// Windows version 7 file, the name field after it; the name is empty unless given.
class OlderLibPartBuilder {
public:
    explicit OlderLibPartBuilder(uint16_t versionWord);

    // A count byte and the text in the name field; the count may claim more.
    OlderLibPartBuilder& Name(const std::string& stored);
    OlderLibPartBuilder& CountedName(uint8_t count, const std::string& stored);
    OlderLibPartBuilder& Script2D(const std::string& text);
    OlderLibPartBuilder& Script3D(const std::string& text);
    // A script's start and length as the caller gives them, instead of its text.
    OlderLibPartBuilder& Point3D(uint32_t start, uint32_t length);

    std::vector<uint8_t> Build() const;

private:
    ByteOrder order;
    int16_t version;
    std::vector<uint8_t> header;
    size_t nameOffset = 0;
    std::string script2D;
    std::string script3D;
    bool pointed = false;
    uint32_t start3D = 0;
    uint32_t length3D = 0;
};

}  // namespace orv::test
