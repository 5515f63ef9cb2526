// Module-wide state of Tarvix.dll: one set per process, used only on the
// host's calling thread inside an export call, so never locked.
#pragma once
#include <windows.h>

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

// The time dialog's tooltip window: set at each start, destroyed at the end.
extern HWND g_tooltipWindow;
// The message box's centring hook while a box is shown, else null.
extern HHOOK g_centerHook;
// The about box's bold title font while the box is open.
extern HFONT g_titleFont;
