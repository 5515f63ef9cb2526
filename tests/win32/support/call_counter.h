// Counts what the loaded module holds of memory blocks and fonts, by
// routing its imports of GlobalAlloc/GlobalFree and CreateFontIndirectA/
// DeleteObject through recorders. One module at a time.
#pragma once
#include <windows.h>

#include <cstddef>

struct HeldCounts {
    size_t blocksAllocated;
    size_t blocksHeld;      // allocated by the module and not yet freed
    size_t fontsCreated;
    size_t fontsHeld;       // created by the module and not yet deleted
    size_t foreignFrees;    // frees of blocks the module did not allocate
};

// Starts recording the module's calls; counts start at zero.
void StartCountingCalls(HMODULE module);
HeldCounts CurrentCounts();
