#include "preview/PictureBlock.h"

#include <atomic>
#include <cstring>
#include <new>

namespace orv {
namespace {

// Each block is preceded by its capacity, kept in a prefix that keeps the block
// aligned as new[] aligns.
constexpr size_t Prefix = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
constexpr uint32_t KeptAtMost = 1u << 20;

uint32_t CapacityOf(const uint8_t* base)
{
    uint32_t capacity;
    std::memcpy(&capacity, base, sizeof capacity);
    return capacity;
}

// One block, taken and given back with a single exchange, so that threads decoding at
// once each get a block of their own.
class KeptBlock {
public:
    ~KeptBlock() { delete[] base.exchange(nullptr); }

    uint8_t* Take() { return base.exchange(nullptr); }
    uint8_t* Swap(uint8_t* other) { return base.exchange(other); }

private:
    std::atomic<uint8_t*> base{nullptr};
};

KeptBlock kept;

}  // namespace

PictureBlock NewPictureBlock(uint32_t size)
{
    if (uint8_t* base = kept.Take()) {
        if (CapacityOf(base) >= size)
            return PictureBlock(base + Prefix);
        delete[] base;
    }
    if (size > SIZE_MAX - Prefix)
        return nullptr;
    auto* base = new (std::nothrow) uint8_t[size + Prefix];
    if (base == nullptr)
        return nullptr;
    std::memcpy(base, &size, sizeof size);
    return PictureBlock(base + Prefix);
}

void PictureBlockRelease::operator()(uint8_t* block) const
{
    uint8_t* base = block - Prefix;
    if (CapacityOf(base) <= KeptAtMost)
        base = kept.Swap(base);
    delete[] base;
}

}  // namespace orv
