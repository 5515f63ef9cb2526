// Module-wide state of Tarvix.dll: one set per process, used only on the
// host's calling thread inside an export call, so never locked.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

// Set by ResolveSettingsPath at every export call.
extern HINSTANCE g_instance;
extern char g_settingsPath[MAX_PATH];  // empty when the path does not fit

// Set by Tarvix; the host window stays once found, until it is closed.
extern DWORD g_callingThread;
extern HWND g_hostWindow;
extern int32_t g_displayMeasure;
extern int32_t g_displayBeat;
extern int32_t g_displayTick;

// Finds this module and the settings file beside it; every export calls it
// before touching the settings file.
void ResolveSettingsPath();
// The settings file's full path for the user to read: the module's folder
// as Windows spells it (in Unicode), whatever path the profile functions use.
// Empty when the module's path does not fit outSize.
void SettingsFileDisplayPath(wchar_t* out, size_t outSize);

// The hand-over values (Temp's Meas, Beat and Tick, in that order) whose
// last write failed: they are read in the settings file's place until a
// write of them succeeds, so the host still goes where the user chose.
struct HeldValue {
    bool held;
    int32_t value;
};
constexpr size_t kHandOverValues = 3;
extern HeldValue g_heldHandOver[kHandOverValues];

// The time dialog's tooltip window: set at each start, destroyed at the end.
extern HWND g_tooltipWindow;
// The message box's centring hook while a box is shown, else null.
extern HHOOK g_centerHook;
// The about box's bold title font while the box is open.
extern HFONT g_titleFont;
