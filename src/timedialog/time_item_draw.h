// Owner drawing of the time box's drop-down list.
#pragma once
#include <windows.h>

// Every item is as tall as a line of the dialog's font, and at least
// TIME_ITEM_HEIGHT pixels (which fits the font at 96 DPI).
void MeasureTimeItem(HWND dialog, MEASUREITEMSTRUCT* measure);
// Draws one item; FALSE when there is no item to draw (empty list).
BOOL DrawTimeItem(const DRAWITEMSTRUCT* draw);
