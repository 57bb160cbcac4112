#pragma once
#include <cstdint>

namespace orv {

// Seconds from 1 January 1904, where Mac dates start, to 1 January 1970.
inline constexpr uint32_t MacDateOffset = 2082844800u;

// Exchange the bytes of a field loaded from a file of the other byte order.
void Swap16(void* field);
void Swap32(void* field);

// Converts a stored date between the Mac form (most significant byte first, counted
// from 1904) and the Windows form; 0, the empty date, stays 0 in both forms.
void ConvertMacDate(uint32_t* date, int fromMac);

}  // namespace orv
