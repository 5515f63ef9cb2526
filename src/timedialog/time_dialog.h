// The time dialog (template IDD_TIME), in which the user picks a position.
#pragma once
#include <windows.h>

INT_PTR CALLBACK TimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
