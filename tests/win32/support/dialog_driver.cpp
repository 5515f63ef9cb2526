#include "dialog_driver.h"

#include <gtest/gtest.h>

#include "code_page_text.h"
#include "module_copy.h"
#include "res/resource.h"

namespace {
constexpr DWORD kPollMs = 20;
constexpr int kMessageBoxTextId = 0xFFFF;

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<OwnedSearch*>(lParam);
    char className[16];
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && GetWindow(window, GW_OWNER) == search->owner &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ButtonSearch {
    HWND box;
    BoxSeen* seen;
};

BOOL CALLBACK NoteButton(HWND child, LPARAM lParam)
{
    auto* search = reinterpret_cast<ButtonSearch*>(lParam);
    char className[16];
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") != 0)
        return TRUE;
    int id = GetDlgCtrlID(child);
    if ((GetWindowLongA(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
        search->seen->defaultButton = id;
    if (id == IDYES)
        search->seen->yesText = WindowText(child);
    if (id == IDNO)
        search->seen->noText = WindowText(child);
    return TRUE;
}

struct RunContext {
    const std::function<void(HWND)>* user;
    bool seen;
};

BOOL CALLBACK CancelOwnDialog(HWND window, LPARAM)
{
    char className[16];
    GetClassNameA(window, className, sizeof className);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (lstrcmpA(className, "#32770") == 0 && process == GetCurrentProcessId() && IsWindowVisible(window))
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

DWORD WINAPI UserThread(LPVOID parameter)
{
    auto* context = static_cast<RunContext*>(parameter);
    HWND dialog = WaitForDialog(kTimeDialogCaption);
    if (dialog == nullptr) {
        // A dialog whose caption is not the time dialog's (garbled, say)
        // would keep the export waiting: cancel whatever the module shows.
        EnumWindows(CancelOwnDialog, 0);
        return 1;
    }
    context->seen = true;
    (*context->user)(dialog);
    if (IsWindow(dialog))
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return 0;
}
}

HWND FindDialog(const char* caption)
{
    constexpr UINT kTestTextCodePage = 932;  // the test sources' execution character set
    wchar_t wide[256] = L"";
    MultiByteToWideChar(kTestTextCodePage, 0, caption, -1, wide, ARRAYSIZE(wide));
    return FindWindowW(L"#32770", wide);
}

HWND WaitForDialog(const char* caption, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += kPollMs) {
        HWND dialog = FindDialog(caption);
        if (dialog != nullptr && IsWindowVisible(dialog))
            return dialog;
        Sleep(kPollMs);
    }
    return nullptr;
}

HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += kPollMs) {
        OwnedSearch search{owner, nullptr};
        EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        Sleep(kPollMs);
    }
    return nullptr;
}

bool WaitUntilGone(HWND window, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += kPollMs) {
        if (!IsWindow(window))
            return true;
        Sleep(kPollMs);
    }
    return false;
}

std::string WindowText(HWND window)
{
    char text[1024];
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

std::string ItemText(HWND dialog, int control)
{
    return WindowText(GetDlgItem(dialog, control));
}

HWND TimeBoxEdit(HWND dialog)
{
    return FindWindowExA(GetDlgItem(dialog, 102), nullptr, "Edit", nullptr);
}

void TypeText(HWND edit, const std::string& text, bool replace)
{
    if (replace) {
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, WM_CHAR, VK_BACK, 0);
    }
    for (unsigned char c : text)
        SendMessageA(edit, WM_CHAR, c, 0);
}

void PostCommand(HWND dialog, int control, int notification)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, notification),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
}

void PostSysCommand(HWND dialog, WPARAM command)
{
    PostMessageA(dialog, WM_SYSCOMMAND, command, 0);
}

HWND OpenAboutBox(HWND dialog)
{
    PostSysCommand(dialog, IDM_TIME_VERSION);
    return WaitForOwnedDialog(dialog);
}

BoxSeen AnswerBox(HWND owner, int button)
{
    BoxSeen seen;
    HWND box = WaitForOwnedDialog(owner);
    if (box == nullptr)
        return seen;
    seen.shown = true;
    seen.caption = WindowText(box);
    seen.text = ItemText(box, kMessageBoxTextId);
    seen.wideCaption = WideText(box);
    seen.wideText = WideItemText(box, kMessageBoxTextId);
    GetWindowRect(box, &seen.rect);
    ButtonSearch search{box, &seen};
    EnumChildWindows(box, NoteButton, reinterpret_cast<LPARAM>(&search));
    seen.hasYesNo = GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr;
    PostMessageA(box, WM_COMMAND, button, 0);
    WaitUntilGone(box);
    return seen;
}

DialogRun RunTimeDialog(const ModuleCopy& module, int code, const std::function<void(HWND dialog)>& user)
{
    RunContext context{&user, false};
    HANDLE thread = CreateThread(nullptr, 0, UserThread, &context, 0, nullptr);
    DialogRun run;
    run.result = module.Tarvix(code);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    run.dialogSeen = context.seen;
    return run;
}
