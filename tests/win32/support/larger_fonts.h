// Larger fonts (144 DPI: Windows' 150 %, or large fonts with a host that sees
// the real DPI). A program reads the DPI as it starts, so a test runs itself
// again in a child process, as a DPI-aware host: Windows, and Wine from 10
// on, show a program that declares no awareness 96 DPI whatever the setting.
#pragma once
#include <windows.h>

constexpr DWORD kLargerFontsDpi = 144;

// True in the child run (which has then declared itself DPI-aware).
bool InLargerFontsRun();
// Runs the current test again at kLargerFontsDpi; returns the child's exit
// status (0 when every check there passed).
DWORD RunCurrentTestAtLargerFonts();
// The screen's DPI as this process sees it.
int ScreenDpi();
