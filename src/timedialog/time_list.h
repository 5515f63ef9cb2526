// The time list: saved time texts in the time box's drop-down list, each
// with a comment block of its own (item data, freed through WM_DELETEITEM).
#pragma once
#include <windows.h>

// Fills the time box from ItemTime/ItemComment.
void LoadTimeList(HWND timeBox);
// Rewrites ItemTime/ItemComment from the time box, in list order; false
// when the settings file did not take it all.
bool SaveTimeList(HWND timeBox);
// WM_COMMAND from the time box, the comment box, Add, Delete and Delete all.
void OnTimeListCommand(HWND dialog, int control, int notification);
// The comment of item index, or null when there is no such item.
const char* TimeItemComment(HWND timeBox, int index);
// WM_DELETEITEM: frees the removed item's comment block. TRUE for the time box.
BOOL OnTimeListDeleteItem(WPARAM control, const DELETEITEMSTRUCT* item);
