// Comments on one settings-file line: line breaks and TABs are escaped as
// "\n" and "\t" when stored, and turned back when read, without breaking
// characters of the ANSI code page (Shift-JIS pairs, UTF-8 sequences).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/comment_escape.h"

namespace {
constexpr char kSentinel = '#';
constexpr size_t kSentinelBytes = 8;

// Escapes into a buffer of the size the time list uses, followed by
// sentinel bytes that must stay untouched.
std::string Escape(const std::string& comment)
{
    std::vector<char> buffer(kEscapedCommentSize + kSentinelBytes, kSentinel);
    size_t length = EscapeComment(comment, buffer.data(), kEscapedCommentSize);
    EXPECT_EQ(buffer[length], '\0');
    for (size_t i = kEscapedCommentSize; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], kSentinel) << "escaped buffer overrun at byte " << i;
    return std::string(buffer.data(), length);
}

// Unescapes into a buffer of outSize bytes (followed by sentinels), cut to maxLength.
std::string Unescape(const std::string& stored, size_t outSize = kCommentMax + 1, size_t maxLength = kCommentMax,
                     const CodePage& page = ShiftJisCodePage())
{
    std::vector<char> buffer(outSize + kSentinelBytes, kSentinel);
    size_t length = UnescapeComment(stored, buffer.data(), outSize, maxLength, page);
    EXPECT_LT(length, outSize);
    EXPECT_EQ(buffer[length], '\0');
    for (size_t i = outSize; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], kSentinel) << "comment buffer overrun at byte " << i;
    return std::string(buffer.data(), length);
}

std::string Repeat(const std::string& piece, size_t count)
{
    std::string result;
    for (size_t i = 0; i < count; ++i)
        result += piece;
    return result;
}

// "ソ" in code page 932: its trail byte is 0x5C, the backslash.
const std::string kSo = "\x83\x5C";
}

TEST(CommentEscape, StoredFormOfTypicalComments)
{
    struct {
        std::string comment;
        std::string stored;
    } rows[] = {
        {"a\r\nb\tc", "a\\nb\\tc"},
        {"end\t", "end\t"},                 // the last character is never examined
        {"\t", "\t"},
        {"\t\t", "\\t\t"},
        {"a\r\n", "a\\n"},                  // the LF is last, but the CR before it is examined
        {"\r\n", "\\n"},
        {"a\rb\nc", "a\\nb\\nc"},           // lone CR and lone LF are line breaks too
        {"\n\r", "\\n\\n"},
        {"\r\r\n", "\\n\\n"},
        {"abc\n[ItemTime]\n7=x", "abc\\n[ItemTime]\\n7=x"},  // pasted text cannot add lines to the file
        {"end\r", "end\\n"},                 // a last lone CR or LF too
        {"C:\\new", "C:\\new"},             // backslashes are not escaped
        {"\\", "\\"},
        {"", ""},
        {"\x82\xA0\t\x82\xA2", "\x82\xA0\\t\x82\xA2"},  // Japanese text around a TAB
    };
    for (const auto& row : rows)
        EXPECT_EQ(Escape(row.comment), row.stored) << testing::PrintToString(row.comment);
}

TEST(CommentEscape, StoredFormReadsBack)
{
    struct {
        std::string stored;
        std::string comment;
    } rows[] = {
        {"a\\nb\\tc", "a\r\nb\tc"},
        {"end\t", "end\t"},
        {"C:\\new", "C:\r\new"},            // a typed "\n" comes back as a line break
        {"C:\\temp", "C:\temp"},            // and a typed "\t" as a TAB
        {"a\\b\\", "a\\b\\"},               // other backslashes stay, a final one too
        {"\\\\n", "\\\r\n"},
        {"\\", "\\"},
        {"a\rb\nc", "a\rb\nc"},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Unescape(row.stored), row.comment) << testing::PrintToString(row.stored);
}

TEST(CommentEscape, RoundTripKeepsCommentsWithoutBackslashes)
{
    const std::string comments[] = {
        "a\r\nb\tc",
        "line one\r\nline two\r\n\r\nafter a blank line\t",
        "\t\t\t",
        "\r\n\r\n",
        "\x83\x5Cnata\tend",                              // "ソnata": trail byte 0x5C before n
        "\x83\x5Ct",                                       // trail byte 0x5C before t
        "\x95\x5C\r\n\x83\x5C\x83\x74\x83\x67",           // "表" CR LF "ソフト"
        std::string(258, 'x') + "\t",
    };
    for (const auto& comment : comments)
        EXPECT_EQ(Unescape(Escape(comment)), comment) << testing::PrintToString(comment);
}

TEST(CommentEscape, TrailByteBackslashIsNotAnEscape)
{
    EXPECT_EQ(Unescape("\x83\x5C\x6E\x61\x74\x61"), "\x83\x5C\x6E\x61\x74\x61");  // "ソnata"
    EXPECT_EQ(Unescape(kSo + "t"), kSo + "t");
    EXPECT_EQ(Unescape(kSo + "\\t"), kSo + "\t");  // a real escape right after the character
    EXPECT_EQ(Unescape("a" + kSo + "n" + kSo + "\\n"), "a" + kSo + "n" + kSo + "\r\n");
    // A lead byte at the very end has no partner and is kept as it is.
    EXPECT_EQ(Unescape("ab\x83"), "ab\x83");
}

TEST(CommentEscape, LongestCommentFitsTheEscapedBuffer)
{
    // 259 TABs: 258 become "\t" pairs, the last one stays raw.
    std::string tabs(kCommentMax, '\t');
    std::string stored = Escape(tabs);
    EXPECT_EQ(stored.size(), 517u);
    EXPECT_EQ(stored, Repeat("\\t", 258) + "\t");
    EXPECT_EQ(Unescape(stored), tabs);

    // Only the first 259 bytes of a longer comment are escaped.
    EXPECT_EQ(Escape(std::string(300, '\t')), stored);
}

TEST(CommentEscape, CommentsWhoseStoredFormIsLongerThanTheCommentBufferReadBack)
{
    // The stored form is up to twice as long as the comment buffer; all of
    // it is unescaped before the result is cut.
    std::string comment = Repeat("ab\t", 86);  // 258 bytes, stored as 343
    std::string stored = Escape(comment);
    ASSERT_GT(stored.size(), kCommentMax);
    EXPECT_EQ(Unescape(stored), comment);
}

TEST(CommentEscape, LongResultIsCutWithoutSplittingDoubleByteCharacters)
{
    std::string ascii258(258, 'a');
    EXPECT_EQ(Unescape(ascii258 + kSo), ascii258);  // the character would end at byte 260
    EXPECT_EQ(Unescape(ascii258 + "b" + kSo), ascii258 + "b");
    std::string ascii257(257, 'a');
    EXPECT_EQ(Unescape(ascii257 + kSo + "z"), ascii257 + kSo);

    // 130 double-byte characters are 260 bytes: 129 of them fit.
    EXPECT_EQ(Unescape(Repeat(kSo, 130)), Repeat(kSo, 129));

    // Cut after unescaping: "\t" pairs shrink the text below the limit.
    EXPECT_EQ(Unescape(Repeat("\\t", 300)), std::string(kCommentMax, '\t'));
    // A line break that does not fit whole is dropped whole: no lone CR.
    EXPECT_EQ(Unescape(ascii258 + "\\n"), ascii258);
    EXPECT_EQ(Unescape(ascii258.substr(1) + "\\n"), ascii258.substr(1) + "\r\n");
}

TEST(CommentEscape, UnescapeCutsToSmallBuffersAndLimits)
{
    const std::string stored = "ab\\tc" + kSo + "\\nd";  // unescapes to a b TAB c ソ CR LF d
    const std::string full = "ab\tc" + kSo + "\r\nd";
    ASSERT_EQ(Unescape(stored), full);
    struct {
        size_t outSize, maxLength;
        std::string expected;
    } rows[] = {
        {1, kCommentMax, ""},
        {2, kCommentMax, "a"},
        {4, kCommentMax, "ab\t"},
        {5, kCommentMax, "ab\tc"},
        {6, kCommentMax, "ab\tc"},          // "ソ" would need bytes 4 and 5
        {7, kCommentMax, "ab\tc" + kSo},
        {8, kCommentMax, "ab\tc" + kSo},     // never half a line break
        {9, kCommentMax, "ab\tc" + kSo + "\r\n"},
        {100, 5, "ab\tc"},
        {100, 6, "ab\tc" + kSo},
        {100, 0, ""},
        {6, 100, "ab\tc"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Unescape(stored, row.outSize, row.maxLength), row.expected)
            << "outSize " << row.outSize << " maxLength " << row.maxLength;
}

TEST(CommentEscape, EscapeStaysInsideSmallBuffers)
{
    const std::string comment = "a\tb\r\nc\t\td";
    for (size_t outSize = 1; outSize <= 16; ++outSize) {
        std::vector<char> buffer(outSize + kSentinelBytes, kSentinel);
        size_t length = EscapeComment(comment, buffer.data(), outSize);
        EXPECT_LT(length, outSize);
        EXPECT_EQ(buffer[length], '\0');
        for (size_t i = outSize; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], kSentinel) << "byte " << i << " written with outSize " << outSize;
    }
}

// The same stored text under each kind of ANSI code page.
TEST(CommentEscape, UnescapeFollowsTheCodePageInUse)
{
    const std::string a = "\xE3\x81\x82", i = "\xE3\x81\x84", u = "\xE3\x81\x86";  // UTF-8 "あ", "い", "う"
    // Under UTF-8 no byte is a lead byte: 0x82 before the escape is no Shift-JIS lead byte here.
    EXPECT_EQ(Unescape(a + "\\n" + i + u, kCommentMax + 1, kCommentMax, Utf8CodePage()), a + "\r\n" + i + u);
    EXPECT_EQ(Unescape("\xE9\\t", kCommentMax + 1, kCommentMax, SingleByteCodePage()), "\xE9\t");  // 1252 "é" TAB
    // Shift-JIS pairs its trail byte 0x5C with the lead byte instead.
    EXPECT_EQ(Unescape(kSo + "nata"), kSo + "nata");

    // 100 UTF-8 characters of 3 bytes: 86 of them fit 259 bytes.
    EXPECT_EQ(Unescape(Repeat(a, 100), kCommentMax + 1, kCommentMax, Utf8CodePage()), Repeat(a, 86));
    EXPECT_EQ(Unescape("a" + Repeat(a, 100), kCommentMax + 1, kCommentMax, Utf8CodePage()), "a" + Repeat(a, 86));
    EXPECT_EQ(Unescape(std::string(259, 'x'), kCommentMax + 1, kCommentMax, SingleByteCodePage()), std::string(259, 'x'));
}
