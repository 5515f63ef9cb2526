// ShowMessage: every notice and question, centred on its owner, with a
// caption chosen by the icon when none is given.
#pragma once
#include <windows.h>

int ShowMessage(HWND owner, const char* text, const char* caption, UINT style);
