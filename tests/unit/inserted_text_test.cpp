// What typing and pasting insert into a box: whole characters only, cut to
// the bytes left, with surrogate pairs typed in two pieces joined.
#include <gtest/gtest.h>

#include <string>

#include "module/inserted_text.h"

namespace {
// Bytes of a character in UTF-8; a lone surrogate counts three (U+FFFD).
size_t Utf8Bytes(std::u16string_view character)
{
    if (character == u"\r\n")
        return 2;
    const char16_t c = character[0];
    return character.size() == 2 ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
}
}

TEST(InsertedText, FittingPrefixKeepsPairsAndLineBreaksWhole)
{
    const std::u16string text = u"a\U00020BB7\r\nあb";  // a, 𠮷 (a surrogate pair), CR LF, あ, b
    // Units kept for each room: a (1 byte), 𠮷 (4), CR LF (2), あ (3), b (1).
    const size_t kept[] = {0, 1, 1, 1, 1, 3, 3, 5, 5, 5, 6, 7};
    for (size_t room = 0; room < std::size(kept); ++room)
        EXPECT_EQ(FittingPrefix(std::u16string_view(text), room, Utf8Bytes), kept[room]) << "room " << room;
    EXPECT_EQ(FittingPrefix(std::u16string_view(u"\r"), 1, Utf8Bytes), 1u) << "a lone CR";
    EXPECT_EQ(FittingPrefix(std::u16string_view(u"\xD842" u"a"), 1, Utf8Bytes), 0u) << "a lone high surrogate";
}

TEST(InsertedText, UnitsTypedInTwoPiecesAreJoined)
{
    char16_t pending = 0;
    const char16_t high = 0xD842, low = 0xDFB7;
    struct {
        char16_t unit;
        std::u16string inserted;
    } keys[] = {
        {u'a', u"a"},
        {high, u""},
        {low, u"\U00020BB7"},
        {high, u""},
        {u'b', u"b"},   // the high surrogate that no low one followed is dropped
        {low, u"\xDFB7"},  // a lone low surrogate is passed on
        {high, u""},
        {high, u""},    // a second high surrogate replaces the first
        {low, u"\U00020BB7"},
    };
    for (const auto& key : keys) {
        const TypedCharacter<char16_t> typed = JoinTypedUnit(pending, key.unit);
        EXPECT_EQ(std::u16string(typed.units, typed.length), key.inserted) << std::hex << static_cast<unsigned>(key.unit);
    }
    EXPECT_EQ(pending, 0);
}
