#include "preview/PreviewGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orv {
namespace {

// The picture code computes in the platform's 32- and 16-bit integers; these give
// the same wrapped values without overflowing in C++.
int32_t Wrap32(int64_t value)
{
    return static_cast<int32_t>(value);
}

int16_t Low16(int64_t value)
{
    return static_cast<int16_t>(value);
}

// a / b as the floating-point unit gives it, without dividing by zero.
double Ratio(double a, double b)
{
    if (b != 0)
        return a / b;
    if (a == 0 || std::isnan(a))
        return std::numeric_limits<double>::quiet_NaN();
    return (a > 0) == !std::signbit(b) ? std::numeric_limits<double>::infinity()
                                       : -std::numeric_limits<double>::infinity();
}

// Truncation toward zero into 32 bits, then the low 16 bits; a value the processor
// cannot convert gives its "integer indefinite" 0x80000000, whose low half is 0.
int16_t TruncateToShort(double x)
{
    if (!(x > -2147483649.0 && x < 2147483648.0))
        return 0;
    return Low16(static_cast<int64_t>(x));
}

}  // namespace

bool IsRectEmpty(const Rect& rect)
{
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

bool IntersectRect(Rect& result, const Rect& a, const Rect& b)
{
    Rect cut{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
    if (IsRectEmpty(cut)) {
        result = {};
        return false;
    }
    result = cut;
    return true;
}

int16_t NearestShort(double x)
{
    if (std::isnan(x))
        return 0;
    if (x > 32767.0)
        return 32767;
    if (x < -32767.0)
        return -32767;
    return static_cast<int16_t>(x >= 0 ? x + 0.5 : x - 0.5);
}

int32_t NearestLong(double x)
{
    if (std::isnan(x))
        return 0;
    if (x > 2147483647.0)
        return 2147483647;
    if (x < -2147483647.0)
        return -2147483647;
    return static_cast<int32_t>(x >= 0 ? x + 0.5 : x - 0.5);
}

void FitToRect(Rect& rect, int32_t width, int32_t height)
{
    int32_t rw = Wrap32(int64_t{rect.right} - rect.left);
    int32_t rh = Wrap32(int64_t{rect.bottom} - rect.top);
    if (rw > width && rh > height) {
        rect.left = Wrap32(rect.left + int64_t{Wrap32(int64_t{rw} - width) / 2});
        rect.top = Wrap32(rect.top + int64_t{Wrap32(int64_t{rh} - height) / 2});
        rect.right = Wrap32(int64_t{rect.left} + width);
        rect.bottom = Wrap32(int64_t{rect.top} + height);
        return;
    }
    double aspect = Ratio(width, height);
    int16_t rw16 = Low16(rw);
    int16_t rh16 = Low16(rh);
    if (Ratio(rw16, rh16) <= aspect) {
        int16_t newHeight = TruncateToShort(Ratio(rw16, aspect));
        rect.top = Wrap32(rect.top + int64_t{Wrap32(int64_t{rh} - newHeight) / 2});
        rect.bottom = Wrap32(int64_t{rect.top} + newHeight);
    } else {
        int16_t newWidth = TruncateToShort(aspect * rh16);
        rect.left = Wrap32(rect.left + int64_t{Wrap32(int64_t{rw} - newWidth) / 2});
        rect.right = Wrap32(int64_t{rect.left} + newWidth);
    }
}

bool ClipToVisible(const Rect& clipBox, Rect& src, Rect& dst)
{
    Rect visible;
    if (!IntersectRect(visible, clipBox, dst))
        return false;
    if (visible == dst)
        return true;
    double sw = Low16(int64_t{src.right} - src.left);
    double sh = Low16(int64_t{src.bottom} - src.top);
    double dw = Low16(int64_t{dst.right} - dst.left);
    double dh = Low16(int64_t{dst.bottom} - dst.top);
    double srcLeft = Low16(src.left);
    double srcTop = Low16(src.top);
    double dstLeft = Low16(dst.left);
    double dstTop = Low16(dst.top);
    dst = visible;
    Rect mapped{NearestLong(Ratio((visible.left - dstLeft) * sw, dw) + srcLeft),
                NearestLong(Ratio((visible.top - dstTop) * sh, dh) + srcTop),
                NearestLong(Ratio((visible.right - dstLeft) * sw, dw) + srcLeft),
                NearestLong(Ratio((visible.bottom - dstTop) * sh, dh) + srcTop)};
    return IntersectRect(src, src, mapped);
}

}  // namespace orv
