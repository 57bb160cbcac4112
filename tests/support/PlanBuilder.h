#pragma once
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "ByteWriter.h"

namespace orv::test {

// The header fields that point at blocks, by their offsets.
enum class PlanPointer : uint8_t {
    None = 0,
    Preview = 188,
    SignIn = 192,
    ProjectData = 204,
};

// Builds a plan with a PlanHeader: 256 bytes of header, then the blocks in the order
// given. 'WW' (0x5757) plans are little-endian, 'MM' and 'UU' big-endian. Texts are
// given as stored; the release, the version, the marker and the pointers are 0 and
// the name empty unless set; every other header byte has a value of its own.
class PlanBuilder {
public:
    explicit PlanBuilder(uint16_t platform)
        : header(platform == 0x5757 ? ByteOrder::Little : ByteOrder::Big), blocks(header.Order())
    {
        header.U16(platform).U16(0).U32(0).At(16).Fill(32).At(90).U8(0);
        header.At(188).Fill(8).At(204).U32(0).At(256);
    }

    PlanBuilder& Release(int16_t release) { return Number(2, 2, static_cast<uint16_t>(release)); }
    PlanBuilder& Version(int32_t version) { return Number(4, 4, static_cast<uint32_t>(version)); }
    // The 32-byte name field; 32 bytes or more leave it without a terminator.
    PlanBuilder& DocumentName(const std::string& stored)
    {
        header.At(16).Text(stored, 32);
        return *this;
    }
    PlanBuilder& SignInMarker(uint8_t marker) { return Number(90, 1, marker); }
    // A block; the header's pointer, if named, points at it.
    PlanBuilder& Block(uint16_t tag, const std::vector<uint8_t>& data, PlanPointer pointer = PlanPointer::None)
    {
        return BlockClaiming(tag, static_cast<uint32_t>(data.size()), data, pointer);
    }
    // A block whose header claims a length of its own, whatever data follows.
    PlanBuilder& BlockClaiming(uint16_t tag, uint32_t storedLength, const std::vector<uint8_t>& data,
                               PlanPointer pointer = PlanPointer::None)
    {
        offsets.push_back(static_cast<uint32_t>(header.Size() + blocks.Size()));
        if (pointer != PlanPointer::None)
            PointAt(pointer, offsets.back());
        blocks.U16(tag).U32(storedLength).Bytes(data);
        return *this;
    }
    // Sets a pointer to an offset of the caller's choosing.
    PlanBuilder& PointAt(PlanPointer pointer, uint32_t offset) { return Number(size_t(pointer), 4, offset); }

    std::vector<uint8_t> Build() const { return ByteWriter(header).At(header.Size()).Bytes(blocks.Data()).Data(); }
    // Where the n-th block's header begins in the built plan.
    uint32_t BlockOffset(size_t index) const { return offsets.at(index); }

private:
    PlanBuilder& Number(size_t offset, size_t size, uint64_t value)
    {
        header.At(offset).Number(value, size);
        return *this;
    }

    ByteWriter header;
    ByteWriter blocks;
    std::vector<uint32_t> offsets;
};

// A SignInRecord of 144 bytes. The numbers at 36 and 40 are both 0 when pathFollows,
// and then a 300-byte project path follows the record.
inline std::vector<uint8_t> SignInBlock(ByteOrder order, int32_t signInValue, int32_t changesValue,
                                        bool pathFollows, const std::string& projectPath = {})
{
    ByteWriter out(order);
    out.Text("Signed", 32).At(36).U32(pathFollows ? 0 : 7).U16(pathFollows ? 0 : 9);
    out.At(44).U32(static_cast<uint32_t>(signInValue)).At(92).U32(static_cast<uint32_t>(changesValue));
    out.At(144);
    if (pathFollows)
        out.Text(projectPath, 300);
    return out.Data();
}

// A LegacyPlanHeader of size bytes: the leading value, big-endian, at 0; the release
// 0x0102 at 90 and a counted name at nameAt (0: none), little-endian when the value is
// above 100.0 (a Windows header), big-endian otherwise. Every other byte has a value of its own.
inline std::vector<uint8_t> LegacyPlan(float leadingValue, size_t size, size_t nameAt = 0,
                                       const std::string& name = {})
{
    ByteWriter out(leadingValue > 100.0f ? ByteOrder::Little : ByteOrder::Big);
    out.Bytes(ByteWriter(ByteOrder::Big).U32(std::bit_cast<uint32_t>(leadingValue)).Data()).At(90).U16(0x0102);
    if (nameAt != 0)
        out.At(nameAt).Counted(name, 32);
    return Cut(out.At(size).Data(), size);
}

}  // namespace orv::test
