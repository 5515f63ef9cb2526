// What one edit of a box did to its text: the box reports only its text
// before and after, and where the caret ended up (behind what was typed or
// pasted). Surrogate pairs of UTF-16 text are never split.
#pragma once
#include <algorithm>
#include <cstddef>
#include <string_view>

struct TextEdit {
    size_t front;  // characters kept unchanged at the start
    size_t back;   // characters kept unchanged at the end
};

// The edit that turned before into after, whose inserted text
// (after[front, after.size() - back)) ends at caret. Char is a UTF-16 unit
// (wchar_t on Windows, char16_t elsewhere).
template <typename Char>
constexpr TextEdit FindTextEdit(std::basic_string_view<Char> before, std::basic_string_view<Char> after, size_t caret)
{
    auto isHighSurrogate = [](Char c) { return c >= 0xD800 && c <= 0xDBFF; };
    auto isLowSurrogate = [](Char c) { return c >= 0xDC00 && c <= 0xDFFF; };
    caret = std::min(caret, after.size());
    size_t back = 0;
    const size_t maxBack = std::min(before.size(), after.size() - caret);
    while (back < maxBack && before[before.size() - 1 - back] == after[after.size() - 1 - back])
        ++back;
    size_t front = 0;
    const size_t maxFront = std::min(before.size() - back, caret);
    while (front < maxFront && before[front] == after[front])
        ++front;
    if (front > 0 && isHighSurrogate(after[front - 1]))
        --front;
    if (back > 0 && isLowSurrogate(after[after.size() - back]))
        --back;
    return {front, back};
}
