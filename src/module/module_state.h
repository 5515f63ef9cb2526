// Module-wide state of Tarvix.dll: one set per process, used only on the
// host's calling thread inside an export call, so never locked.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

// Set by ResolveSettingsPath at every export call. The settings path is
// Unicode, so any folder the platform can name holds the file; empty when
// there is none.
extern HINSTANCE g_instance;
extern wchar_t g_settingsPath[MAX_PATH];
// The same path in the ANSI code page, where it names the file exactly
// (nothing replaced or best-fitted) and fits: the settings file is then
// reached through the A profile functions, which hand its bytes through as
// they are. Empty where only the Unicode path reaches it.
extern char g_settingsPathAnsi[MAX_PATH];

// Set by Tarvix; the host window stays once found, until it is closed.
extern DWORD g_callingThread;
extern HWND g_hostWindow;
extern int32_t g_displayMeasure;
extern int32_t g_displayBeat;
extern int32_t g_displayTick;

// Finds this module and the settings file beside it; every export calls it
// before touching the settings file.
void ResolveSettingsPath();
// The settings file's full path for the user to read (empty when there is
// none), cut to outSize - 1 units.
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
// A host may free the module between its calls, and the held values would go
// with it: once one is held, the module keeps a reference to itself for the
// rest of the process. It is never given back.
extern bool g_keptLoaded;
void KeepModuleLoaded();

// The time dialog's tooltip window: set at each start, destroyed at the end.
extern HWND g_tooltipWindow;
// The message box's centring hook while a box is shown, else null.
extern HHOOK g_centerHook;
// The about box's bold title font while the box is open.
extern HFONT g_titleFont;
