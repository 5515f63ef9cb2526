// The ANSI code pages every fuzz target tries, with a reference of how each
// groups bytes into characters, written apart from the module's own rules.
#pragma once
#include <array>
#include <string_view>

#include "module/code_page.h"

enum class CodePageKind { ShiftJis, Utf8, SingleByte };

struct FuzzCodePage {
    CodePageKind kind;
    CodePage page;
};

inline const std::array<FuzzCodePage, 3> kFuzzCodePages = {{
    {CodePageKind::ShiftJis, ShiftJisCodePage()},      // 932, Japanese Windows
    {CodePageKind::Utf8, Utf8CodePage()},              // 65001, the system's UTF-8 option
    {CodePageKind::SingleByte, SingleByteCodePage()},  // 1252, a Western Windows
}};

inline bool IsShiftJisLead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Bytes of the character starting at text[at]: a Shift-JIS lead byte takes
// the next byte along; a UTF-8 lead byte announces its length by its high
// bits and takes as many continuation bytes (10xxxxxx) as follow, up to it.
inline size_t ReferenceCharLength(CodePageKind kind, std::string_view text, size_t at)
{
    const auto byte = static_cast<unsigned char>(text[at]);
    const size_t left = text.size() - at;
    switch (kind) {
    case CodePageKind::ShiftJis:
        return IsShiftJisLead(byte) && left > 1 ? 2 : 1;
    case CodePageKind::Utf8: {
        size_t announced = (byte & 0xE0) == 0xC0 ? 2 : (byte & 0xF0) == 0xE0 ? 3 : (byte & 0xF8) == 0xF0 ? 4 : 1;
        if (byte == 0xC0 || byte == 0xC1 || byte > 0xF4)  // never start a valid sequence
            announced = 1;
        size_t length = 1;
        while (length < announced && length < left && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80)
            ++length;
        return length;
    }
    case CodePageKind::SingleByte:
        break;
    }
    return 1;
}
