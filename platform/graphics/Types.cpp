#include "platform/graphics/Types.h"

#include <algorithm>

TRect IntersectRect(const TRect& a, const TRect& b)
{
    const TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                  std::min(a.Bottom, b.Bottom)};
    // Callers test the result with IsEmpty, and an empty overlap is all zeros
    // so that it compares equal to TRect{} as on the platform.
    return r.IsEmpty() ? TRect{} : r;
}
