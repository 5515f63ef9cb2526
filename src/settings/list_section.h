// The time list's sections (ItemTime, ItemComment) as whole texts: what one
// section read of the settings file lists ("key=value", each ended by a
// NUL, then one more NUL), and what one section write takes. The list read
// from a section is exactly what reading each key by itself gives, and the
// values written come back as they were.
#pragma once
#include <cstddef>
#include <string_view>

#include "../module/code_page.h"
#include "comment_escape.h"
#include "decimal_text.h"

// Bytes the profile functions trim from both ends of a key and a value:
// TAB, the line-break characters, 0x1A and space. None of them is a trail
// byte of a double-byte code page or part of a UTF-8 sequence.
constexpr bool IsProfileBlank(char c)
{
    return (c >= '\t' && c <= '\r') || c == '\x1A' || c == ' ';
}

// The longest entry a list section holds: a key, "=", an escaped comment in
// quotes, and its NUL.
constexpr size_t kLongestListEntry = kDecimalTextSize + kEscapedCommentSize + 3;

// The entry of list index n in a section: the first one whose key is n.
struct ListEntry {
    bool present;            // some entry's key is n
    bool hasValue;           // that entry has an "=" (without one, a read gives its default)
    std::string_view value;  // as stored: blanks trimmed, quotes kept
};

// The number of entries in a section text.
size_t CountSectionEntries(std::string_view section);

// Fills entries[n] for every n < count from the section's entries whose key
// is the decimal text of n (no leading zeros); the first such entry wins.
// Other keys are ignored. With ignoreLast the section's last entry is left
// out: a section read that may have been cut can end inside it.
void IndexListSection(std::string_view section, ListEntry* entries, size_t count, bool ignoreLast);

// What reading a key whose value is stored gives into outSize bytes: one
// pair of matching quotes (" or ') around it stripped, cut to outSize - 1
// bytes between whole characters. Returns the length written.
size_t ReadListValue(std::string_view stored, char* out, size_t outSize, const CodePage& page);

// The form in which value is stored so that reading it gives it back: in
// double quotes when it begins or ends with a blank (the read trims them)
// or begins with a quote (the read would strip a pair). Returns the length
// written; 0, with out empty, when it does not fit outSize.
size_t StoreListValue(std::string_view value, char* out, size_t outSize);

// Appends "key=value" and its NUL to a section text of used bytes in out.
// Returns the new length; used, unchanged, when the entry does not fit
// with the text's final NUL.
size_t AppendSectionEntry(char* out, size_t outSize, size_t used, std::string_view key, std::string_view value);

// The bytes of the longest run of whole entries from the start of section
// that, with its final NUL, takes at most maxBytes.
size_t SectionPrefixThatFits(std::string_view section, size_t maxBytes);

// The last entry of a section text ("" for an empty one).
std::string_view LastSectionEntry(std::string_view section);

// Splits an entry at its first "=": the key, and the value after it.
// False for an entry without one.
bool SplitSectionEntry(std::string_view entry, std::string_view& key, std::string_view& value);
