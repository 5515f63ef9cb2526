// The about box (template IDD_ABOUT): version, path and contacts of the module.
#pragma once
#include <windows.h>

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the about box modally over owner.
void ShowAboutBox(HWND owner);
