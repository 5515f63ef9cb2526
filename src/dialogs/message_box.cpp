#include "message_box.h"

#include <algorithm>

#include "../module/module_state.h"
#include "center_math.h"

namespace {
constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr UINT kIconMask = MB_ICONMASK;
// Asked of an owner that wants its owned windows centred elsewhere.
constexpr UINT kQueryCenterWindow = 0x036B;
constexpr UINT kMoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
// The message box's text control, which other dialogs lack.
constexpr int kMessageTextId = 0xFFFF;

struct ButtonText {
    int id;
    const wchar_t* text;
};
// In the order the box shows them, left to right.
constexpr ButtonText kJapaneseButtons[] = {{IDYES, L"はい(&Y)"}, {IDNO, L"いいえ(&N)"}, {IDOK, L"OK"}};
constexpr int kButtonTextSize = 16;

const wchar_t* DefaultCaption(UINT style)
{
    switch (style & kIconMask) {
    case MB_ICONHAND:
        return L"エラー";
    case MB_ICONQUESTION:
        return L"確認";
    case MB_ICONEXCLAMATION:
        return L"警告";
    case MB_ICONASTERISK:
        return L"情報";
    }
    return L"";  // a real empty title, not the platform's default one
}

// A child window's rectangle in its parent's client coordinates.
RECT ChildRect(HWND parent, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

Box ToBox(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

HWND DefaultReference(HWND window, LONG style)
{
    HWND candidate = (style & WS_CHILD) != 0 ? GetParent(window) : GetWindow(window, GW_OWNER);
    if (candidate != nullptr) {
        HWND redirected = reinterpret_cast<HWND>(SendMessageA(candidate, kQueryCenterWindow, 0, 0));
        if (redirected != nullptr)
            candidate = redirected;
    }
    return candidate;
}

// The work area of the monitor that holds reference (the nearest one); the
// primary monitor's without a reference or where no monitor is known.
RECT WorkAreaOf(HWND reference)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    HMONITOR handle = reference != nullptr ? MonitorFromWindow(reference, MONITOR_DEFAULTTONEAREST) : nullptr;
    if (handle != nullptr && GetMonitorInfoW(handle, &monitor))
        return monitor.rcWork;
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// Centres window on reference (or, when null, on its parent or owner),
// keeping it inside the parent's client area, or inside the work area of
// the reference's monitor (the primary one's when there is no reference).
void CenterWindowOn(HWND window, HWND reference)
{
    LONG style = GetWindowLongA(window, GWL_STYLE);
    if (reference == nullptr)
        reference = DefaultReference(window, style);

    RECT outer;
    GetWindowRect(window, &outer);
    RECT area;
    RECT referenceRect;
    if ((style & WS_CHILD) != 0) {
        HWND parent = GetParent(window);
        GetClientRect(parent, &area);
        GetClientRect(reference, &referenceRect);
        MapWindowPoints(reference, parent, reinterpret_cast<POINT*>(&referenceRect), 2);
    } else {
        if (reference != nullptr) {
            LONG referenceStyle = GetWindowLongA(reference, GWL_STYLE);
            if ((referenceStyle & WS_VISIBLE) == 0 || (referenceStyle & WS_MINIMIZE) != 0)
                reference = nullptr;
        }
        area = WorkAreaOf(reference);
        if (reference != nullptr)
            GetWindowRect(reference, &referenceRect);
        else
            referenceRect = area;
    }
    Spot spot = CenterInArea(ToBox(area), ToBox(referenceRect), outer.right - outer.left, outer.bottom - outer.top);
    SetWindowPos(window, nullptr, spot.x, spot.y, -1, -1, kMoveOnly);
}

// The box sized its buttons for the texts it chose: buttons too narrow for
// the Japanese ones grow alike, and stay a centred row, the box growing
// with them where it must.
void FitButtons(HWND box, HWND (&buttons)[ARRAYSIZE(kJapaneseButtons)], int count)
{
    HDC dc = GetDC(box);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
    LONG needed = 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[kButtonTextSize];
        RECT extent{};
        DrawTextW(dc, text, GetWindowTextW(buttons[i], text, kButtonTextSize), &extent, DT_CALCRECT | DT_SINGLELINE);
        needed = std::max(needed, extent.right + 2 * extent.bottom);  // a line's height of room each side
    }
    SelectObject(dc, oldFont);
    ReleaseDC(box, dc);

    RECT first = ChildRect(box, buttons[0]);
    const LONG width = first.right - first.left;
    if (needed <= width)
        return;
    const LONG gap = count > 1 ? ChildRect(box, buttons[1]).left - first.right : 0;
    const LONG row = count * needed + (count - 1) * gap;
    RECT client;
    GetClientRect(box, &client);
    const LONG grow = row + 2 * first.left - client.right;
    if (grow > 0) {
        RECT outer;
        GetWindowRect(box, &outer);
        SetWindowPos(box, nullptr, 0, 0, outer.right - outer.left + grow, outer.bottom - outer.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        client.right += grow;
    }
    const LONG left = (client.right - row) / 2;
    for (int i = 0; i < count; ++i)
        SetWindowPos(buttons[i], nullptr, left + i * (needed + gap), first.top, needed, first.bottom - first.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

// Windows names a box's standard buttons in the language of its own user
// interface, whatever language the box asks for: on a Western Windows a
// Japanese question would offer Yes and No.
void NameButtonsInJapanese(HWND box)
{
    if (GetDlgItem(box, kMessageTextId) == nullptr)
        return;
    HWND buttons[ARRAYSIZE(kJapaneseButtons)];
    int count = 0;
    for (const ButtonText& button : kJapaneseButtons) {
        HWND control = GetDlgItem(box, button.id);
        if (control == nullptr || (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) == 0)
            continue;
        SetWindowTextW(control, button.text);
        buttons[count++] = control;
    }
    if (count > 0)
        FitButtons(box, buttons, count);
}

// Watches the calling thread while a box is shown. It acts once the box
// has handled WM_INITDIALOG, where the box lays itself out, and before it
// is shown; every call is passed on so other hooks of the host keep working.
LRESULT CALLBACK CenterHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0) {
        const CWPRETSTRUCT* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (sent->message == WM_INITDIALOG) {
            NameButtonsInJapanese(sent->hwnd);
            CenterWindowOn(sent->hwnd, GetParent(sent->hwnd));
        }
    }
    return CallNextHookEx(g_centerHook, code, wParam, lParam);
}
}

int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)
{
    MSGBOXPARAMSW params{};
    params.cbSize = sizeof params;
    params.hwndOwner = owner;
    params.hInstance = g_instance;
    params.lpszText = text;
    params.lpszCaption = caption != nullptr && lstrlenW(caption) > 0 ? caption : DefaultCaption(style);
    params.dwStyle = style;
    params.dwLanguageId = kJapanese;

    if (g_centerHook == nullptr)
        g_centerHook = SetWindowsHookExA(WH_CALLWNDPROCRET, CenterHookProc, nullptr, GetCurrentThreadId());
    int result = MessageBoxIndirectW(&params);
    UnhookWindowsHookEx(g_centerHook);
    g_centerHook = nullptr;
    return result;
}
