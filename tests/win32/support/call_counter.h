// Counts what the loaded module holds of memory blocks, fonts and device
// contexts, by routing its imports of GlobalAlloc/GlobalFree,
// CreateFontIndirectW/DeleteObject and GetDC/ReleaseDC through recorders.
// One module at a time.
#pragma once
#include <windows.h>

#include <cstddef>

struct HeldCounts {
    size_t blocksAllocated;
    size_t blocksHeld;      // allocated by the module and not yet freed
    size_t fontsCreated;
    size_t fontsHeld;       // created by the module and not yet deleted
    size_t foreignFrees;    // frees of blocks the module did not allocate
    size_t dcsHeld;         // got by the module (GetDC) and not yet released
};

// Starts recording the module's calls; counts start at zero.
void StartCountingCalls(HMODULE module);
HeldCounts CurrentCounts();
