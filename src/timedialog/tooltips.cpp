#include "tooltips.h"

#include <commctrl.h>

#include <cstddef>

#include "../host/module_state.h"
#include "../res/resource.h"

namespace {
// TOOLINFOA up to and including lParam: the layout every comctl32 accepts.
constexpr UINT kToolInfoSize = offsetof(TOOLINFOA, lParam) + sizeof(LPARAM);
static_assert(kToolInfoSize == 44);

struct TipText {
    int control;
    const char* text;
};

constexpr TipText kTips[] = {
    {IDOK, "指定したタイム値に移動し、このダイアログを閉じる"},
    {IDCANCEL, "このダイアログを閉じる"},
    {IDC_TIME_ADD, "指定したタイム値をリストに追加"},
    {IDC_TIME_DELETE, "選択したリスト項目を削除"},
    {IDC_TIME_DELETE_ALL, "リスト項目をすべて削除"},
    {IDC_TIME_COMMENT, "改行(Ctrl+Enter), タブ(Ctrl+Tab)"},
};

// Registers the control's whole client area as a tool with the given tip.
void AddTooltip(HWND control, const char* text)
{
    TOOLINFOA info{};
    info.cbSize = kToolInfoSize;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = control;
    info.uId = 0;
    GetClientRect(control, &info.rect);
    info.hinst = g_instance;
    info.lpszText = const_cast<char*>(text);
    SendMessageA(g_tooltipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}
}

void CreateTimeDialogTooltips(HWND dialog)
{
    g_tooltipWindow = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, 0, 0, 0, 0, dialog, nullptr,
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
