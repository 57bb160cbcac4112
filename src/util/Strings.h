#pragma once
#include <cstddef>

namespace orv {

// The lstrcpynA contract: at most size - 1 characters and always a terminator.
// Returns the size the copy occupies, terminator included; with size 0 nothing is
// copied and the size the whole source would need is returned.
int CopyStringN(const char* source, char* destination, int size);

// Compares two strings with ASCII letters folded to lower case.
bool EqualIgnoringCase(const char* a, const char* b);

// Line-end conversions for edit controls (CR LF) and for stored texts (lone CR).
// Size 0 asks for the result length; a result that does not fit with its terminator
// gives 0 and leaves the destination untouched. Both return the result length.
size_t ToCrLfLineEnds(const char* source, char* destination, size_t size);
size_t ToCrLineEnds(const char* source, char* destination, size_t size);

}  // namespace orv
