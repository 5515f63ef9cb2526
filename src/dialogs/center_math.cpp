#include "center_math.h"

#include <algorithm>
#include <limits>

namespace {
int32_t Clamp32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// One axis: centre on [refLow, refHigh], then keep inside [areaLow, areaHigh].
int32_t CenterAxis(int32_t areaLow, int32_t areaHigh, int32_t refLow, int32_t refHigh, int32_t size)
{
    // 64-bit sums cannot overflow; C++ division truncates toward zero, as the
    // 32-bit arithmetic of the placement rule asks.
    int64_t pos = (int64_t{refLow} + refHigh) / 2 - int64_t{size} / 2;
    if (pos < areaLow)
        pos = areaLow;
    else if (pos + size > areaHigh)
        pos = int64_t{areaHigh} - size;
    return Clamp32(pos);
}
}

Spot CenterInArea(const Box& area, const Box& reference, int32_t width, int32_t height)
{
    return {CenterAxis(area.left, area.right, reference.left, reference.right, width),
            CenterAxis(area.top, area.bottom, reference.top, reference.bottom, height)};
}
