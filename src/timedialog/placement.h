// The time dialog's place on the screen, kept in MainWindow/DlgInfo.
#pragma once
#include <windows.h>

// Reads the placement record; when its flag is set, checks the save-position
// entry and moves the dialog to the saved place if that place is on a monitor.
void RestoreTimeDialogPlacement(HWND dialog);
// Whether the save-position entry of the dialog's system menu is checked.
bool IsSavePositionChecked(HWND dialog);
// Writes the dialog's present place and the save-position entry's check;
// false when the settings file did not take them.
bool SaveTimeDialogPlacement(HWND dialog);
