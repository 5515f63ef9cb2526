#include "control_text.h"

#include <algorithm>

#include "../module/ansi_code_page.h"
#include "../timetext/time_text.h"

bool FetchControlText(HWND control, char* out, size_t outSize)
{
    return WithWindowText(control, [&](wchar_t* text, size_t length) { CopyAsAnsi({text, length}, out, outSize); });
}

bool FetchConfirmedTimeText(HWND timeBox, char* out, size_t outSize)
{
    return WithWindowText(timeBox, [&](wchar_t* text, size_t length) {
        std::transform(text, text + length, text, FoldFullWidth<wchar_t>);
        CopyAsAnsi({text, length}, out, outSize);
    });
}

size_t FetchTimeItemText(HWND timeBox, int index, char* out, size_t outSize)
{
    // CB_GETLBTEXT takes no size: the buffer holds the length the list reports.
    size_t cut = 0;
    const bool read = WithText(
        SendMessageW(timeBox, CB_GETLBTEXTLEN, index, 0),
        [timeBox, index](wchar_t* buffer, size_t) {
            SendMessageW(timeBox, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
        },
        [&](wchar_t* text, size_t length) { cut = CopyAsAnsi({text, length}, out, outSize); });
    if (!read && outSize > 0)
        out[0] = '\0';
    return cut;
}
