#include "call_counter.h"

#include <gtest/gtest.h>

#include <set>

#include "import_patch.h"

namespace {
using GlobalAllocFn = HGLOBAL(WINAPI*)(UINT, SIZE_T);
using GlobalFreeFn = HGLOBAL(WINAPI*)(HGLOBAL);
using CreateFontFn = HFONT(WINAPI*)(const LOGFONTW*);
using DeleteObjectFn = BOOL(WINAPI*)(HGDIOBJ);

std::set<void*> g_blocks;
std::set<void*> g_fonts;
HeldCounts g_counts;

HGLOBAL WINAPI CountedGlobalAlloc(UINT flags, SIZE_T bytes)
{
    HGLOBAL block = GlobalAlloc(flags, bytes);
    if (block != nullptr) {
        g_blocks.insert(block);
        ++g_counts.blocksAllocated;
    }
    return block;
}

HGLOBAL WINAPI CountedGlobalFree(HGLOBAL block)
{
    if (g_blocks.erase(block) == 0 && block != nullptr)
        ++g_counts.foreignFrees;
    return GlobalFree(block);
}

HFONT WINAPI CountedCreateFontIndirectW(const LOGFONTW* font)
{
    HFONT handle = CreateFontIndirectW(font);
    if (handle != nullptr) {
        g_fonts.insert(handle);
        ++g_counts.fontsCreated;
    }
    return handle;
}

BOOL WINAPI CountedDeleteObject(HGDIOBJ object)
{
    g_fonts.erase(object);
    return DeleteObject(object);
}

// A window's device context may come back as the same handle while held
// twice: the calls are counted, not the handles.
HDC WINAPI CountedGetDC(HWND window)
{
    HDC dc = GetDC(window);
    g_counts.dcsHeld += dc != nullptr;
    return dc;
}

int WINAPI CountedReleaseDC(HWND window, HDC dc)
{
    const int released = ReleaseDC(window, dc);
    g_counts.dcsHeld -= released != 0;
    return released;
}
}

void StartCountingCalls(HMODULE module)
{
    g_blocks.clear();
    g_fonts.clear();
    g_counts = {};
    EXPECT_NE(PatchImport(module, "KERNEL32.dll", "GlobalAlloc", reinterpret_cast<void*>(CountedGlobalAlloc)), nullptr);
    EXPECT_NE(PatchImport(module, "KERNEL32.dll", "GlobalFree", reinterpret_cast<void*>(CountedGlobalFree)), nullptr);
    EXPECT_NE(PatchImport(module, "GDI32.dll", "CreateFontIndirectW",
                          reinterpret_cast<void*>(CountedCreateFontIndirectW)), nullptr);
    EXPECT_NE(PatchImport(module, "GDI32.dll", "DeleteObject", reinterpret_cast<void*>(CountedDeleteObject)), nullptr);
    EXPECT_NE(PatchImport(module, "USER32.dll", "GetDC", reinterpret_cast<void*>(CountedGetDC)), nullptr);
    EXPECT_NE(PatchImport(module, "USER32.dll", "ReleaseDC", reinterpret_cast<void*>(CountedReleaseDC)), nullptr);
}

HeldCounts CurrentCounts()
{
    HeldCounts counts = g_counts;
    counts.blocksHeld = g_blocks.size();
    counts.fontsHeld = g_fonts.size();
    return counts;
}
