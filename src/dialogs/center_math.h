// Where to put a window so that it is centred on a reference rectangle and
// kept inside a bounding area.
#pragma once
#include <cstdint>

struct Box {
    int32_t left, top, right, bottom;
};

struct Spot {
    int32_t x, y;
};

// Centre of reference, less half the window's size; each halving truncates
// toward zero on its own (a 100..300 reference and width 101 give 150).
// Then the left (top) limit of area is applied first, else the right
// (bottom) one. The arithmetic is exact for any 32-bit inputs; a result
// outside 32 bits is clamped.
Spot CenterInArea(const Box& area, const Box& reference, int32_t width, int32_t height);
