#include "control_text.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "../module/ansi_code_page.h"
#include "../module/inserted_text.h"
#include "../timetext/time_text.h"

namespace {
// The most any caller keeps: a comment and its terminator.
constexpr size_t kMaxKeptSize = COMMENT_TYPING_LIMIT + 1;
// Each UTF-16 unit takes at least half a byte in any ANSI code page (a
// surrogate pair may become one "?"), so twice as many units as bytes kept
// hold every character that can be kept and the one after it; each takes
// at most three bytes (UTF-8).
constexpr size_t kConvertedUnits = 2 * kMaxKeptSize;
constexpr size_t kConvertedBytes = 3 * kConvertedUnits;

// text as the ANSI code page keeps it, cut to outSize - 1 bytes.
size_t CopyAsAnsi(std::wstring_view text, char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    const size_t maxBytes = std::min(outSize, kMaxKeptSize) - 1;
    size_t units = std::min(text.size(), 2 * (maxBytes + 1));
    if (units > 0 && units < text.size() && IsHighSurrogate(text[units - 1]))
        --units;
    char bytes[kConvertedBytes];
    const int converted = units == 0 ? 0
                                     : WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(units), bytes,
                                                           sizeof bytes, nullptr, nullptr);
    const std::string_view ansi(bytes, converted > 0 ? static_cast<size_t>(converted) : 0);
    const size_t cut = WholeTextPrefix(AnsiCodePage(), ansi, maxBytes);
    std::memcpy(out, bytes, cut);
    out[cut] = '\0';
    return cut;
}
}

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
