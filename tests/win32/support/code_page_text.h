// Texts across ANSI code pages: the module's own texts are read back as
// Unicode and compared with wide literals; comments, which the module keeps
// in the ANSI code page, are made from wide text for the code page in use.
#pragma once
#include <windows.h>

#include <string>

// The ANSI code page this run is registered for (TARVIX_EXPECTED_ACP), so
// that a test bed that ignored the locale or the manifest fails loudly.
// Fails the test when GetACP() differs from it.
void ExpectRegisteredCodePage();

// A window's text, read with the Unicode function.
std::wstring WideText(HWND window);
std::wstring WideItemText(HWND dialog, int control);
// The text of a menu entry, by command id.
std::wstring WideMenuText(HMENU menu, UINT command);

// Wide text in the ANSI code page, and back.
std::string Ansi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);
// Whether every character of text has a place in the ANSI code page.
bool FitsAnsiCodePage(const std::wstring& text);
// Puts text on the clipboard.
void SetClipboardText(const std::wstring& text);
// Shift+Insert as the keyboard sends it, to the focused window of the
// window in front.
void PressShiftInsert();
// Pastes text through the clipboard (WM_PASTE), over the edit box's whole
// text, or where its caret is when replace is false.
void PasteText(HWND edit, const std::wstring& text, bool replace = true);
// The longest run of whole characters from the start of text whose ANSI
// form has at most maxBytes bytes.
std::wstring AnsiPrefix(const std::wstring& text, size_t maxBytes);
