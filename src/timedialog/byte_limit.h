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
// cut beeps, as a full edit box does. An input method's characters are taken
// one by one, at once, as typed ones.
//
// Text that enters by a way past these messages (another program's
// WM_SETTEXT; under Wine, Shift+Insert and an input method's composition,
// which its edit box inserts itself) is cut once the edit box has finished
// with it: only what came in, from its end back, between whole characters;
// only there the box's undo may be lost.
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
    // Where the edit box's own handling of the message in progress inserts
    // (the selection's start as it came): the user's text before it stays.
    size_t insertedFrom;
};

extern ByteLimitedBox g_commentLimit;
extern ByteLimitedBox g_timeBoxLimit;

// Puts edit under a limit of maxBytes, until the edit box is destroyed.
void StartByteLimit(ByteLimitedBox& box, HWND edit, size_t maxBytes, bool timeText);
// Cuts what entered a box past its limit, with a beep: characters of the
// inserted text just before the caret, until the box fits. For EN_CHANGE and
// CBN_EDITCHANGE, once the edit box has finished with the change (Windows
// documents EN_UPDATE only as the moment to resize the control).
void CutToByteLimit(ByteLimitedBox& box);
