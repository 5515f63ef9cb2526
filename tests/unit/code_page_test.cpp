// Characters of the ANSI code pages a Japanese user may run: Shift-JIS (932),
// UTF-8 (65001) and a Western single-byte one (1252). Cuts end between
// characters, never inside one.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "module/code_page.h"

namespace {
struct Case {
    const char* name;
    CodePage page;
    std::string text;
    // Longest whole-character prefix for each limit from 0 to text.size().
    std::vector<size_t> prefix;
};

// "aア" + "漢" + "b": Shift-JIS 61 B1 8A BF 62, UTF-8 61 EF BD B1 E6 BC A2 62.
const Case kCases[] = {
    {"ShiftJis", ShiftJisCodePage(), "a\xB1\x8A\xBF" "b", {0, 1, 2, 2, 4, 5}},
    {"Utf8", Utf8CodePage(), "a\xEF\xBD\xB1\xE6\xBC\xA2" "b", {0, 1, 1, 1, 4, 4, 4, 7, 8}},
    {"SingleByte", SingleByteCodePage(), "a\xB1\x8A\xBF" "b", {0, 1, 2, 3, 4, 5}},
    // Broken text: a lead byte at the end, and UTF-8 sequences cut short.
    {"ShiftJisLoneLead", ShiftJisCodePage(), "ab\x83", {0, 1, 2, 3}},
    {"Utf8CutShort", Utf8CodePage(), "\xE3\x81" "a\xC3", {0, 0, 2, 3, 4}},
    {"Utf8StrayContinuation", Utf8CodePage(), "\x81\x82" "a", {0, 1, 2, 3}},
    // "タ" (E3 82 BF) ends in the last continuation byte; C0 and C1 start no sequence.
    {"Utf8LastContinuationByte", Utf8CodePage(), "\xE3\x82\xBF" "a", {0, 0, 0, 3, 4}},
    {"Utf8NoLeadC0C1", Utf8CodePage(), "\xC0\x80\xC1\xBF", {0, 1, 2, 3, 4}},
};

class CodePageCut : public testing::TestWithParam<Case> {};
}

TEST_P(CodePageCut, PrefixEndsBetweenCharacters)
{
    const Case& c = GetParam();
    for (size_t limit = 0; limit <= c.text.size(); ++limit)
        EXPECT_EQ(WholeCharacterPrefix(c.page, c.text, limit), c.prefix[limit]) << "limit " << limit;
    EXPECT_EQ(WholeCharacterPrefix(c.page, c.text, 1000), c.text.size());
}

INSTANTIATE_TEST_SUITE_P(AnsiCodePages, CodePageCut, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// A cut text never ends in the CR of a line break, in any code page; a lone
// CR is a character like any other.
TEST(CodePage, CutKeepsLineBreaksWhole)
{
    EXPECT_EQ(WholeTextPrefix(SingleByteCodePage(), "ab\r\nc", 3), 2u);
    EXPECT_EQ(WholeTextPrefix(SingleByteCodePage(), "ab\r\nc", 4), 4u);
    EXPECT_EQ(WholeTextPrefix(SingleByteCodePage(), "ab\rc", 3), 3u);
    EXPECT_EQ(WholeTextPrefix(ShiftJisCodePage(), "\x83\x5C\r\n", 3), 2u);
    EXPECT_EQ(WholeTextPrefix(Utf8CodePage(), "\xE3\x81\x82\r\n\xE3\x81\x82", 4), 3u);
    EXPECT_EQ(WholeTextPrefix(Utf8CodePage(), "\xE3\x81\x82\r\n\xE3\x81\x82", 6), 5u);
}

TEST(CodePage, LeadBytesComeFromThePlatformsRanges)
{
    // Code page 936 reports one range, 0x81-0xFE; Shift-JIS two.
    const CodePage gbk = DoubleByteCodePage(std::array<uint8_t, 12>{0x81, 0xFE});
    EXPECT_FALSE(IsLeadByte(gbk, 0x80));
    EXPECT_TRUE(IsLeadByte(gbk, 0x81));
    EXPECT_TRUE(IsLeadByte(gbk, 0xFE));
    EXPECT_FALSE(IsLeadByte(gbk, 0xFF));
    const CodePage sjis = ShiftJisCodePage();
    EXPECT_TRUE(IsLeadByte(sjis, 0x9F));
    EXPECT_FALSE(IsLeadByte(sjis, 0xA0));
    EXPECT_FALSE(IsLeadByte(sjis, 0xDF));
    EXPECT_TRUE(IsLeadByte(sjis, 0xE0));
    EXPECT_TRUE(IsLeadByte(sjis, 0xFC));
    for (unsigned byte = 0; byte < 256; ++byte) {
        EXPECT_FALSE(IsLeadByte(Utf8CodePage(), static_cast<unsigned char>(byte)));
        EXPECT_FALSE(IsLeadByte(SingleByteCodePage(), static_cast<unsigned char>(byte)));
    }
}
