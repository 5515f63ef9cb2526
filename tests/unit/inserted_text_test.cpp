// What typing and pasting insert into a box: whole characters only, cut to
// the bytes left, with surrogate pairs typed in two pieces joined and a
// character given by its code point split into them.
#include <gtest/gtest.h>

#include <string>

#include "module/inserted_text.h"

namespace {
// Bytes of a character in UTF-8 (CR LF two, a lone surrogate three).
size_t Utf8Bytes(std::u16string_view c)
{
    return c == u"\r\n" ? 2 : c.size() == 2 ? 4 : c[0] < 0x80 ? 1 : c[0] < 0x800 ? 2 : 3;
}
}

TEST(InsertedText, FittingPrefixKeepsPairsAndLineBreaksWhole)
{
    const std::u16string text = u"a\U00020BB7\r\nあb";  // 1, 4, 2, 3 and 1 bytes
    const size_t kept[] = {0, 1, 1, 1, 1, 3, 3, 5, 5, 5, 6, 7};  // units, for each room
    for (size_t room = 0; room < std::size(kept); ++room)
        EXPECT_EQ(FittingPrefix(std::u16string_view(text), room, Utf8Bytes), kept[room]) << "room " << room;
    EXPECT_EQ(FittingPrefix(std::u16string_view(u"\r"), 1, Utf8Bytes), 1u) << "a lone CR";
}

TEST(InsertedText, UnitsTypedInTwoPiecesAreJoined)
{
    const char16_t high = 0xD842, low = 0xDFB7;
    // The pair whole; a high surrogate no low one follows is dropped; a lone low one passes.
    const char16_t typed[] = {u'a', high, low, high, u'b', low, high, high, low};
    const std::u16string inserted[] = {u"a", u"", u"\U00020BB7", u"", u"b", u"\xDFB7", u"", u"", u"\U00020BB7"};
    char16_t pending = 0;
    for (size_t i = 0; i < std::size(typed); ++i) {
        const TypedCharacter<char16_t> c = JoinTypedUnit(pending, typed[i]);
        EXPECT_EQ(std::u16string(c.units, c.length), inserted[i]) << "unit " << i;
    }
    EXPECT_EQ(pending, 0);
    // A character given by its code point comes as the units it is typed as.
    const uint32_t points[] = {u'a', 0xFFFD, 0x10000, 0x20BB7, 0x10FFFF, 0x110000};
    const std::u16string units[] = {u"a", u"\uFFFD", u"\U00010000", u"\U00020BB7", u"\U0010FFFF", u""};
    for (size_t i = 0; i < std::size(points); ++i) {
        const TypedCharacter<char16_t> c = CodePointUnits<char16_t>(points[i]);
        EXPECT_EQ(std::u16string(c.units, c.length), units[i]) << "code point " << std::hex << points[i];
    }
}
