#include "PlanBuilder.h"

#include <bit>

namespace orv::test {

PlanBuilder::PlanBuilder(uint16_t platform)
    : header(platform == 0x5757 ? ByteOrder::Little : ByteOrder::Big), blocks(header.Order())
{
    header.U16(platform).U16(0).U32(0).At(16).Fill(32).At(90).U8(0);
    header.At(188).Fill(8).At(204).U32(0).At(256);
}

PlanBuilder& PlanBuilder::Number(size_t offset, size_t size, uint64_t value)
{
    header.At(offset).Number(value, size);
    return *this;
}

PlanBuilder& PlanBuilder::DocumentName(const std::string& stored)
{
    header.At(16).Text(stored, 32);
    return *this;
}

PlanBuilder& PlanBuilder::Block(uint16_t tag, const std::vector<uint8_t>& data, PlanPointer pointer)
{
    return BlockClaiming(tag, static_cast<uint32_t>(data.size()), data, pointer);
}

PlanBuilder& PlanBuilder::BlockClaiming(uint16_t tag, uint32_t storedLength,
                                        const std::vector<uint8_t>& data, PlanPointer pointer)
{
    offsets.push_back(static_cast<uint32_t>(header.Size() + blocks.Size()));
    if (pointer != PlanPointer::None)
        PointAt(pointer, offsets.back());
    blocks.U16(tag).U32(storedLength).Bytes(data);
    return *this;
}

std::vector<uint8_t> PlanBuilder::Build() const
{
    return ByteWriter(header).At(header.Size()).Bytes(blocks.Data()).Data();
}

std::vector<uint8_t> SignInBlock(ByteOrder order, int32_t signInValue, int32_t changesValue,
                                 bool pathFollows, const std::string& projectPath)
{
    ByteWriter out(order);
    out.Text("Signed", 32).At(36).U32(pathFollows ? 0 : 7).U16(pathFollows ? 0 : 9);
    out.At(44).U32(static_cast<uint32_t>(signInValue)).At(92).U32(static_cast<uint32_t>(changesValue));
    out.At(144);
    if (pathFollows)
        out.Text(projectPath, 300);
    return out.Data();
}

std::vector<uint8_t> LegacyPlan(float leadingValue, size_t size, size_t nameAt, const std::string& name)
{
    ByteWriter out(leadingValue > 100.0f ? ByteOrder::Little : ByteOrder::Big);
    out.Bytes(ByteWriter(ByteOrder::Big).U32(std::bit_cast<uint32_t>(leadingValue)).Data()).At(90).U16(0x0102);
    if (nameAt != 0)
        out.At(nameAt).Counted(name, 32);
    return Cut(out.At(size).Data(), size);
}

}  // namespace orv::test
