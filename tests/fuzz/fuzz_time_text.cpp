// Time texts: splitting any text into stored fields, and building the
// opening text from any measure, beat and tick.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "timetext/time_text.h"

namespace {
// Three signed 32-bit values and two separators.
constexpr size_t kLongestText = 3 * 11 + 2;
// The dialog opens with a beat and tick decoded from the host's code: beat
// below 4294968, tick below 1000. Its text then has at most 23 characters.
constexpr int32_t kLargestDecodedBeat = 4294967;
constexpr int32_t kLargestDecodedTick = 999;
constexpr size_t kLongestOpeningText = 23;

// Reference split: cut, break at every ":", keep the first three pieces
// until one is too long.
void CheckSplit(std::string_view text)
{
    TimeFields fields = SplitTimeText(text);
    std::string_view cut = text.substr(0, std::min(text.size(), kTimeTextMax));

    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (size_t j = 0; j <= cut.size(); ++j) {
        if (j == cut.size() || cut[j] == ':') {
            pieces.push_back(cut.substr(start, j - start));
            start = j + 1;
        }
    }
    size_t expectedCount = 0;
    bool expectedTooLong = false;
    for (size_t k = 0; k < pieces.size() && k < kTimeFieldCount; ++k) {
        if (pieces[k].size() > kTimeFieldMax) {
            expectedTooLong = true;
            break;
        }
        ++expectedCount;
    }

    FUZZ_CHECK(fields.count <= kTimeFieldCount);
    FUZZ_CHECK(fields.count == expectedCount);
    FUZZ_CHECK(fields.tooLong == expectedTooLong);
    std::string joined;
    for (size_t k = 0; k < fields.count; ++k) {
        std::string_view field = fields.field[k];
        FUZZ_CHECK(field.size() <= kTimeFieldMax);
        FUZZ_CHECK(field.find(':') == std::string_view::npos);
        // A view into the part of the text that is read, at the reference's place.
        FUZZ_CHECK(field.data() >= cut.data() && field.data() + field.size() <= cut.data() + cut.size());
        FUZZ_CHECK(field == pieces[k]);
        if (k > 0)
            joined += ':';
        joined += field;
    }
    FUZZ_CHECK(cut.substr(0, joined.size()) == joined);
    if (!fields.tooLong && fields.count < kTimeFieldCount)
        FUZZ_CHECK(joined == cut);  // the text ran out: all of it was stored
}

std::string Padded(int32_t value, size_t minDigits)
{
    std::string text = std::to_string(value);
    if (text.size() < minDigits)
        text.insert(0, minDigits - text.size(), '0');
    return text;
}

void CheckFormat(int32_t measure, int32_t beat, int32_t tick)
{
    const std::string expected = std::to_string(measure) + ":" + Padded(beat, 2) + ":" + Padded(tick, 3);
    FUZZ_CHECK(expected.size() <= kLongestText);
    if (beat >= 0 && beat <= kLargestDecodedBeat && tick >= 0 && tick <= kLargestDecodedTick)
        FUZZ_CHECK(expected.size() <= kLongestOpeningText);

    // Every buffer size up to the full one: a cut prefix, never an overrun.
    for (size_t outSize = 1; outSize <= kLongestText + 1; ++outSize) {
        auto buffer = ExactBuffer(outSize);
        size_t length = FormatTimeText(measure, beat, tick, buffer.get(), outSize);
        FUZZ_CHECK(length == std::min(expected.size(), outSize - 1));
        FUZZ_CHECK(buffer[length] == '\0');
        FUZZ_CHECK(expected.compare(0, length, buffer.get(), length) == 0);
    }

    // The text splits into its three fields again when they are short enough.
    TimeFields fields = SplitTimeText(expected);
    const std::string parts[] = {std::to_string(measure), Padded(beat, 2), Padded(tick, 3)};
    size_t firstLong = 0;
    while (firstLong < kTimeFieldCount && parts[firstLong].size() <= kTimeFieldMax)
        ++firstLong;
    FUZZ_CHECK(fields.count == firstLong);
    FUZZ_CHECK(fields.tooLong == (firstLong < kTimeFieldCount));
    for (size_t k = 0; k < fields.count; ++k)
        FUZZ_CHECK(fields.field[k] == parts[k]);
    if (fields.count == kTimeFieldCount) {
        FUZZ_CHECK(std::strtol(std::string(fields.field[0]).c_str(), nullptr, 10) == measure);
        FUZZ_CHECK(std::strtol(std::string(fields.field[1]).c_str(), nullptr, 10) == beat);
        // A one- or two-character negative tick is padded in front of its
        // sign ("-5" becomes "0-5"): it does not read back.
        if (tick >= 0 || tick <= -10)
            FUZZ_CHECK(std::strtol(std::string(fields.field[2]).c_str(), nullptr, 10) == tick);
    }
}

int32_t Int32At(const uint8_t* data)
{
    uint32_t bits = 0;
    for (size_t i = 0; i < 4; ++i)
        bits |= static_cast<uint32_t>(data[i]) << (8 * i);
    return static_cast<int32_t>(bits);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Only the first kTimeTextMax bytes exist in memory; the view claims all
    // of them, so the sanitizer reports any read past the part that is used.
    const size_t readable = std::min(size, kTimeTextMax);
    auto text = ExactBuffer(readable);
    std::memcpy(text.get(), data, readable);
    CheckSplit(std::string_view(text.get(), size));
    if (size >= 12)
        CheckFormat(Int32At(data), Int32At(data + 4), Int32At(data + 8));
    return 0;
}
