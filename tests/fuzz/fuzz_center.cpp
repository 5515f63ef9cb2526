// Centring on a reference rectangle inside an area, for any 32-bit inputs.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "dialogs/center_math.h"
#include "fuzz_check.h"

namespace {
// Halving that truncates toward zero, written out so that it does not rely
// on the behaviour under test.
int64_t HalfTowardZero(int64_t value)
{
    return value >= 0 ? value / 2 : -((-value) / 2);
}

int64_t ReferenceAxis(int64_t areaLow, int64_t areaHigh, int64_t refLow, int64_t refHigh, int64_t size)
{
    int64_t pos = HalfTowardZero(refLow + refHigh) - HalfTowardZero(size);
    if (pos < areaLow)
        pos = areaLow;
    else if (pos + size > areaHigh)
        pos = areaHigh - size;
    return std::clamp<int64_t>(pos, INT32_MIN, INT32_MAX);
}

void CheckAxis(int32_t result, int32_t areaLow, int32_t areaHigh, int32_t refLow, int32_t refHigh, int32_t size)
{
    FUZZ_CHECK(result == ReferenceAxis(areaLow, areaHigh, refLow, refHigh, size));
    // A window that fits the area ends up inside it.
    if (size >= 0 && int64_t{areaHigh} - areaLow >= size)
        FUZZ_CHECK(result >= areaLow && int64_t{result} + size <= areaHigh);
    // A window whose centred place is inside the area stays centred (a
    // negative size can put that place beyond 32 bits, where it is clamped).
    int64_t centred = HalfTowardZero(int64_t{refLow} + refHigh) - HalfTowardZero(size);
    if (centred >= areaLow && centred + size <= areaHigh && centred <= INT32_MAX)
        FUZZ_CHECK(result == centred);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int32_t values[10];
    if (size < sizeof values)
        return 0;
    std::memcpy(values, data, sizeof values);
    const Box area{values[0], values[1], values[2], values[3]};
    const Box reference{values[4], values[5], values[6], values[7]};
    const int32_t width = values[8];
    const int32_t height = values[9];

    Spot spot = CenterInArea(area, reference, width, height);
    CheckAxis(spot.x, area.left, area.right, reference.left, reference.right, width);
    CheckAxis(spot.y, area.top, area.bottom, reference.top, reference.bottom, height);
    return 0;
}
