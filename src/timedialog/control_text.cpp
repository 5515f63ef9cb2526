#include "control_text.h"

#include <cstring>
#include <string_view>

#include "../module/ansi_code_page.h"
#include "../res/resource.h"

namespace {
// Texts that fit here (every text the dialog keeps) are read without an allocation.
constexpr size_t kLocalTextSize = 2 * (COMMENT_TYPING_LIMIT + 1);

// Fetches a text of length bytes (as the control reports it) through
// fetch(buffer, size) and copies its longest whole-character prefix that
// fits into out. Returns false, leaving out as it was, on failure.
template <typename Fetch>
bool FetchCut(LRESULT length, Fetch fetch, char* out, size_t outSize, size_t& cut)
{
    if (outSize == 0 || length < 0)
        return false;
    const size_t size = static_cast<size_t>(length) + 1;
    char local[kLocalTextSize];
    char* whole = size <= sizeof local ? local : static_cast<char*>(GlobalAlloc(GPTR, size));
    if (whole == nullptr)
        return false;
    whole[0] = '\0';
    fetch(whole, size);
    whole[size - 1] = '\0';
    const std::string_view text(whole, std::strlen(whole));
    cut = WholeTextPrefix(AnsiCodePage(), text, outSize - 1);
    std::memcpy(out, whole, cut);
    out[cut] = '\0';
    if (whole != local)
        GlobalFree(whole);
    return true;
}
}

bool FetchControlText(HWND control, char* out, size_t outSize)
{
    size_t cut = 0;
    return FetchCut(
        GetWindowTextLengthA(control),
        [control](char* buffer, size_t size) { GetWindowTextA(control, buffer, static_cast<int>(size)); }, out,
        outSize, cut);
}

size_t FetchTimeItemText(HWND timeBox, int index, char* out, size_t outSize)
{
    // CB_GETLBTEXT takes no size: the buffer holds the length the list reports.
    size_t cut = 0;
    const bool read = FetchCut(
        SendMessageA(timeBox, CB_GETLBTEXTLEN, index, 0),
        [timeBox, index](char* buffer, size_t) {
            SendMessageA(timeBox, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
        },
        out, outSize, cut);
    if (!read && outSize > 0)
        out[0] = '\0';
    return read ? cut : 0;
}
