// Each saved position's comment as the description of its item in the time
// box's list, for screen readers: one property server on the list window
// answers for every item, reading it on the dialog's thread.
#pragma once
#include <windows.h>

// Registers the server on the time box's list while the dialog is open.
void StartItemDescriptions(HWND dialog);
// Clears the registration; before the annotation object is released.
void EndItemDescriptions();
// Item index's comment changed: readers are told, if they were given it.
void NotifyItemDescriptionChanged(int index);
// WM_TIME_DESCRIBE_ITEM, sent by the server from whichever thread asked.
BOOL ReplyItemDescription(HWND dialog, LPARAM request);
