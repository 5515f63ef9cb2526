// The comment box and the time box keep to the bytes of the ANSI code page
// that their item keeps, as ANSI edit boxes do. The dialog's boxes are
// Unicode and would count characters: 259 Japanese characters are 518
// bytes under 932, so the box would show text that the item then dropped.
//
// The limit acts before text enters a box: each typed character, paste and
// EM_REPLACESEL is cut to the room left in place of the selection, between
// whole characters and never inside a line break, and only what fits goes
// in, as an undoable edit. So Ctrl+Z after a cut paste gives back the text
// from before it, and nothing the box shows needs rewriting afterwards. A
// cut beeps, as a full edit box does.
#pragma once
#include <windows.h>

#include <cstddef>

struct ByteLimitedBox {
    HWND edit;
    WNDPROC original;  // the edit box's own window procedure
    size_t maxBytes;
    // The time box counts full-width digits as the ASCII ones a confirmed
    // time text reads them as, and keeps what was typed; the comment box
    // shows what its item keeps ("?" for a character the code page lacks).
    bool timeText;
    wchar_t pendingHigh;  // a typed high surrogate waiting for its low one
};

extern ByteLimitedBox g_commentLimit;
extern ByteLimitedBox g_timeBoxLimit;

// Puts edit under a limit of maxBytes, until the edit box is destroyed.
void StartByteLimit(ByteLimitedBox& box, HWND edit, size_t maxBytes, bool timeText);
