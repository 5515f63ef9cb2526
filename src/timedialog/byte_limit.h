// The comment box and the time box keep to the bytes of the ANSI code page
// that their item keeps, as ANSI edit boxes do. The dialog's boxes are
// Unicode and would count characters: 259 Japanese characters are 518
// bytes under 932, so the box would show text that the item then dropped.
#pragma once
#include <windows.h>

#include <cstddef>

#include "../res/resource.h"

// Each kept byte is at most one UTF-16 unit, plus the terminator.
constexpr size_t kLimitedTextSize = COMMENT_TYPING_LIMIT + 1;

struct ByteLimitedBox {
    HWND edit;
    size_t maxBytes;
    // The box's text after its last accepted edit.
    wchar_t shown[kLimitedTextSize];
};

extern ByteLimitedBox g_commentLimit;
extern ByteLimitedBox g_timeBoxLimit;

// Puts edit under a byte limit of maxBytes (at most COMMENT_TYPING_LIMIT).
void StartByteLimit(ByteLimitedBox& box, HWND edit, size_t maxBytes);
// The module set the box's text itself (no change notification comes).
void NoteShownText(ByteLimitedBox& box);
// At each change notification: what the last edit added is cut to the room
// left, between whole characters and never inside a line break, and shown
// as the code page keeps it. A cut beeps, as a full edit box does.
void KeepWithinByteLimit(ByteLimitedBox& box);
