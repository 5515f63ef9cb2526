// Owner drawing of the time box's drop-down list.
#pragma once
#include <windows.h>

// Every item is TIME_ITEM_HEIGHT pixels high.
void MeasureTimeItem(MEASUREITEMSTRUCT* measure);
// Draws one item; FALSE when there is no item to draw (empty list).
BOOL DrawTimeItem(const DRAWITEMSTRUCT* draw);
