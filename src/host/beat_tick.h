// The beat-tick code that crosses the export boundary: beat * 1000 + tick.
#pragma once
#include <cstdint>

struct BeatTick {
    uint32_t beat;
    uint32_t tick;
};

// Splits a code handed in by the host script (unsigned division by 1000).
constexpr BeatTick DecodeBeatTick(uint32_t code) { return {code / 1000u, code % 1000u}; }

// Joins beat and tick as the host script expects them back. The sum wraps
// around in 32 bits like the host's own integer arithmetic; the tick is not
// reduced first.
constexpr int32_t EncodeBeatTick(int32_t beat, int32_t tick)
{
    return static_cast<int32_t>(static_cast<uint32_t>(beat) * 1000u + static_cast<uint32_t>(tick));
}
