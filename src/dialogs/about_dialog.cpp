#include "about_dialog.h"

#include <shellapi.h>

#include <cstring>

#include "../host/module_state.h"
#include "../res/contact.h"
#include "../res/resource.h"

namespace {
constexpr int kTitleFontHeight = 15;
// LoadStringA limit for the query prefix and each key, terminator included.
constexpr int kVersionStringSize = 30;
constexpr char kExplorer[] = "Explorer";
constexpr char kSelectArgument[] = "/e,/select,";

void MakeTitleFont(HWND dialog)
{
    HWND title = GetDlgItem(dialog, IDC_ABOUT_TITLE);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(title, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfHeight = kTitleFontHeight;
    font.lfWeight = FW_BOLD;
    g_titleFont = CreateFontIndirectA(&font);
    SendMessageA(title, WM_SETFONT, reinterpret_cast<WPARAM>(g_titleFont), FALSE);
}

// Fills the title, copyright and description fields from the module's own
// version resource. A value that is missing leaves its field empty.
void ShowVersionValues(HWND dialog, const char* path)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return;
    void* data = GlobalAlloc(GPTR, size);
    if (data == nullptr)
        return;
    if (GetFileVersionInfoA(path, 0, size, data)) {
        // Empty to start with: a failed LoadStringA need not write a terminator.
        char prefix[kVersionStringSize] = "";
        LoadStringA(g_instance, IDS_VERSION_PREFIX, prefix, sizeof prefix);
        for (int i = 0; i < IDS_VERSION_KEY_COUNT; ++i) {
            char key[kVersionStringSize] = "";
            LoadStringA(g_instance, IDS_VERSION_KEY_FIRST + i, key, sizeof key);
            char query[sizeof prefix + sizeof key];
            lstrcpynA(query, prefix, sizeof query);
            lstrcpynA(query + lstrlenA(query), key, sizeof query - lstrlenA(query));
            // A missing key or a failed look-up leaves value unset: the field stays empty.
            char* value = nullptr;
            UINT length = 0;
            if (VerQueryValueA(data, query, reinterpret_cast<void**>(&value), &length) && value != nullptr)
                SetDlgItemTextA(dialog, IDC_ABOUT_TITLE + i, value);
        }
    }
    GlobalFree(data);
}

BOOL OnInitDialog(HWND dialog)
{
    char path[MAX_PATH];
    if (GetModuleFileNameA(g_instance, path, sizeof path) == 0)
        path[0] = '\0';
    MakeTitleFont(dialog);
    ShowVersionValues(dialog, path);
    SetDlgItemTextA(dialog, IDC_ABOUT_PATH, path);
    SetDlgItemTextA(dialog, IDC_ABOUT_MAIL, kMakerMail);
    SetDlgItemTextA(dialog, IDC_ABOUT_HOMEPAGE, kMakerHomePage);
    return FALSE;  // the dialog manager leaves the focus alone
}

// Opens the module's folder in Explorer with the module file selected.
void ShowModuleInExplorer(HWND dialog)
{
    char argument[sizeof kSelectArgument - 1 + MAX_PATH];
    lstrcpynA(argument, kSelectArgument, sizeof argument);
    size_t prefixLength = sizeof kSelectArgument - 1;
    if (GetModuleFileNameA(g_instance, argument + prefixLength, MAX_PATH) == 0)
        return;
    ShellExecuteA(dialog, nullptr, kExplorer, argument, nullptr, SW_SHOWNORMAL);
}
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDCANCEL:
            EndDialog(dialog, 1);
            break;
        case IDC_ABOUT_BROWSE:
            ShowModuleInExplorer(dialog);
            break;
        }
        return FALSE;
    case WM_DESTROY:
        DeleteObject(g_titleFont);
        g_titleFont = nullptr;
        return TRUE;
    }
    return FALSE;
}

void ShowAboutBox(HWND owner)
{
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}
