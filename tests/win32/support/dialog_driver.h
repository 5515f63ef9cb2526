// Working Tarvix's modal dialogs from a second thread while the test's main
// thread is inside the export call, as a user would.
//
// Rule: anything that opens a message box or the about box must be posted
// (PostCommand, PostSysCommand), never sent: a sent message returns only
// when the nested box has closed.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

constexpr char kTimeDialogCaption[] = "ジャンプ";
constexpr char kAboutCaption[] = "バージョン情報";
constexpr DWORD kWaitMs = 10000;

// A dialog-class window with this caption (test texts are code page 932,
// compared as Unicode so that any ANSI code page of the run finds it).
HWND FindDialog(const char* caption);
// The first visible dialog-class window with this caption, or null after timeoutMs.
HWND WaitForDialog(const char* caption, DWORD timeoutMs = kWaitMs);
// A visible dialog-class window owned by owner (a message box or the about box).
HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs = kWaitMs);
// Waits until window is gone.
bool WaitUntilGone(HWND window, DWORD timeoutMs = kWaitMs);

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int control);

// The combo box's edit field.
HWND TimeBoxEdit(HWND dialog);
// Types text into an edit control character by character (WM_CHAR), after
// selecting all of its text so that typing replaces it.
void TypeText(HWND edit, const std::string& text, bool replace = true);

void PostCommand(HWND dialog, int control, int notification = BN_CLICKED);
void PostSysCommand(HWND dialog, WPARAM command);
// Opens the about box from the time dialog's system menu; null when it did not show.
HWND OpenAboutBox(HWND dialog);

// What a message box showed, and how it was answered.
struct BoxSeen {
    bool shown = false;
    std::string caption;
    std::string text;
    std::wstring wideCaption;  // the same, read with the Unicode functions
    std::wstring wideText;
    RECT rect{};
    bool hasYesNo = false;
    std::string yesText;
    std::string noText;
    int defaultButton = 0;  // the id of the button with BS_DEFPUSHBUTTON
};

// Waits for a message box owned by owner, records it and presses button.
BoxSeen AnswerBox(HWND owner, int button);

// Runs Tarvix(code) on the calling thread while user(dialog) runs on a
// second thread with the time dialog once it is visible. If user returns
// with the dialog still open, it is cancelled. Returns Tarvix's result;
// dialogSeen tells whether the dialog ever appeared.
struct DialogRun {
    int result = -1;
    bool dialogSeen = false;
};
class ModuleCopy;
DialogRun RunTimeDialog(const ModuleCopy& module, int code, const std::function<void(HWND dialog)>& user);
