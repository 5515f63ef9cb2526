#include "ansi_code_page.h"

#include <windows.h>

#include <algorithm>

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
