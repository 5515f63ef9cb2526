// Tarvix: runs the time dialog over the host's window and returns the choice.
#include "../module/module_state.h"
#include "../res/resource.h"
#include "../timedialog/time_dialog.h"
#include "../timetext/hand_over.h"
#include "beat_tick.h"
#include "exports.h"

namespace {
constexpr INT_PTR kDialogFailed = -1;

// Inner walk: is candidate (lParam) one of the calling thread's windows?
BOOL CALLBACK MatchThreadWindow(HWND window, LPARAM candidate)
{
    if (window != reinterpret_cast<HWND>(candidate))
        return TRUE;
    if ((GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU) == 0)
        return TRUE;
    g_hostWindow = window;
    return FALSE;
}

BOOL CALLBACK VisitTopLevelWindow(HWND window, LPARAM)
{
    EnumThreadWindows(g_callingThread, MatchThreadWindow, reinterpret_cast<LPARAM>(window));
    return g_hostWindow == nullptr;
}

// The first top-level window, in z-order, that belongs to the calling thread
// and has a system menu: the host's main window.
void FindHostWindow()
{
    EnumWindows(VisitTopLevelWindow, 0);
}

}

int WINAPI Tarvix(int beatTickCode)
{
    g_callingThread = GetCurrentThreadId();
    // The host's window is kept once found, and sought again once it has
    // been closed: a dead owner would refuse every later dialog.
    if (g_hostWindow != nullptr && !IsWindow(g_hostWindow))
        g_hostWindow = nullptr;
    if (g_hostWindow == nullptr)
        FindHostWindow();
    ResolveSettingsPath();

    g_displayMeasure = ReadHandOver(kHandOverMeasure);
    BeatTick position = DecodeBeatTick(static_cast<uint32_t>(beatTickCode));
    g_displayBeat = static_cast<int32_t>(position.beat);
    g_displayTick = static_cast<int32_t>(position.tick);

    // A Unicode dialog: an ANSI one would get its template's Japanese texts
    // through the ANSI code page, as "?" under a Western one. The list and
    // the comments are still read and written in the ANSI code page.
    INT_PTR result = DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_TIME), g_hostWindow, TimeDialogProc, 0);
    // A dialog that could not be created chose nothing either.
    if (result == 0 || result == kDialogFailed)
        return 0;
    int measure = ReadHandOver(kHandOverMeasure);
    return measure < 1 ? 1 : measure;
}
