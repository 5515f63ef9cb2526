// What typing and pasting insert into a box, taken one whole character at a
// time: in UTF-16 text a surrogate pair is one character, and so is the
// CR LF of a line break, so that a cut never splits either.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

template <typename Char>
constexpr bool IsHighSurrogate(Char c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

template <typename Char>
constexpr bool IsLowSurrogate(Char c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Units of the character, or line break, that starts at text[at].
template <typename Char>
constexpr size_t CharacterUnits(std::basic_string_view<Char> text, size_t at)
{
    const bool pair = at + 1 < text.size() && ((IsHighSurrogate(text[at]) && IsLowSurrogate(text[at + 1])) ||
                                               (text[at] == '\r' && text[at + 1] == '\n'));
    return pair ? 2 : 1;
}

// The units of the longest run of whole characters from the start of text
// whose bytes, as bytesOf(character) counts them, add up to at most room.
template <typename Char, typename BytesOf>
constexpr size_t FittingPrefix(std::basic_string_view<Char> text, size_t room, BytesOf bytesOf)
{
    size_t end = 0;
    while (end < text.size()) {
        const size_t units = CharacterUnits(text, end);
        const size_t bytes = bytesOf(std::basic_string_view<Char>(text.data() + end, units));
        if (bytes > room)
            break;
        room -= bytes;
        end += units;
    }
    return end;
}

// A character as typed: Windows hands a character outside the BMP (from an
// input method or the emoji panel) over as two WM_CHAR messages, high
// surrogate first.
template <typename Char>
struct TypedCharacter {
    Char units[2];
    size_t length;  // 0 while a high surrogate waits for its low one
};

// Joins typed units into whole characters; pendingHigh carries a high
// surrogate from one call to the next. A high surrogate that no low one
// follows is dropped; a lone low surrogate is passed on alone.
template <typename Char>
constexpr TypedCharacter<Char> JoinTypedUnit(Char& pendingHigh, Char unit)
{
    const Char high = pendingHigh;
    pendingHigh = 0;
    if (IsHighSurrogate(unit)) {
        pendingHigh = unit;
        return {{}, 0};
    }
    if (high != 0 && IsLowSurrogate(unit))
        return {{high, unit}, 2};
    return {{unit, 0}, 1};
}

// A character given by its code point (WM_UNICHAR), as the units it is typed
// as: one in the BMP, a surrogate pair beyond it, none past the last code
// point.
template <typename Char>
constexpr TypedCharacter<Char> CodePointUnits(uint32_t point)
{
    constexpr uint32_t kFirstBeyondBmp = 0x10000;
    constexpr uint32_t kLastCodePoint = 0x10FFFF;
    if (point > kLastCodePoint)
        return {{}, 0};
    if (point < kFirstBeyondBmp)
        return {{static_cast<Char>(point), 0}, 1};
    const uint32_t offset = point - kFirstBeyondBmp;
    return {{static_cast<Char>(0xD800 + (offset >> 10)), static_cast<Char>(0xDC00 + (offset & 0x3FF))}, 2};
}
