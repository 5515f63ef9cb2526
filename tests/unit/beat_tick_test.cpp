// The beat-tick code that crosses the export boundary, and the decimal text
// in which the hand-over values are stored.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "host/beat_tick.h"
#include "settings/decimal_text.h"

TEST(BeatTick, DecodesAsUnsigned)
{
    struct {
        uint32_t code, beat, tick;
    } rows[] = {
        {1000, 1, 0},
        {3005, 3, 5},
        {999, 0, 999},
        {0, 0, 0},
        {static_cast<uint32_t>(-1), 4294967, 295},           // code -1 from the host
        {static_cast<uint32_t>(INT32_MIN), 2147483, 648},
    };
    for (const auto& row : rows) {
        BeatTick decoded = DecodeBeatTick(row.code);
        EXPECT_EQ(decoded.beat, row.beat) << row.code;
        EXPECT_EQ(decoded.tick, row.tick) << row.code;
    }
}

TEST(BeatTick, EncodesWithThirtyTwoBitWrapAndNoTickReduction)
{
    EXPECT_EQ(EncodeBeatTick(1, 0), 1000);
    EXPECT_EQ(EncodeBeatTick(3, 5), 3005);
    EXPECT_EQ(EncodeBeatTick(2, 1500), 3500);  // tick not reduced first
    EXPECT_EQ(EncodeBeatTick(2147483, 647), INT32_MAX);
    EXPECT_EQ(EncodeBeatTick(2147483, 648), INT32_MIN);
    EXPECT_EQ(EncodeBeatTick(2147484, 0), static_cast<int32_t>(2147484000u));
    EXPECT_EQ(EncodeBeatTick(2147484, 0), -2147483296);
    // (2^31 - 1) * 1000 is -1000 modulo 2^32; adding 2^31 - 1 gives 2^31 - 1001.
    EXPECT_EQ(EncodeBeatTick(INT32_MAX, INT32_MAX), 2147482647);
    EXPECT_EQ(EncodeBeatTick(-1, 0), -1000);
    // What decoding splits, encoding joins again.
    for (uint32_t code : {0u, 1000u, 123456u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        BeatTick decoded = DecodeBeatTick(code);
        EXPECT_EQ(static_cast<uint32_t>(EncodeBeatTick(static_cast<int32_t>(decoded.beat),
                                                       static_cast<int32_t>(decoded.tick))),
                  code);
    }
}

TEST(DecimalText, SignedValuesWithoutLeadingZeros)
{
    struct {
        int32_t value;
        const char* text;
    } rows[] = {
        {0, "0"}, {7, "7"}, {-7, "-7"}, {10, "10"}, {-100, "-100"},
        {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"},
    };
    for (const auto& row : rows) {
        char text[kDecimalTextSize];
        size_t length = FormatDecimal(row.value, text, sizeof text);
        EXPECT_STREQ(text, row.text);
        EXPECT_EQ(length, std::string(row.text).size());
        EXPECT_EQ(ParseDecimal(text, 99), row.value);
    }
}

// A value held in place of the settings file reads as the file's would.
TEST(DecimalText, ParsedAsTheProfileIntegerReadDoes)
{
    const std::pair<const char*, int32_t> rows[] = {{"03", 3}, {" 7", 7}, {"+4", 4}, {"12ab", 12}, {"abc", 0},
                                                    {"-", 0},  {"", 99},  {"4294967297", 1}};  // "": the default
    for (const auto& [text, value] : rows)
        EXPECT_EQ(ParseDecimal(text, 99), value) << '"' << text << '"';
}

TEST(DecimalText, SmallBufferIsCutWithoutOverrun)
{
    const std::string full = "-2147483648";
    for (size_t outSize = 1; outSize <= kDecimalTextSize + 1; ++outSize) {
        std::vector<char> buffer(outSize + 4, '#');
        size_t length = FormatDecimal(INT32_MIN, buffer.data(), outSize);
        std::string expected = full.substr(0, outSize - 1);
        EXPECT_EQ(length, expected.size());
        EXPECT_EQ(std::string(buffer.data()), expected);
        for (size_t i = outSize; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], '#') << "byte " << i << " written with outSize " << outSize;
    }
}
