#include "module_state.h"

HINSTANCE g_instance;
wchar_t g_settingsPath[MAX_PATH];
char g_settingsPathAnsi[MAX_PATH];
DWORD g_callingThread;
HWND g_hostWindow;
int32_t g_displayMeasure;
int32_t g_displayBeat;
int32_t g_displayTick;
HeldValue g_heldHandOver[kHandOverValues];
bool g_keptLoaded;
HWND g_tooltipWindow;
HHOOK g_centerHook;
HFONT g_titleFont;
