// Texts the time dialog reads back from its controls, as bytes of the ANSI
// code page. A text longer than the caller's buffer is fetched whole and
// cut between two characters, never inside one nor inside a line break.
#pragma once
#include <windows.h>

#include <cstddef>

// The text of a window (an edit box, the time box), cut to outSize - 1
// bytes. False, with out left as it was, when the text could not be read.
bool FetchControlText(HWND control, char* out, size_t outSize);
// The text of item index of a combo box's list, cut to outSize - 1 bytes;
// empty when it could not be read.
size_t FetchTimeItemText(HWND timeBox, int index, char* out, size_t outSize);
