#include "time_dialog.h"

#include <commctrl.h>

#include "../dialogs/about_dialog.h"
#include "../dialogs/annotation.h"
#include "../dialogs/message_box.h"
#include "../module/module_state.h"
#include "../res/resource.h"
#include "../timetext/hand_over.h"
#include "../timetext/time_text.h"
#include "byte_limit.h"
#include "control_text.h"
#include "item_descriptions.h"
#include "placement.h"
#include "time_item_draw.h"
#include "time_list.h"
#include "tooltips.h"

namespace {
constexpr wchar_t kSavePositionEntry[] = L"位置を保存(&P)";
constexpr wchar_t kVersionEntry[] = L"バージョン情報(&V)...";
constexpr wchar_t kCannotSave[] =
    L"設定ファイルに書き込めないため、タイムリストとダイアログの位置を保存できません。\n\n";
// Room for the notice and a long module path.
constexpr size_t kCannotSaveSize = ARRAYSIZE(kCannotSave) + 4 * MAX_PATH;

// True from the start steps to the end steps. A dialog whose controls could
// not all be created is destroyed without ever starting; its empty list and
// unset entry must not overwrite the saved ones.
bool g_started;
// The list and the place have been written for this dialog.
bool g_saved;

void AppendSystemMenuEntries(HWND dialog)
{
    HMENU menu = GetSystemMenu(dialog, FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_TIME_SAVE_POSITION, kSavePositionEntry);
    AppendMenuW(menu, MF_STRING, IDM_TIME_VERSION, kVersionEntry);
}

void SetCommentTabStop(HWND dialog)
{
    INT tabStop = COMMENT_TAB_STOP;
    SendDlgItemMessageA(dialog, IDC_TIME_COMMENT, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
}

// Typing and pasting stop at the bytes an item keeps (not at a number of
// characters, which is all a Unicode box could be told).
void LimitTyping(HWND dialog)
{
    COMBOBOXINFO timeBox{};
    timeBox.cbSize = sizeof timeBox;
    GetComboBoxInfo(GetDlgItem(dialog, IDC_TIME_BOX), &timeBox);
    StartByteLimit(g_timeBoxLimit, timeBox.hwndItem, TIME_TYPING_LIMIT, true);
    StartByteLimit(g_commentLimit, GetDlgItem(dialog, IDC_TIME_COMMENT), COMMENT_TYPING_LIMIT, false);
}

void ShowInitialTime(HWND dialog)
{
    char text[kTimeTextSize];
    FormatTimeText(g_displayMeasure, g_displayBeat, g_displayTick, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_TIME_BOX, text);
}

BOOL OnInitDialog(HWND dialog)
{
    HWND timeBox = GetDlgItem(dialog, IDC_TIME_BOX);
    InitCommonControls();
    AppendSystemMenuEntries(dialog);
    SetCommentTabStop(dialog);
    RestoreTimeDialogPlacement(dialog);
    LoadTimeList(timeBox);
    ShowInitialTime(dialog);
    LimitTyping(dialog);
    CreateTimeDialogTooltips(dialog);
    StartAnnotation();
    StartItemDescriptions(dialog);
    g_started = true;
    g_saved = false;
    return TRUE;  // focus to the first tab stop, the time box
}

// Writes the place and the list; false when the settings file did not take
// them.
bool WriteTimeDialog(HWND dialog)
{
    bool written = SaveTimeDialogPlacement(dialog);
    written &= SaveTimeList(GetDlgItem(dialog, IDC_TIME_BOX));
    return written;
}

// Writes the place and the list once per dialog.
bool SaveTimeDialog(HWND dialog)
{
    if (g_saved)
        return true;
    g_saved = true;
    return WriteTimeDialog(dialog);
}

// Windows may end the process once this returns, without WM_DESTROY: the
// dialog's edits are written now, and nobody could answer a notice.
void OnEndSession(HWND dialog, WPARAM ending)
{
    if (ending && g_started)
        WriteTimeDialog(dialog);
}

void WarnCannotSave(HWND dialog)
{
    wchar_t text[kCannotSaveSize];
    lstrcpynW(text, kCannotSave, kCannotSaveSize);
    const size_t length = static_cast<size_t>(lstrlenW(text));
    SettingsFileDisplayPath(text + length, kCannotSaveSize - length);
    ShowMessage(dialog, text, L"", MB_OK | MB_ICONWARNING);
}

// Every end the user chooses: the place and the list are written while the
// dialog is still shown, so that a settings file that cannot take them (or
// did not take the chosen position) is reported before they are lost.
void EndTimeDialog(HWND dialog, INT_PTR result, bool handedOver)
{
    const bool saved = SaveTimeDialog(dialog);
    if (!saved || !handedOver)
        WarnCannotSave(dialog);
    EndDialog(dialog, result);
}

// Runs whatever way the dialog ended, also when the host destroyed it.
void OnDestroy(HWND dialog)
{
    if (!g_started)
        return;
    g_started = false;
    DestroyTimeDialogTooltips();
    SaveTimeDialog(dialog);
    // Nothing of the module stays registered once Tarvix returns.
    EndItemDescriptions();
    EndAnnotation();
}

void OnOk(HWND dialog)
{
    char text[kTimeTextSize];
    if (FetchConfirmedTimeText(GetDlgItem(dialog, IDC_TIME_BOX), text, sizeof text) && text[0] != '\0')
        EndTimeDialog(dialog, 1, StoreTimeText(text));
    else
        EndTimeDialog(dialog, 0, true);
}

void OnCommand(HWND dialog, int control, int notification)
{
    // The word that a box's edit is done: text that bypassed the limit is
    // cut here, before the comment is copied into its item. The combo box
    // sends no CBN_EDITCHANGE while it fills its edit field from its list.
    if (control == IDC_TIME_COMMENT && notification == EN_CHANGE)
        CutToByteLimit(g_commentLimit);
    if (control == IDC_TIME_BOX && notification == CBN_EDITCHANGE)
        CutToByteLimit(g_timeBoxLimit);
    switch (control) {
    case IDOK:
        OnOk(dialog);
        break;
    case IDCANCEL:
        EndTimeDialog(dialog, 0, true);
        break;
    case IDC_TIME_BOX:
    case IDC_TIME_DELETE:
    case IDC_TIME_ADD:
    case IDC_TIME_DELETE_ALL:
    case IDC_TIME_COMMENT:
        OnTimeListCommand(dialog, control, notification);
        break;
    }
}

void ToggleSavePosition(HWND dialog)
{
    UINT check = IsSavePositionChecked(dialog) ? MF_UNCHECKED : MF_CHECKED;
    CheckMenuItem(GetSystemMenu(dialog, FALSE), IDM_TIME_SAVE_POSITION, MF_BYCOMMAND | check);
}

// Our entries are compared with the whole wParam: masking with 0xFFF0, as
// for the system's own commands, would lose the low bits of 106 and 107.
void OnSysCommand(HWND dialog, WPARAM command)
{
    switch (command) {
    case IDM_TIME_VERSION:
        ShowAboutBox(dialog);
        break;
    case IDM_TIME_SAVE_POSITION:
        ToggleSavePosition(dialog);
        break;
    }
}
}

INT_PTR CALLBACK TimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_DESTROY:
        OnDestroy(dialog);
        return FALSE;
    case WM_CLOSE:
        EndTimeDialog(dialog, 0, true);
        return FALSE;
    case WM_ENDSESSION:
        OnEndSession(dialog, wParam);
        return FALSE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    case WM_SYSCOMMAND:
        OnSysCommand(dialog, wParam);
        return FALSE;
    case WM_MEASUREITEM:
        MeasureTimeItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        return DrawTimeItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_DELETEITEM:
        return OnTimeListDeleteItem(wParam, reinterpret_cast<const DELETEITEMSTRUCT*>(lParam));
    case WM_TIME_DESCRIBE_ITEM:
        return ReplyItemDescription(dialog, lParam);
    }
    return FALSE;
}
