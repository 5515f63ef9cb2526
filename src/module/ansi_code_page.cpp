#include "ansi_code_page.h"

#include <windows.h>

#include <algorithm>

#include "inserted_text.h"

namespace {
// Bytes that text takes in the ANSI code page.
size_t AnsiBytes(std::wstring_view text)
{
    const int bytes = text.empty() ? 0
                                   : WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                         nullptr, 0, nullptr, nullptr);
    return bytes > 0 ? static_cast<size_t>(bytes) : 0;
}
}

CodePage AnsiCodePage()
{
    if (GetACP() == CP_UTF8)
        return Utf8CodePage();
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize < 2)
        return SingleByteCodePage();
    std::array<uint8_t, MAX_LEADBYTES> ranges{};
    std::copy(std::begin(info.LeadByte), std::end(info.LeadByte), ranges.begin());
    return DoubleByteCodePage(ranges);
}

size_t CopyAsAnsi(std::wstring_view text, char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    const size_t room = outSize - 1;
    // Each unit takes at least half a byte (a surrogate pair may become one
    // "?"): no unit past twice the room and one can be kept.
    if (text.size() > 2 * (room + 1)) {
        text = text.substr(0, 2 * (room + 1));
        if (IsHighSurrogate(text.back()))
            text.remove_suffix(1);
    }
    const size_t units = AnsiBytes(text) <= room ? text.size() : FittingPrefix(text, room, AnsiBytes);
    const int bytes = units == 0 ? 0
                                 : WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(units), out,
                                                       static_cast<int>(room), nullptr, nullptr);
    const size_t written = bytes > 0 ? static_cast<size_t>(bytes) : 0;
    out[written] = '\0';
    return written;
}
