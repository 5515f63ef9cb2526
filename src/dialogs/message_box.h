// ShowMessage: every notice and question, centred on its owner, with a
// caption chosen by the icon when none is given. The texts are the module's
// own, shown as Unicode whatever the ANSI code page.
#pragma once
#include <windows.h>

int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);
