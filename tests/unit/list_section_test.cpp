// The time list's sections as one read lists them: every item exactly as
// reading its key gives it, and every value stored so that the read gives
// it back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/list_section.h"

namespace {
using namespace std::string_literals;

struct Indexed {
    bool present, hasValue;
    std::string value;
    bool operator==(const Indexed&) const = default;
};

std::vector<Indexed> Index(const std::string& section, size_t count, bool ignoreLast = false)
{
    std::vector<ListEntry> entries(count, ListEntry{true, true, "stale"});
    IndexListSection(section, entries.data(), count, ignoreLast);
    std::vector<Indexed> out;
    for (const ListEntry& e : entries)
        out.push_back({e.present, e.hasValue, std::string(e.value)});
    return out;
}

std::string Read(const std::string& stored, size_t size, const CodePage& page = ShiftJisCodePage())
{
    std::vector<char> out(size + 4, '#');
    const size_t length = ReadListValue(stored, out.data(), size, page);
    EXPECT_LT(length, size);
    EXPECT_EQ(out[length], '\0');
    EXPECT_EQ(std::string(out.data() + size, 4), "####") << "read past its buffer";
    return std::string(out.data(), length);
}

std::string Store(const std::string& value, size_t size = 522)
{
    std::vector<char> out(size);
    return std::string(out.data(), StoreListValue(value, out.data(), size));
}
}

TEST(ListSection, EachIndexTakesTheFirstEntryOfItsKey)
{
    const Indexed none{false, false, ""};
    const struct {
        std::string section;
        std::vector<Indexed> expected;
        bool ignoreLast;
    } rows[] = {
        {"0=a\0" "1=b\0"s, {{true, true, "a"}, {true, true, "b"}, none}, false},
        {"0=first\0" "0=second\0"s, {{true, true, "first"}, none, none}, false},
        {"0\0" "0=later\0"s, {{true, false, ""}, none, none}, false},                // no "=": the read's default
        {" 1 = \"x\" \0" "2=a=b\0"s, {none, {true, true, "\"x\""}, {true, true, "a=b"}}, false},
        {"01=no\0" "-0=no\0" ";0=no\0" "3=past\0" "99999999999999999999=no\0"s, {none, none, none}, false},
        {"0=a\0" "1=cut\0"s, {{true, true, "a"}, none, none}, true},                 // a read that may be cut
        {"0=\0" "1=\t\0"s, {{true, true, ""}, {true, true, ""}, none}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Index(row.section, 3, row.ignoreLast), row.expected) << testing::PrintToString(row.section);
    EXPECT_EQ(CountSectionEntries("a\0b=1\0\0c=2"s), 2u) << "the text ends at its empty entry";
}

TEST(ListSection, ReadStripsOnePairOfQuotesAndCutsWholeCharacters)
{
    const std::string so = "\x83\x5C";  // Shift-JIS; its trail byte is "\"
    const struct {
        std::string stored;
        size_t size;
        std::string read;
    } rows[] = {
        {"\" サビ \"", 60, " サビ "},
        {"'intro'", 60, "intro"},
        {"\"\"\"\"", 60, "\"\""},
        {"\"", 60, "\""},
        {"\"mixed'", 60, "\"mixed'"},
        {"\"\"", 60, ""},
        {std::string(58, 'a') + so, 60, std::string(58, 'a')},  // the pair does not fit 59 bytes
        {"\"" + std::string(59, 'b') + "\"", 60, std::string(59, 'b')},
        {std::string(600, 'c'), 520, std::string(519, 'c')},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Read(row.stored, row.size), row.read) << row.stored;
    EXPECT_EQ(Read("\xE3\x81\x82\xE3\x81\x82", 6, Utf8CodePage()), "\xE3\x81\x82");
}

TEST(ListSection, StoredValueReadsBackAsItWas)
{
    const std::string values[] = {"", "plain", " サビ ", "\ttab", "end\t", "\"intro\"", "'q", "a\"b", "\x1A", "\"",
                                  " " + std::string(257 * 2, 't') + "\\n"};
    for (const std::string& value : values) {
        const std::string stored = Store(value);
        ASSERT_FALSE(stored.empty() && !value.empty()) << value;
        if (!stored.empty()) {
            EXPECT_FALSE(IsProfileBlank(stored.front()) || IsProfileBlank(stored.back())) << "the read trims " << value;
        }
        EXPECT_EQ(Read(stored, 520), value);
    }
    EXPECT_EQ(Store("plain"), "plain") << "values that need no quotes are stored as before";
    EXPECT_EQ(Store(" " + std::string(516, 'x')).size(), 519u) << "the longest quoted comment fits 520 bytes";
    EXPECT_EQ(Store(" ab", 5), "") << "a value that does not fit is refused whole";
}

TEST(ListSection, SectionTextIsCutAtWholeEntries)
{
    char text[16];
    size_t used = AppendSectionEntry(text, sizeof text, 0, "0", "ab");
    used = AppendSectionEntry(text, sizeof text, used, "1", "cde");
    EXPECT_EQ(std::string(text, used + 1), "0=ab\0" "1=cde\0\0"s);
    EXPECT_EQ(AppendSectionEntry(text, sizeof text, used, "2", "fgh"), used) << "no room for it and the final NUL";
    const std::string section(text, used);
    const size_t rows[][2] = {{12, 11}, {11, 5}, {6, 5}, {5, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(SectionPrefixThatFits(section, row[0]), row[1]) << row[0];
    EXPECT_EQ(CompleteCharacterPrefix(ShiftJisCodePage(), "a\x83"), 1u);
    EXPECT_EQ(CompleteCharacterPrefix(Utf8CodePage(), "a\xE3\x81"), 1u);
    EXPECT_EQ(CompleteCharacterPrefix(Utf8CodePage(), "a\xE3\x81\x82"), 4u);
}
