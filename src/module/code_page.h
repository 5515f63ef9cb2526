// How the ANSI code page in use groups bytes into characters. Comments and
// time texts are kept as bytes of that code page (as the settings file holds
// them); escapes, cuts and the settings-path scan must never split one of
// its characters, and must never take part of one for a "\".
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

struct CodePage {
    // First bytes of double-byte characters (code pages 932, 936, 949, 950):
    // such a byte and the byte after it are one character.
    std::array<bool, 256> leadBytes{};
    // UTF-8 (65001): a lead byte and the continuation bytes 0x80-0xBF after
    // it, as many as the lead byte announces, are one character.
    bool utf8 = false;
};

// Single-byte code pages such as 1252: every byte is a character.
constexpr CodePage SingleByteCodePage() { return {}; }

constexpr CodePage Utf8CodePage()
{
    CodePage page;
    page.utf8 = true;
    return page;
}

// A double-byte code page from its lead-byte ranges as the platform reports
// them: pairs of first and last byte, ended by a zero pair or the array's end.
template <size_t N>
constexpr CodePage DoubleByteCodePage(const std::array<uint8_t, N>& ranges)
{
    CodePage page;
    for (size_t i = 0; i + 1 < N && ranges[i] != 0; i += 2)
        for (unsigned byte = ranges[i]; byte <= ranges[i + 1]; ++byte)
            page.leadBytes[byte] = true;
    return page;
}

// Shift-JIS, the code page of a Japanese Windows (932).
constexpr CodePage ShiftJisCodePage()
{
    return DoubleByteCodePage(std::array<uint8_t, 4>{0x81, 0x9F, 0xE0, 0xFC});
}

// Is byte the first byte of a double-byte character? Never under UTF-8 or a
// single-byte code page: there a byte 0x5C is always "\".
constexpr bool IsLeadByte(const CodePage& page, unsigned char byte)
{
    return page.leadBytes[byte];
}

// Bytes that a character starting with byte takes.
constexpr size_t AnnouncedWidth(const CodePage& page, unsigned char byte)
{
    if (page.utf8)
        return byte >= 0xC2 && byte <= 0xDF ? 2 : byte >= 0xE0 && byte <= 0xEF ? 3 : byte >= 0xF0 && byte <= 0xF4 ? 4 : 1;
    return IsLeadByte(page, byte) ? 2 : 1;
}

// Bytes of the character that starts at text[at] (at < text.size()); a
// lead byte whose character is cut off by the end of text counts alone.
constexpr size_t CharacterWidth(const CodePage& page, std::string_view text, size_t at)
{
    const size_t expected = AnnouncedWidth(page, static_cast<unsigned char>(text[at]));
    size_t width = 1;
    while (width < expected && at + width < text.size()) {
        const auto next = static_cast<unsigned char>(text[at + width]);
        if (page.utf8 && (next < 0x80 || next > 0xBF))
            break;
        ++width;
    }
    return width;
}

// The length of the longest prefix of text that has at most maxBytes bytes
// and ends between two characters.
constexpr size_t WholeCharacterPrefix(const CodePage& page, std::string_view text, size_t maxBytes)
{
    size_t end = 0;
    while (end < text.size()) {
        size_t next = end + CharacterWidth(page, text, end);
        if (next > maxBytes)
            break;
        end = next;
    }
    return end;
}

// text without a last character that its end cuts off (a lead byte alone,
// a UTF-8 sequence short of its continuation bytes): what a read cut by
// bytes leaves whole.
constexpr size_t CompleteCharacterPrefix(const CodePage& page, std::string_view text)
{
    size_t end = 0;
    while (end < text.size()) {
        const size_t width = CharacterWidth(page, text, end);
        if (end + width == text.size() && width < AnnouncedWidth(page, static_cast<unsigned char>(text[end])))
            break;
        end += width;
    }
    return end;
}

// Like WholeCharacterPrefix, and a line break (CR LF) is kept or dropped
// whole: a cut text never ends in the CR of a line break.
constexpr size_t WholeTextPrefix(const CodePage& page, std::string_view text, size_t maxBytes)
{
    size_t end = WholeCharacterPrefix(page, text, maxBytes);
    if (end > 0 && end < text.size() && text[end - 1] == '\r' && text[end] == '\n')
        --end;
    return end;
}
