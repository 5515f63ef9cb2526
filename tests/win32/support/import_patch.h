// Counting a module's calls to the platform: the module's import address
// table entry for a function is pointed at a replacement in the test.
#pragma once
#include <windows.h>

// Replaces module's import of dll!function; returns the original address,
// or null when the module does not import it. The patch lasts until the
// module is unloaded or patched back with the original.
void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);
