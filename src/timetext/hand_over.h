// The hand-over position the time dialog leaves for the host script, in
// section Temp. A value that the settings file did not take (another
// program holds it, it is read-only, there is no settings path) is held in
// the module for the rest of the process and read in the file's place,
// until a write of it succeeds again.
#pragma once
#include <cstdint>

enum HandOverValue { kHandOverMeasure, kHandOverBeat, kHandOverTick };

// Writes value (decimal text or a raw time-text field) under its key;
// false, and the value held, when the file did not take it.
bool WriteHandOver(HandOverValue which, const char* value);
// The value as an integer: the held one, else the file's (or its default).
int32_t ReadHandOver(HandOverValue which);

// Stores the confirmed time text's fields as Temp/Meas, Beat and Tick;
// false when the file did not take them all.
bool StoreTimeText(const char* text);
// Sets the hand-over position to the song start: measure 1, beat 1, tick 0.
bool ResetHandOver();
