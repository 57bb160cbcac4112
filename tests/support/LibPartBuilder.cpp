#include "LibPartBuilder.h"

#include <stdexcept>

namespace orv::test {
namespace {

constexpr uint32_t HeaderSize = 64;
constexpr uint32_t EntrySize = 16;
constexpr uint32_t SectionHeadSize = 16;

uint8_t Filler(size_t offset)
{
    return static_cast<uint8_t>(0x81 + offset % 23);
}

}  // namespace

LibPartBuilder::LibPartBuilder(uint16_t platform)
    : platform(platform), order(platform == 0x5757 ? ByteOrder::Little : ByteOrder::Big)
{
}

LibPartBuilder& LibPartBuilder::Version(int16_t value)
{
    version = value;
    return *this;
}

LibPartBuilder& LibPartBuilder::DocumentName(const std::string& stored)
{
    documentName = stored;
    return *this;
}

LibPartBuilder& LibPartBuilder::TypeCode(uint32_t code)
{
    typeCode = code;
    return *this;
}

LibPartBuilder& LibPartBuilder::Section(uint32_t tag, const std::vector<uint8_t>& data)
{
    entries.push_back({tag, true, 0, 0, data});
    return *this;
}

LibPartBuilder& LibPartBuilder::Section(uint32_t tag, const std::string& text)
{
    return Section(tag, std::vector<uint8_t>(text.begin(), text.end()));
}

LibPartBuilder& LibPartBuilder::Entry(uint32_t tag, uint32_t start, uint32_t length)
{
    entries.push_back({tag, false, start, length, {}});
    return *this;
}

LibPartBuilder& LibPartBuilder::ClaimCount(int32_t count)
{
    countClaimed = true;
    claimedCount = count;
    return *this;
}

std::vector<uint8_t> LibPartBuilder::Build() const
{
    ByteWriter out(order);
    out.U16(platform).U16(static_cast<uint16_t>(version));
    if (documentName.size() >= 32)
        out.Bytes(documentName.data(), 32);
    else
        out.Text(documentName, 32);
    out.U32(static_cast<uint32_t>(countClaimed ? claimedCount : static_cast<int32_t>(entries.size())));
    out.U32(0x0B0C0D0E).U32(typeCode);
    out.U32(FourCc("HEAD")).U32(0x01020304).U32(0x05060708).U16(0x090A).U16(0x0B0C);

    ByteWriter sections(order);
    uint32_t sectionStart = HeaderSize + EntrySize * static_cast<uint32_t>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const PlannedEntry& entry = entries[i];
        uint32_t start = entry.start;
        uint32_t length = entry.length;
        if (entry.laidOut) {
            start = sectionStart + static_cast<uint32_t>(sections.Size());
            length = SectionHeadSize + static_cast<uint32_t>(entry.data.size());
            sections.U32(entry.tag).U32(length).U32(0x5EC75EC7).U32(static_cast<uint32_t>(i));
            sections.Bytes(entry.data);
        }
        out.U32(entry.tag).U32(start).U32(length).U16(0x7E7F).U16(static_cast<uint16_t>(i));
    }
    return out.Bytes(sections.Data()).Data();
}

OlderLibPartBuilder::OlderLibPartBuilder(uint16_t versionWord)
    : order(static_cast<int16_t>(versionWord) > 100 ? ByteOrder::Little : ByteOrder::Big),
      version(static_cast<int16_t>(static_cast<int16_t>(versionWord) > 100 ? versionWord - 100 : versionWord))
{
    bool windows = order == ByteOrder::Little;
    size_t size = version == 7 ? (windows ? 82 : 50) : 128;
    nameOffset = version == 7 ? (windows ? 50 : 0) : 96;
    for (size_t i = 0; i < size; ++i)
        header.push_back(Filler(i));
    header[0] = static_cast<uint8_t>(versionWord >> 8);
    header[1] = static_cast<uint8_t>(versionWord);
    if (nameOffset != 0)
        header[nameOffset] = 0;
}

OlderLibPartBuilder& OlderLibPartBuilder::Name(const std::string& stored)
{
    return CountedName(static_cast<uint8_t>(stored.size()), stored);
}

OlderLibPartBuilder& OlderLibPartBuilder::CountedName(uint8_t count, const std::string& stored)
{
    if (nameOffset == 0 || stored.size() > 31)
        throw std::out_of_range("this form has no room for the name");
    header[nameOffset] = count;
    std::copy(stored.begin(), stored.end(), header.begin() + nameOffset + 1);
    return *this;
}

OlderLibPartBuilder& OlderLibPartBuilder::Script2D(const std::string& text)
{
    if (version == 7)
        throw std::logic_error("version 7 has no 2D script");
    script2D = text;
    return *this;
}

OlderLibPartBuilder& OlderLibPartBuilder::Script3D(const std::string& text)
{
    script3D = text;
    return *this;
}

OlderLibPartBuilder& OlderLibPartBuilder::Point3D(uint32_t start, uint32_t length)
{
    pointed = true;
    start3D = start;
    length3D = length;
    return *this;
}

std::vector<uint8_t> OlderLibPartBuilder::Build() const
{
    ByteWriter out(order);
    out.Bytes(header);
    auto start = static_cast<uint32_t>(header.size());
    auto length = static_cast<uint32_t>(script3D.size());
    size_t at3D = version == 7 ? 10 : 12;
    out.At(at3D).U32(pointed ? start3D : start).U32(pointed ? length3D : length);
    out.At(start).Bytes(script3D.data(), script3D.size());
    if (version != 7) {
        out.At(52).U32(start + length).U32(static_cast<uint32_t>(script2D.size()));
        out.At(start + length).Bytes(script2D.data(), script2D.size());
    }
    return out.Data();
}

}  // namespace orv::test
