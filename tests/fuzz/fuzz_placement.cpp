// The placement record: packing and unpacking any values and any bytes.
#include <cstdint>
#include <cstring>

#include "fuzz_check.h"
#include "settings/placement_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < kPlacementRecordSize)
        return 0;
    PlacementRecord stored;
    std::memcpy(stored.data(), data, kPlacementRecordSize);

    // Any stored bytes: the flag is any non-zero byte, coordinates little-endian.
    Placement placement = UnpackPlacement(stored);
    FUZZ_CHECK(placement.restore == (stored[0] != 0));
    FUZZ_CHECK(static_cast<uint32_t>(placement.left) ==
               (stored[4] | stored[5] << 8 | stored[6] << 16 | static_cast<uint32_t>(stored[7]) << 24));
    FUZZ_CHECK(static_cast<uint32_t>(placement.top) ==
               (stored[8] | stored[9] << 8 | stored[10] << 16 | static_cast<uint32_t>(stored[11]) << 24));

    // Packing again normalises the flag to 1 and zeroes the reserved bytes.
    PlacementRecord normalised = stored;
    normalised[0] = stored[0] != 0 ? 1 : 0;
    normalised[1] = normalised[2] = normalised[3] = 0;
    FUZZ_CHECK(PackPlacement(placement) == normalised);

    // Any placement comes back whole.
    Placement back = UnpackPlacement(PackPlacement(placement));
    FUZZ_CHECK(back.restore == placement.restore);
    FUZZ_CHECK(back.left == placement.left);
    FUZZ_CHECK(back.top == placement.top);
    return 0;
}
