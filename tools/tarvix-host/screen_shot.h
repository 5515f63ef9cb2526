// Pictures of what the screen shows, saved as 24-bit BMP files.
#pragma once
#include <windows.h>

// The area rect (screen coordinates).
bool SaveScreenArea(const RECT& rect, const char* path);
// The whole window, frame included.
bool SaveWindowPicture(HWND window, const char* path);
