#pragma once
#include <cstdint>

namespace orv {

// The platform's RECT: right and bottom are exclusive.
struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;

    bool operator==(const Rect&) const = default;
};
static_assert(sizeof(Rect) == 16);

// As the platform's IsRectEmpty and IntersectRect: an empty intersection leaves
// result all zeros and answers false.
bool IsRectEmpty(const Rect& rect);
bool IntersectRect(Rect& result, const Rect& a, const Rect& b);

// Nearest integer, halves away from zero, clamped to +-32767 and +-2147483647 (the
// most negative value of each type is never produced). Not a number gives 0.
int16_t NearestShort(double x);
int32_t NearestLong(double x);

// Fits a picture of width x height into rect with its proportions kept: centred at
// its natural size when strictly smaller both ways, else scaled to the rectangle's
// width or height and centred in the other direction.
void FitToRect(Rect& rect, int32_t width, int32_t height);

// Cuts dst to the part inside clipBox (the device's visible area) and src to the
// part of the picture that lands there. False when nothing is visible: then both
// stay as they were, unless the mapped source part turned out empty.
bool ClipToVisible(const Rect& clipBox, Rect& src, Rect& dst);

}  // namespace orv
