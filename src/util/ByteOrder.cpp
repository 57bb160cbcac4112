#include "util/ByteOrder.h"

#include <cstring>
#include <utility>

namespace orv {

void Swap16(void* field)
{
    auto* b = static_cast<unsigned char*>(field);
    std::swap(b[0], b[1]);
}

void Swap32(void* field)
{
    auto* b = static_cast<unsigned char*>(field);
    std::swap(b[0], b[3]);
    std::swap(b[1], b[2]);
}

void ConvertMacDate(uint32_t* date, int fromMac)
{
    if (*date == 0)
        return;
    if (fromMac) {
        Swap32(date);
        *date += MacDateOffset;
    } else {
        *date -= MacDateOffset;
        Swap32(date);
    }
}

}  // namespace orv
