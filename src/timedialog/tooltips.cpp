#include "tooltips.h"

#include <commctrl.h>

#include <cstddef>

#include "../module/module_state.h"
#include "../res/resource.h"

namespace {
// TOOLINFOW up to and including lParam: the layout every comctl32 accepts.
constexpr UINT kToolInfoSize = offsetof(TOOLINFOW, lParam) + sizeof(LPARAM);
static_assert(kToolInfoSize == 44);

struct TipText {
    int control;
    const wchar_t* text;
};

constexpr TipText kTips[] = {
    {IDOK, L"指定したタイム値に移動し、このダイアログを閉じる"},
    {IDCANCEL, L"このダイアログを閉じる"},
    {IDC_TIME_ADD, L"指定したタイム値をリストに追加"},
    {IDC_TIME_DELETE, L"選択したリスト項目を削除"},
    {IDC_TIME_DELETE_ALL, L"リスト項目をすべて削除"},
    {IDC_TIME_COMMENT, L"改行(Ctrl+Enter), タブ(Ctrl+Tab)"},
};

// Registers the control's whole client area as a tool with the given tip.
void AddTooltip(HWND control, const wchar_t* text)
{
    TOOLINFOW info{};
    info.cbSize = kToolInfoSize;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = control;
    info.uId = 0;
    GetClientRect(control, &info.rect);
    info.hinst = g_instance;
    info.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(g_tooltipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}
}

void CreateTimeDialogTooltips(HWND dialog)
{
    g_tooltipWindow = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, 0, 0, 0, 0, dialog, nullptr,
                                      g_instance, nullptr);
    SetWindowPos(g_tooltipWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    for (const TipText& tip : kTips)
        AddTooltip(GetDlgItem(dialog, tip.control), tip.text);
}

void DestroyTimeDialogTooltips()
{
    if (IsWindow(g_tooltipWindow))
        DestroyWindow(g_tooltipWindow);
}
