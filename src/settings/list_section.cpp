#include "list_section.h"

#include <algorithm>

namespace {
constexpr char kQuote = '"';
constexpr char kApostrophe = '\'';
constexpr char kEquals = '=';

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsProfileBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsProfileBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Calls visit(entry) for each entry of a section text, in order.
template <typename Visit>
void ForEachEntry(std::string_view section, Visit visit)
{
    while (!section.empty() && section.front() != '\0') {
        const size_t end = std::min(section.find('\0'), section.size());
        visit(std::string_view(section.data(), end));
        section.remove_prefix(std::min(end + 1, section.size()));
    }
}

// The list index a key names: "0" or decimal digits without a leading zero.
bool ParseIndex(std::string_view key, size_t limit, size_t& index)
{
    if (key.empty() || (key.size() > 1 && key.front() == '0'))
        return false;
    index = 0;
    for (char c : key) {
        if (c < '0' || c > '9')
            return false;
        index = index * 10 + static_cast<size_t>(c - '0');
        if (index >= limit)
            return false;
    }
    return true;
}

bool IsQuote(char c)
{
    return c == kQuote || c == kApostrophe;
}
}

size_t CountSectionEntries(std::string_view section)
{
    size_t count = 0;
    ForEachEntry(section, [&count](std::string_view) { ++count; });
    return count;
}

void IndexListSection(std::string_view section, ListEntry* entries, size_t count, bool ignoreLast)
{
    for (size_t n = 0; n < count; ++n)
        entries[n] = {};
    size_t left = CountSectionEntries(section);
    if (ignoreLast && left > 0)
        --left;
    ForEachEntry(section, [&](std::string_view entry) {
        if (left == 0)
            return;
        --left;
        std::string_view key = entry;
        std::string_view value;
        const bool hasValue = SplitSectionEntry(entry, key, value);
        size_t index = 0;
        if (!ParseIndex(TrimBlanks(key), count, index) || entries[index].present)
            return;
        entries[index] = {true, hasValue, TrimBlanks(value)};
    });
}

size_t ReadListValue(std::string_view stored, char* out, size_t outSize, const CodePage& page)
{
    if (outSize == 0)
        return 0;
    if (stored.size() >= 2 && IsQuote(stored.front()) && stored.back() == stored.front())
        stored = {stored.data() + 1, stored.size() - 2};
    const size_t length = WholeCharacterPrefix(page, stored, outSize - 1);
    std::copy_n(stored.data(), length, out);
    out[length] = '\0';
    return length;
}

size_t StoreListValue(std::string_view value, char* out, size_t outSize)
{
    const bool quoted =
        !value.empty() && (IsProfileBlank(value.front()) || IsProfileBlank(value.back()) || IsQuote(value.front()));
    const size_t length = value.size() + (quoted ? 2 : 0);
    if (length >= outSize) {
        if (outSize > 0)
            out[0] = '\0';
        return 0;
    }
    char* at = out;
    if (quoted)
        *at++ = kQuote;
    std::copy_n(value.data(), value.size(), at);
    at += value.size();
    if (quoted)
        *at++ = kQuote;
    *at = '\0';
    return length;
}

size_t AppendSectionEntry(char* out, size_t outSize, size_t used, std::string_view key, std::string_view value)
{
    // The entry, its NUL and the text's final NUL.
    const size_t entry = key.size() + 1 + value.size() + 1;
    if (used + entry + 1 > outSize)
        return used;
    char* at = out + used;
    std::copy_n(key.data(), key.size(), at);
    at += key.size();
    *at++ = kEquals;
    std::copy_n(value.data(), value.size(), at);
    at += value.size();
    *at++ = '\0';
    *at = '\0';
    return used + entry;
}

size_t SectionPrefixThatFits(std::string_view section, size_t maxBytes)
{
    size_t fits = 0;
    bool full = false;
    ForEachEntry(section, [&](std::string_view entry) {
        const size_t next = fits + entry.size() + 1;
        full = full || next + 1 > maxBytes;
        if (!full)
            fits = next;
    });
    return fits;
}

std::string_view LastSectionEntry(std::string_view section)
{
    std::string_view last;
    ForEachEntry(section, [&last](std::string_view entry) { last = entry; });
    return last;
}

bool SplitSectionEntry(std::string_view entry, std::string_view& key, std::string_view& value)
{
    const size_t equals = entry.find(kEquals);
    if (equals == std::string_view::npos) {
        key = entry;
        value = {};
        return false;
    }
    key = {entry.data(), equals};
    value = {entry.data() + equals + 1, entry.size() - equals - 1};
    return true;
}
