#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ByteWriter.h"

namespace orv::test {

// The header fields that point at blocks.
enum class PlanPointer {
    None,
    Preview,
    SignIn,
    ProjectData
};

// Builds a plan with a PlanHeader: 256 bytes of header, then the blocks in the order
// given. 'WW' (0x5757) plans are little-endian, 'MM' and 'UU' big-endian. Texts are
// given as stored; the numbers the reader does not use are filled with values of
// their own, so that a write that strays shows.
class PlanBuilder {
public:
    explicit PlanBuilder(uint16_t platform);

    PlanBuilder& Release(int16_t release);
    PlanBuilder& Version(int32_t version);
    // The 32-byte name field; 32 bytes or more leave it without a terminator.
    PlanBuilder& DocumentName(const std::string& stored);
    PlanBuilder& SignInMarker(uint8_t marker);
    // A block; the header's pointer, if named, points at it.
    PlanBuilder& Block(uint16_t tag, const std::vector<uint8_t>& data,
                       PlanPointer pointer = PlanPointer::None);
    // A block whose header claims a length of its own, whatever data follows.
    PlanBuilder& BlockClaiming(uint16_t tag, uint32_t storedLength,
                               const std::vector<uint8_t>& data,
                               PlanPointer pointer = PlanPointer::None);
    // Sets a pointer to an offset of the caller's choosing.
    PlanBuilder& PointAt(PlanPointer pointer, uint32_t offset);

    std::vector<uint8_t> Build() const;
    // Where the n-th block's header begins in the built plan.
    uint32_t BlockOffset(size_t index) const;
    ByteOrder Order() const { return order; }

private:
    struct PlannedBlock {
        uint16_t tag;
        uint32_t storedLength;
        std::vector<uint8_t> data;
        PlanPointer pointer;
    };

    uint16_t platform;
    ByteOrder order;
    int16_t release = 0;
    int32_t version = 0;
    std::string documentName;
    uint8_t signInMarker = 0;
    std::vector<PlannedBlock> blocks;
    std::optional<uint32_t> previewOffset;
    std::optional<uint32_t> signInOffset;
    std::optional<uint32_t> projectDataOffset;
};

// A SignInRecord of 144 bytes. The numbers at 36 and 40 are both 0 when pathFollows,
// and then a 300-byte project path follows the record.
std::vector<uint8_t> SignInBlock(ByteOrder order, int32_t signInValue, int32_t changesValue,
                                 bool pathFollows, const std::string& projectPath = {});

// Builds a plan with a LegacyPlanHeader: the leading value big-endian at 0, every
// other byte a filler of its own unless set, numbers in the given order.
class LegacyPlanBuilder {
public:
    LegacyPlanBuilder(float leadingValue, ByteOrder order, size_t size = 512);

    // A count byte and the text at offset; the count may claim more than the text.
    LegacyPlanBuilder& Name(size_t offset, const std::string& stored);
    LegacyPlanBuilder& CountedName(size_t offset, uint8_t count, const std::string& stored);
    // The 16-bit number at 90.
    LegacyPlanBuilder& Release(int16_t release);

    std::vector<uint8_t> Build() const { return bytes; }

private:
    ByteOrder order;
    std::vector<uint8_t> bytes;
};

}  // namespace orv::test
