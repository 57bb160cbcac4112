#pragma once
#include <cstdint>
#include <string>

namespace orv {

// What the plan and layout-book pages show, apart from the window calls that show it.

// A version held times 1000, as "  4.55", "  4.1", "  4.05" or "  5.0": the major
// number right-aligned in three places, then the minor one without trailing zeros.
std::string VersionText(int32_t version);

// The string resource that names a platform mark ("Windows", "Macintosh", "Unix", or
// "Unknown" for any other code).
int PlatformStringId(uint32_t platform);

// The "Sign In/Changes:" values, "%ld / %ld".
std::string SignInText(int32_t signInValue, int32_t changesValue);

// The string resource that names the application that wrote a layout book; 0 when
// the code names none.
int WriterStringId(int32_t writerCode);

// Without the sign-in rows the preview area reaches up into them: the new top, from
// the bottom of the document name label and the area's old top.
int PreviewTopWithoutSignIn(int nameLabelBottom, int previewTop);

}  // namespace orv
