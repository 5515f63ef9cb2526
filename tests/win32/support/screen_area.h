// Pictures of a part of the screen, for windows that span several
// top-level windows (a dialog with its dropped-down list).
#pragma once
#include <windows.h>

// The smallest rectangle holding both a and b.
RECT UnionOf(const RECT& a, const RECT& b);
// Saves what the screen shows inside rect (screen coordinates) as a 24-bit BMP file.
bool SaveScreenArea(const RECT& rect, const char* path);
