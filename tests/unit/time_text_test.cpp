// Time texts: the text shown when the dialog opens, and how a confirmed
// text splits into the measure, beat and tick fields that are stored.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "timetext/time_text.h"

namespace {
std::string Format(int32_t measure, int32_t beat, int32_t tick)
{
    char text[kTimeTextSize];
    size_t length = FormatTimeText(measure, beat, tick, text, sizeof text);
    EXPECT_EQ(length, std::strlen(text));
    return text;
}

std::vector<std::string> Fields(const TimeFields& fields)
{
    std::vector<std::string> result;
    for (size_t k = 0; k < fields.count; ++k)
        result.emplace_back(fields.field[k]);
    return result;
}
}

TEST(FormatTimeText, PadsBeatToTwoAndTickToThreeDigits)
{
    struct {
        int32_t measure, beat, tick;
        const char* expected;
    } rows[] = {
        {1, 1, 0, "1:01:000"},
        {12, 10, 480, "12:10:480"},
        {-2, 3, 7, "-2:03:007"},
        {5, 0, 0, "5:00:000"},
        {5, 100, 45, "5:100:045"},
        {0, 99, 999, "0:99:999"},
        {1, 1, 1000, "1:01:1000"},  // a tick of 1000 or more is shown as it is
        // Padding counts characters, the sign included: "-5" is already two.
        {1, -5, -5, "1:-5:0-5"},
        {1, -10, -10, "1:-10:-10"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Format(row.measure, row.beat, row.tick), row.expected)
            << row.measure << " " << row.beat << " " << row.tick;
}

TEST(FormatTimeText, LongestTextHasTwentyThreeCharacters)
{
    // Ten-digit measure with its sign, seven-digit beat: 11 + 1 + 7 + 1 + 3.
    std::string text = Format(INT32_MIN, 4294967, 295);
    EXPECT_EQ(text, "-2147483648:4294967:295");
    EXPECT_EQ(text.size(), 23u);
}

TEST(FormatTimeText, SmallBufferIsCutWithoutOverrun)
{
    const std::string full = "-2147483648:4294967:295";
    for (size_t outSize = 1; outSize <= full.size() + 2; ++outSize) {
        std::vector<char> buffer(outSize + 4, '#');
        size_t length = FormatTimeText(INT32_MIN, 4294967, 295, buffer.data(), outSize);
        std::string expected = full.substr(0, outSize - 1);
        EXPECT_EQ(length, expected.size()) << "outSize " << outSize;
        EXPECT_EQ(std::string(buffer.data()), expected) << "outSize " << outSize;
        for (size_t i = outSize; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], '#') << "byte " << i << " written with outSize " << outSize;
    }
}

TEST(SplitTimeText, StoresUpToThreeFieldsOfAtMostFiveCharacters)
{
    struct {
        const char* text;
        std::vector<std::string> fields;
        bool tooLong;
    } rows[] = {
        {"12:03:005", {"12", "03", "005"}, false},
        {"7", {"7"}, false},
        {"7:2", {"7", "2"}, false},
        {"5:2:10:99", {"5", "2", "10"}, false},       // text after the third ":" is ignored
        {"123456:1:0", {}, true},                     // measure too long: nothing stored
        {"5:1234567:0", {"5"}, true},                 // 5 stored first, then the long beat
        {":4:0", {"", "4", "0"}, false},
        {"::", {"", "", ""}, false},
        {":::::", {"", "", ""}, false},
        {":", {"", ""}, false},                       // the tick keeps its reset value
        {"", {""}, false},
        {"12345:12345:12345", {"12345", "12345", "12345"}, false},
        {"123456", {}, true},
        {"1:2:123456", {"1", "2"}, true},
        {"1:2:3:1234567890", {"1", "2", "3"}, false},  // a long fourth field does not matter
        {"ab:c d:?", {"ab", "c d", "?"}, false},       // fields are never checked for digits
    };
    for (const auto& row : rows) {
        TimeFields fields = SplitTimeText(row.text);
        EXPECT_EQ(Fields(fields), row.fields) << '"' << row.text << '"';
        EXPECT_EQ(fields.tooLong, row.tooLong) << '"' << row.text << '"';
    }
}

TEST(SplitTimeText, LongTextsCountUpToTheirThirdField)
{
    // A chosen list item can bring up to 59 bytes; only its first fields matter.
    std::string item = "3:2:1:" + std::string(200, '9');
    EXPECT_EQ(Fields(SplitTimeText(item)), (std::vector<std::string>{"3", "2", "1"}));
    EXPECT_FALSE(SplitTimeText(item).tooLong);

    std::string longTick = "3:2:" + std::string(200, '0');
    TimeFields fields = SplitTimeText(longTick);
    EXPECT_TRUE(fields.tooLong);
    EXPECT_EQ(Fields(fields), (std::vector<std::string>{"3", "2"}));
}

TEST(SplitTimeText, NeverReadsPastTheFiftyNinthByte)
{
    // The view claims more bytes than exist; the sanitizer build reports any
    // read of byte 59 or later.
    std::unique_ptr<char[]> bytes(new char[kTimeTextMax]);
    std::memset(bytes.get(), 'x', kTimeTextMax);
    std::memcpy(bytes.get(), "1:2:", 4);
    TimeFields fields = SplitTimeText(std::string_view(bytes.get(), kTimeTextMax + 100));
    EXPECT_TRUE(fields.tooLong);
    EXPECT_EQ(fields.count, 2u);
}

TEST(SplitTimeText, FieldOfFiveIsKeptAndSixIsTooLong)
{
    EXPECT_EQ(Fields(SplitTimeText("99999:1:0")), (std::vector<std::string>{"99999", "1", "0"}));
    EXPECT_FALSE(SplitTimeText("99999:1:0").tooLong);
    EXPECT_TRUE(SplitTimeText("999999:1:0").tooLong);
    EXPECT_EQ(SplitTimeText("999999:1:0").count, 0u);
    EXPECT_EQ(Fields(SplitTimeText("1:99999")), (std::vector<std::string>{"1", "99999"}));
    EXPECT_TRUE(SplitTimeText("1:999999").tooLong);
    EXPECT_EQ(SplitTimeText("1:1:000000").count, 2u);
    EXPECT_TRUE(SplitTimeText("1:1:000000").tooLong);
}

TEST(SplitTimeText, FieldsPointIntoTheText)
{
    std::string text = "12:03:005";
    TimeFields fields = SplitTimeText(text);
    ASSERT_EQ(fields.count, 3u);
    EXPECT_EQ(fields.field[0].data(), text.data());
    EXPECT_EQ(fields.field[1].data(), text.data() + 3);
    EXPECT_EQ(fields.field[2].data(), text.data() + 6);
}

// What a Japanese input method types reads as the ASCII time text; a
// full-width space, letters and other signs stay.
TEST(FoldFullWidth, DigitsColonAndMinusBecomeAscii)
{
    std::u16string typed = u"１２：０３：００５ －７　Ａ＋／；";
    for (char16_t& c : typed)
        c = FoldFullWidth(c);
    EXPECT_EQ(typed, u"12:03:005 -7　Ａ＋／；");
}
