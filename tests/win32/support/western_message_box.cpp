#include "western_message_box.h"

#include "import_patch.h"

namespace {
using MessageBoxIndirectFn = int(WINAPI*)(const MSGBOXPARAMSW*);
MessageBoxIndirectFn g_realMessageBox;
DWORD g_askedLanguage;
HHOOK g_narrowHook;
constexpr int kMessageTextId = 0xFFFF;
constexpr int kButtonTextSize = 64;

// The buttons of a just laid out box as narrow as their English texts need,
// with a line's height of room, each at its left edge. (Wine makes every
// button two lines' height wide at least, which the Japanese texts fit, so
// the module would never have to widen them.)
void NarrowButtons(HWND box)
{
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
    for (HWND button = FindWindowExW(box, nullptr, L"Button", nullptr); button != nullptr;
         button = FindWindowExW(box, button, L"Button", nullptr)) {
        wchar_t text[kButtonTextSize];
        RECT extent{};
        DrawTextW(dc, text, GetWindowTextW(button, text, kButtonTextSize), &extent, DT_CALCRECT | DT_SINGLELINE);
        RECT rect;
        GetWindowRect(button, &rect);
        SetWindowPos(button, nullptr, 0, 0, extent.right + extent.bottom, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SelectObject(dc, old);
    ReleaseDC(box, dc);
}

// Installed after the module's own hook, so it runs first: the module then
// sees the box as the Western Windows made it.
LRESULT CALLBACK NarrowHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code >= 0 && sent->message == WM_INITDIALOG && GetDlgItem(sent->hwnd, kMessageTextId) != nullptr)
        NarrowButtons(sent->hwnd);
    return CallNextHookEx(g_narrowHook, code, wParam, lParam);
}

int WINAPI WesternMessageBox(const MSGBOXPARAMSW* params)
{
    g_askedLanguage = params->dwLanguageId;
    MSGBOXPARAMSW western = *params;
    western.dwLanguageId = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    g_narrowHook = SetWindowsHookExW(WH_CALLWNDPROCRET, NarrowHook, nullptr, GetCurrentThreadId());
    const int result = g_realMessageBox(&western);
    UnhookWindowsHookEx(g_narrowHook);
    g_narrowHook = nullptr;
    return result;
}
}

bool ShowMessageBoxesAsWesternWindows(HMODULE module)
{
    g_realMessageBox = reinterpret_cast<MessageBoxIndirectFn>(
        PatchImport(module, "USER32.dll", "MessageBoxIndirectW", reinterpret_cast<void*>(WesternMessageBox)));
    return g_realMessageBox != nullptr;
}

DWORD LastAskedMessageBoxLanguage()
{
    return g_askedLanguage;
}
