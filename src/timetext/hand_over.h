// The hand-over position the time dialog leaves for the host script.
#pragma once
#include <windows.h>

// Stores the confirmed time text's fields as Temp/Meas, Beat and Tick and
// ends the dialog with 1.
void StoreTimeText(HWND dialog, const char* text);
// Sets the hand-over position to the song start: measure 1, beat 1, tick 0.
void ResetHandOver();
