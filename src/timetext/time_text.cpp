#include "time_text.h"

#include <algorithm>
#include <cstring>

#include "../settings/decimal_text.h"

namespace {
constexpr char kSeparator = ':';
constexpr size_t kBeatDigits = 2;
constexpr size_t kTickDigits = 3;

// Appends value to out at length, zero-padded to minDigits; stays within outSize.
size_t AppendPadded(int32_t value, size_t minDigits, char* out, size_t outSize, size_t length)
{
    char digits[kDecimalTextSize];
    size_t count = FormatDecimal(value, digits, sizeof digits);
    for (size_t pad = count; pad < minDigits && length + 1 < outSize; ++pad)
        out[length++] = '0';
    for (size_t i = 0; i < count && length + 1 < outSize; ++i)
        out[length++] = digits[i];
    out[length] = '\0';
    return length;
}

size_t AppendSeparator(char* out, size_t outSize, size_t length)
{
    if (length + 1 < outSize)
        out[length++] = kSeparator;
    out[length] = '\0';
    return length;
}
}

size_t FormatTimeText(int32_t measure, int32_t beat, int32_t tick, char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    // Padding counts characters of the decimal text, sign included: -5 stays -5.
    size_t length = AppendPadded(measure, 0, out, outSize, 0);
    length = AppendSeparator(out, outSize, length);
    length = AppendPadded(beat, kBeatDigits, out, outSize, length);
    length = AppendSeparator(out, outSize, length);
    return AppendPadded(tick, kTickDigits, out, outSize, length);
}

TimeFields SplitTimeText(std::string_view text)
{
    text = std::string_view(text.data(), std::min(text.size(), kTimeTextMax));
    TimeFields result{};
    size_t start = 0;
    // The text is walked as if one ":" closed it, so the last field counts too.
    for (size_t j = 0; j <= text.size() && result.count < kTimeFieldCount; ++j) {
        if (j < text.size() && text[j] != kSeparator)
            continue;
        std::string_view field(text.data() + start, j - start);
        if (field.size() > kTimeFieldMax) {
            result.tooLong = true;
            break;
        }
        result.field[result.count++] = field;
        start = j + 1;
    }
    return result;
}
