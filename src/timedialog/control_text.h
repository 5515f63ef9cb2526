// Texts the time dialog reads back from its controls. The controls hold
// them as UTF-16; they are read exactly, whatever their length, and
// converted to the ANSI code page in which items keep them. A text longer
// than the caller's buffer is cut between two characters, never inside one
// nor inside a line break.
#pragma once
#include <windows.h>

#include <cstddef>

#include "../res/resource.h"

// Texts the dialog keeps are read without an allocation.
constexpr size_t kLocalTextUnits = 2 * (COMMENT_TYPING_LIMIT + 1);

// Reads a text of length UTF-16 units through fetch(buffer, size) and hands
// it to use(text, length), writable; false, without calling use, when no
// memory could be had for it.
template <typename Fetch, typename Use>
bool WithText(LRESULT length, Fetch fetch, Use use)
{
    if (length < 0)
        return false;
    const size_t size = static_cast<size_t>(length) + 1;
    wchar_t local[kLocalTextUnits];
    wchar_t* text = size <= kLocalTextUnits ? local : static_cast<wchar_t*>(GlobalAlloc(GPTR, size * sizeof(wchar_t)));
    if (text == nullptr)
        return false;
    text[0] = L'\0';
    fetch(text, size);
    text[size - 1] = L'\0';
    use(text, static_cast<size_t>(lstrlenW(text)));
    if (text != local)
        GlobalFree(text);
    return true;
}

// The whole text of a window, as WithText hands it over.
template <typename Use>
bool WithWindowText(HWND window, Use use)
{
    return WithText(
        GetWindowTextLengthW(window),
        [window](wchar_t* buffer, size_t size) { GetWindowTextW(window, buffer, static_cast<int>(size)); }, use);
}

// The text of a window (an edit box, the time box), cut to outSize - 1
// bytes. False, with out left as it was, when the text could not be read.
bool FetchControlText(HWND control, char* out, size_t outSize);
// The time box's text as a confirmed time text: full-width digits, colon
// and minus are read as ASCII before the text leaves UTF-16.
bool FetchConfirmedTimeText(HWND timeBox, char* out, size_t outSize);
// The text of item index of a combo box's list, cut to outSize - 1 bytes;
// empty when it could not be read.
size_t FetchTimeItemText(HWND timeBox, int index, char* out, size_t outSize);
