// A Western Windows' message box: its standard buttons take the language of
// its own user interface (English), not the one the box asks for, and are
// as wide as those English texts need.
#pragma once
#include <windows.h>

// Points module's MessageBoxIndirectW at one that shows English buttons;
// false when the module does not import it.
bool ShowMessageBoxesAsWesternWindows(HMODULE module);
// The language the module asked its last box for.
DWORD LastAskedMessageBoxLanguage();
