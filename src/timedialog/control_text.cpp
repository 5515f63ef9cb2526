#include "control_text.h"

#include <cstring>
#include <string_view>

#include "../module/ansi_code_page.h"

namespace {
// Fetches a text of length bytes (as the control reports it) through
// fetch(buffer, size) and copies its longest whole-character prefix that
// fits into out.
template <typename Fetch>
size_t FetchCut(LRESULT length, Fetch fetch, char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    out[0] = '\0';
    if (length < 0)
        return 0;
    const size_t size = static_cast<size_t>(length) + 1;
    char* whole = size <= outSize ? out : static_cast<char*>(GlobalAlloc(GPTR, size));
    if (whole == nullptr)
        return 0;
    whole[0] = '\0';
    fetch(whole, size);
    whole[size - 1] = '\0';
    const std::string_view text(whole, std::strlen(whole));
    const size_t cut = WholeCharacterPrefix(AnsiCodePage(), text, outSize - 1);
    if (whole != out) {
        std::memcpy(out, whole, cut);
        GlobalFree(whole);
    }
    out[cut] = '\0';
    return cut;
}
}

size_t FetchControlText(HWND control, char* out, size_t outSize)
{
    return FetchCut(
        GetWindowTextLengthA(control),
        [control](char* buffer, size_t size) { GetWindowTextA(control, buffer, static_cast<int>(size)); }, out,
        outSize);
}

size_t FetchTimeItemText(HWND timeBox, int index, char* out, size_t outSize)
{
    // CB_GETLBTEXT takes no size: the buffer holds the length the list reports.
    return FetchCut(
        SendMessageA(timeBox, CB_GETLBTEXTLEN, index, 0),
        [timeBox, index](char* buffer, size_t) {
            SendMessageA(timeBox, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
        },
        out, outSize);
}
