#include "PlanBuilder.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace orv::test {
namespace {

constexpr uint32_t HeaderSize = 256;

uint8_t Filler(size_t offset)
{
    return static_cast<uint8_t>(0x61 + offset % 19);
}

}  // namespace

PlanBuilder::PlanBuilder(uint16_t platform)
    : platform(platform), order(platform == 0x5757 ? ByteOrder::Little : ByteOrder::Big)
{
}

PlanBuilder& PlanBuilder::Release(int16_t value)
{
    release = value;
    return *this;
}

PlanBuilder& PlanBuilder::Version(int32_t value)
{
    version = value;
    return *this;
}

PlanBuilder& PlanBuilder::DocumentName(const std::string& stored)
{
    documentName = stored;
    return *this;
}

PlanBuilder& PlanBuilder::SignInMarker(uint8_t marker)
{
    signInMarker = marker;
    return *this;
}

PlanBuilder& PlanBuilder::Block(uint16_t tag, const std::vector<uint8_t>& data, PlanPointer pointer)
{
    return BlockClaiming(tag, static_cast<uint32_t>(data.size()), data, pointer);
}

PlanBuilder& PlanBuilder::BlockClaiming(uint16_t tag, uint32_t storedLength,
                                        const std::vector<uint8_t>& data, PlanPointer pointer)
{
    blocks.push_back({tag, storedLength, data, pointer});
    return *this;
}

PlanBuilder& PlanBuilder::PointAt(PlanPointer pointer, uint32_t offset)
{
    switch (pointer) {
    case PlanPointer::Preview:
        previewOffset = offset;
        break;
    case PlanPointer::SignIn:
        signInOffset = offset;
        break;
    case PlanPointer::ProjectData:
        projectDataOffset = offset;
        break;
    case PlanPointer::None:
        break;
    }
    return *this;
}

uint32_t PlanBuilder::BlockOffset(size_t index) const
{
    if (index >= blocks.size())
        throw std::out_of_range("no such block");
    uint32_t offset = HeaderSize;
    for (size_t i = 0; i < index; ++i)
        offset += 6 + static_cast<uint32_t>(blocks[i].data.size());
    return offset;
}

std::vector<uint8_t> PlanBuilder::Build() const
{
    uint32_t pointers[4] = {};
    for (size_t i = 0; i < blocks.size(); ++i)
        if (blocks[i].pointer != PlanPointer::None)
            pointers[static_cast<int>(blocks[i].pointer)] = BlockOffset(i);
    uint32_t preview = previewOffset.value_or(pointers[static_cast<int>(PlanPointer::Preview)]);
    uint32_t signIn = signInOffset.value_or(pointers[static_cast<int>(PlanPointer::SignIn)]);
    uint32_t projectData =
        projectDataOffset.value_or(pointers[static_cast<int>(PlanPointer::ProjectData)]);

    ByteWriter out(order);
    out.U16(platform).U16(static_cast<uint16_t>(release)).U32(static_cast<uint32_t>(version));
    out.U16(0x0A0B).U16(0x0C0D).U32(0x01020304);
    if (documentName.size() >= 32)
        out.Bytes(documentName.data(), 32);
    else
        out.Text(documentName, 32);
    out.U32(0x05060708).Text("Rue des Plans", 32).U32(0x090A0B0C).U16(0x0E0F);
    out.U8(signInMarker).U8(0x7E);
    for (uint32_t i = 0; i < 8; ++i)
        out.U32(0x10111213 + i);
    out.Text("Atelier", 64);
    out.U32(preview).U32(signIn).U32(0x14151617).U32(0x18191A1B).U32(projectData);
    while (out.Size() < HeaderSize)
        out.U8(Filler(out.Size()));

    for (const PlannedBlock& block : blocks)
        out.U16(block.tag).U32(block.storedLength).Bytes(block.data);
    return out.Data();
}

std::vector<uint8_t> SignInBlock(ByteOrder order, int32_t signInValue, int32_t changesValue,
                                 bool pathFollows, const std::string& projectPath)
{
    ByteWriter out(order);
    out.Text("Signed", 32).U32(0x21222324);
    out.U32(pathFollows ? 0 : 7).U16(pathFollows ? 0 : 9).U16(0x2526);
    out.U32(static_cast<uint32_t>(signInValue)).U32(0x27282930).U16(0x3132).U16(0x3334);
    for (uint32_t i = 0; i < 5; ++i)
        out.U32(0x40414243 + i);
    out.Fill(4, 0xEE).U16(0x3536).U16(0x3738).U32(0x39404142);
    out.U32(0xB2C3D4E5);  // a date
    out.U32(static_cast<uint32_t>(changesValue));
    out.Fill(48, 0xDD);
    if (pathFollows)
        out.Text(projectPath, 300);
    return out.Data();
}

LegacyPlanBuilder::LegacyPlanBuilder(float leadingValue, ByteOrder order, size_t size)
    : order(order)
{
    ByteWriter leading(ByteOrder::Big);
    leading.U32(std::bit_cast<uint32_t>(leadingValue));
    bytes = leading.Data();
    while (bytes.size() < size)
        bytes.push_back(Filler(bytes.size()));
}

LegacyPlanBuilder& LegacyPlanBuilder::Name(size_t offset, const std::string& stored)
{
    return CountedName(offset, static_cast<uint8_t>(stored.size()), stored);
}

LegacyPlanBuilder& LegacyPlanBuilder::CountedName(size_t offset, uint8_t count,
                                                  const std::string& stored)
{
    if (offset + 1 + stored.size() > bytes.size())
        throw std::out_of_range("the name does not fit the header");
    bytes[offset] = count;
    std::copy(stored.begin(), stored.end(), bytes.begin() + offset + 1);
    return *this;
}

LegacyPlanBuilder& LegacyPlanBuilder::Release(int16_t release)
{
    if (bytes.size() < 92)
        throw std::out_of_range("the header ends before the release");
    ByteWriter number(order);
    number.U16(static_cast<uint16_t>(release));
    std::copy(number.Data().begin(), number.Data().end(), bytes.begin() + 90);
    return *this;
}

}  // namespace orv::test
