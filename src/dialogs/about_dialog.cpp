#include "about_dialog.h"

#include <shellapi.h>

#include "../module/module_state.h"
#include "../res/contact.h"
#include "../res/resource.h"
#include "annotation.h"

namespace {
// The title's cell height to the dialog font's character height: 15 pixels
// to the 12 of 9 points at 96 DPI.
constexpr int kTitleFontHeight = 15;
constexpr int kDialogFontHeight = 12;
// LoadStringW limit for the query prefix and each key, terminator included.
constexpr int kVersionStringSize = 30;
constexpr wchar_t kExplorerFile[] = L"\\explorer.exe";
constexpr wchar_t kSelectArgument[] = L"/e,/select,\"";
constexpr wchar_t kQuote[] = L"\"";
// What a screen reader says for the "..." button, whose text says nothing.
constexpr wchar_t kBrowseName[] = L"ファイルの場所を開く";

void MakeTitleFont(HWND dialog)
{
    HWND title = GetDlgItem(dialog, IDC_ABOUT_TITLE);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(title, WM_GETFONT, 0, 0)), sizeof font, &font);
    // The dialog's font follows the DPI the dialog is shown at, on each
    // monitor in a host that asks for it; the screen's LOGPIXELSY does not.
    font.lfHeight = MulDiv(kTitleFontHeight, font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, kDialogFontHeight);
    font.lfWeight = FW_BOLD;
    g_titleFont = CreateFontIndirectW(&font);
    SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(g_titleFont), FALSE);
}

// The module's full path; false when it cannot be had whole.
bool GetModulePath(wchar_t (&path)[MAX_PATH])
{
    DWORD length = GetModuleFileNameW(g_instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        path[0] = L'\0';
        return false;
    }
    return true;
}

// Fills the title, copyright and description fields from the module's own
// version resource, whose texts are Unicode. A value that is missing leaves
// its field empty.
void ShowVersionValues(HWND dialog, const wchar_t* path)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0)
        return;
    void* data = GlobalAlloc(GPTR, size);
    if (data == nullptr)
        return;
    if (GetFileVersionInfoW(path, 0, size, data)) {
        // Empty to start with: a failed LoadStringW need not write a terminator.
        wchar_t prefix[kVersionStringSize] = L"";
        LoadStringW(g_instance, IDS_VERSION_PREFIX, prefix, kVersionStringSize);
        for (int i = 0; i < IDS_VERSION_KEY_COUNT; ++i) {
            wchar_t key[kVersionStringSize] = L"";
            LoadStringW(g_instance, IDS_VERSION_KEY_FIRST + i, key, kVersionStringSize);
            wchar_t query[2 * kVersionStringSize];
            lstrcpynW(query, prefix, kVersionStringSize);
            lstrcpynW(query + lstrlenW(query), key, kVersionStringSize);
            // A missing key or a failed look-up leaves value unset: the field stays empty.
            wchar_t* value = nullptr;
            UINT length = 0;
            if (VerQueryValueW(data, query, reinterpret_cast<void**>(&value), &length) && value != nullptr)
                SetDlgItemTextW(dialog, IDC_ABOUT_TITLE + i, value);
        }
    }
    GlobalFree(data);
}

BOOL OnInitDialog(HWND dialog)
{
    wchar_t path[MAX_PATH];
    GetModulePath(path);
    MakeTitleFont(dialog);
    ShowVersionValues(dialog, path);
    SetDlgItemTextW(dialog, IDC_ABOUT_PATH, path);
    SetDlgItemTextA(dialog, IDC_ABOUT_MAIL, kMakerMail);
    SetDlgItemTextA(dialog, IDC_ABOUT_HOMEPAGE, kMakerHomePage);
    AnnotateName(GetDlgItem(dialog, IDC_ABOUT_BROWSE), kBrowseName);
    return FALSE;  // the dialog manager leaves the focus alone
}

// Appends text to out (holding length characters of size); false when it does not fit.
bool Append(wchar_t* out, size_t size, size_t& length, const wchar_t* text)
{
    size_t add = static_cast<size_t>(lstrlenW(text));
    if (length + add + 1 > size)
        return false;
    lstrcpynW(out + length, text, static_cast<int>(add + 1));
    length += add;
    return true;
}

// Opens the module's folder in Explorer with the module file selected.
// Explorer is named by its full path: a bare name would be looked up in the
// host's current folder first, where any program called Explorer could wait.
// The path is quoted, so that a comma in a folder name does not end it.
void ShowModuleInExplorer(HWND dialog)
{
    wchar_t explorer[MAX_PATH];
    // The system's own Windows folder: on a Remote Desktop server an old host
    // is given a private, per-user one, without Explorer in it.
    size_t explorerLength = GetSystemWindowsDirectoryW(explorer, MAX_PATH);
    if (explorerLength == 0 || explorerLength >= MAX_PATH)
        return;
    // The Windows folder ends in "\" only when it is a drive's root.
    if (explorer[explorerLength - 1] == L'\\')
        --explorerLength;
    if (!Append(explorer, MAX_PATH, explorerLength, kExplorerFile))
        return;

    wchar_t path[MAX_PATH];
    if (!GetModulePath(path))
        return;
    wchar_t argument[ARRAYSIZE(kSelectArgument) + MAX_PATH + ARRAYSIZE(kQuote)];
    size_t argumentLength = 0;
    if (Append(argument, ARRAYSIZE(argument), argumentLength, kSelectArgument) &&
        Append(argument, ARRAYSIZE(argument), argumentLength, path) &&
        Append(argument, ARRAYSIZE(argument), argumentLength, kQuote))
        ShellExecuteW(dialog, nullptr, explorer, argument, nullptr, SW_SHOWNORMAL);
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
        ClearAnnotatedName();
        DeleteObject(g_titleFont);
        g_titleFont = nullptr;
        return TRUE;
    }
    return FALSE;
}

void ShowAboutBox(HWND owner)
{
    // A Unicode dialog: its edit boxes then keep the path and the version texts
    // whole, whatever the ANSI code page.
    DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDialogProc, 0);
}
