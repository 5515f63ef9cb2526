#include "decimal_text.h"

size_t FormatDecimal(int32_t value, char* out, size_t outSize)
{
    char digits[kDecimalTextSize];
    size_t count = 0;
    // Work on the magnitude as unsigned so that INT32_MIN needs no special case.
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    if (value < 0)
        digits[count++] = '-';

    size_t length = 0;
    while (count > 0 && length + 1 < outSize)
        out[length++] = digits[--count];
    out[length] = '\0';
    return length;
}

int32_t ParseDecimal(std::string_view text, int32_t fallback)
{
    if (text.empty())
        return fallback;
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        ++at;
    uint32_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        magnitude = magnitude * 10u + static_cast<uint32_t>(text[at] - '0');
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}
