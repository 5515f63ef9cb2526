// The three functions the host script calls, by these undecorated names.
#pragma once
#include <windows.h>

extern "C" {
// Runs the time dialog for the position whose beat-tick code is given;
// returns the chosen measure (at least 1), or 0 when nothing was chosen.
int WINAPI Tarvix(int beatTickCode);
// Stores the current measure as the hand-over position; non-zero on success.
int WINAPI SetMeas(int measure);
// The hand-over position's beat * 1000 + tick.
int WINAPI GetBeatAndTick();
}
