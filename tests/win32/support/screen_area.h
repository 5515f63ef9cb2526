// Pictures of a part of the screen, for windows that span several
// top-level windows (a dialog with its dropped-down list).
#pragma once
#include <windows.h>

#include "screen_shot.h"  // SaveScreenArea

// The smallest rectangle holding both a and b.
RECT UnionOf(const RECT& a, const RECT& b);
