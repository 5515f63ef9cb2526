#include "screen_area.h"

RECT UnionOf(const RECT& a, const RECT& b)
{
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}
