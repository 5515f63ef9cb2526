// Shift-JIS (code page 932) byte classes, for cutting and scanning texts
// without breaking a double-byte character.
#pragma once
#include <cstddef>
#include <string_view>

constexpr bool IsSjisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The longest prefix of text that has at most maxBytes bytes and does not end
// in the middle of a double-byte character.
constexpr size_t SjisPrefixLength(std::string_view text, size_t maxBytes)
{
    size_t i = 0;
    while (i < text.size()) {
        size_t width = IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (i + width > maxBytes)
            break;
        i += width;
    }
    return i;
}
