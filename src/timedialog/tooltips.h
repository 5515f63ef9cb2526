// Tooltips of the time dialog's buttons and comment box.
#pragma once
#include <windows.h>

// Creates the module-wide tooltip window, owned by dialog, and registers the
// dialog's tips.
void CreateTimeDialogTooltips(HWND dialog);
// Destroys the tooltip window unless it went with its owner already.
void DestroyTimeDialogTooltips();
