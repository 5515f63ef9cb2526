// Time texts: measure, beat and tick as decimal fields joined by ":".
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// Buffer for a time text: the most the dialog reads (59 bytes) and a terminator.
constexpr size_t kTimeTextSize = 60;
constexpr size_t kTimeTextMax = kTimeTextSize - 1;
// A stored field is at most this long; a longer one voids the whole text.
constexpr size_t kTimeFieldMax = 5;
constexpr size_t kTimeFieldCount = 3;

// Builds the text shown when the dialog opens: beat at least two digits,
// tick at least three ("12:03:005"). Returns the length written: at most
// 23 bytes for a beat and tick decoded from a beat-tick code, 35 for any
// values; the text is cut to outSize - 1.
size_t FormatTimeText(int32_t measure, int32_t beat, int32_t tick, char* out, size_t outSize);

// The fields of a confirmed time text, in the order they are stored
// (measure, beat, tick). Fields may be empty and need not be digits.
struct TimeFields {
    std::array<std::string_view, kTimeFieldCount> field;
    size_t count;  // fields found before the text ran out or a field was too long
    bool tooLong;  // a field had more than kTimeFieldMax bytes: the text counts as the song start
};

// Splits text (only its first kTimeTextMax bytes) at ":"; text after the
// third ":" is ignored. The views point into text.
TimeFields SplitTimeText(std::string_view text);

// A Japanese input method types full-width digits, colon and minus
// (U+FF10-FF19, U+FF1A, U+FF0D): a time text reads them as their ASCII forms,
// so that "１２：０３：００５" means 12:03:005. Char is a UTF-16 unit.
template <typename Char>
constexpr Char FoldFullWidth(Char c)
{
    // The full-width forms U+FF01-FF5E lie this far above ASCII 0x21-0x7E.
    constexpr unsigned kFullWidthOffset = 0xFEE0;
    const bool timeCharacter = (c >= 0xFF10 && c <= 0xFF1A) || c == 0xFF0D;
    return timeCharacter ? static_cast<Char>(c - kFullWidthOffset) : c;
}
