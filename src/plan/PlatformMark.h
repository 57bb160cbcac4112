#pragma once
#include <cstdint>

namespace orv {

// The two-letter codes of the platform that wrote a document. They read the same in
// either byte order, so a reader tests them before it knows the order.
enum PlatformMark : uint16_t {
    PlatformWindows = 0x5757,    // "WW": little-endian, Windows characters
    PlatformMacintosh = 0x4D4D,  // "MM": big-endian, Mac characters
    PlatformUnix = 0x5555,       // "UU": read like "MM"
};

inline bool IsPlatformMark(uint32_t code)
{
    return code == PlatformWindows || code == PlatformMacintosh || code == PlatformUnix;
}

}  // namespace orv
