// Comment escaping for the settings file: any comment, any stored value.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/comment_escape.h"
#include "settings/sjis.h"

namespace {
constexpr size_t kLongestEscaped = 2 * kCommentMax - 1;  // the last character is never doubled

bool IsLead(char c) { return IsSjisLeadByte(static_cast<unsigned char>(c)); }

// The longest prefix of text with at most limit bytes that ends between
// characters (a lead byte and its follower are one character).
size_t WholeCharacterPrefix(const std::string& text, size_t limit)
{
    size_t end = 0;
    while (end < text.size()) {
        size_t next = end + (IsLead(text[end]) && end + 1 < text.size() ? 2 : 1);
        if (next > limit)
            break;
        end = next;
    }
    return end;
}

// Reference unescape, done in place on the whole text as the stored form is
// defined: look at position i - 1 while i < n; a double-byte character is
// passed over whole.
std::string ReferenceUnescape(std::string text)
{
    for (size_t i = 1; i < text.size(); ++i) {
        if (IsLead(text[i - 1])) {
            ++i;
        } else if (text[i - 1] == '\\' && text[i] == 'n') {
            text[i - 1] = '\r';
            text[i] = '\n';
        } else if (text[i - 1] == '\\' && text[i] == 't') {
            text.erase(i - 1, 1);
            text[i - 1] = '\t';
        }
    }
    return text;
}

std::string Escape(std::string_view comment, size_t outSize)
{
    auto buffer = ExactBuffer(outSize);
    size_t length = EscapeComment(comment, buffer.get(), outSize);
    FUZZ_CHECK(length < outSize);
    FUZZ_CHECK(buffer[length] == '\0');
    return std::string(buffer.get(), length);
}

std::string Unescape(std::string_view stored, size_t outSize, size_t maxLength)
{
    auto buffer = ExactBuffer(outSize);
    size_t length = UnescapeComment(stored, buffer.get(), outSize, maxLength);
    FUZZ_CHECK(length < outSize);
    FUZZ_CHECK(buffer[length] == '\0');
    return std::string(buffer.get(), length);
}

// Comments that come back unchanged. The stored form cannot tell a
// double-byte character from a lead byte followed by an escape, so a lead
// byte must not be followed by a byte that escaping replaces (TAB, or the
// CR of a line break); and a single-byte backslash would be read as the
// start of an escape. Text from the comment box is valid code page 932, in
// which neither occurs apart from a typed backslash.
bool ComesBackUnchanged(std::string_view comment)
{
    for (size_t i = 0; i < comment.size(); ++i) {
        if (IsLead(comment[i]) && i + 1 < comment.size()) {
            ++i;
            if (comment[i] == '\t' || comment[i] == '\r')
                return false;
        } else if (comment[i] == '\\') {
            return false;
        }
    }
    return true;
}

void CheckEscape(std::string_view input)
{
    const std::string_view comment = input.substr(0, std::min(input.size(), kCommentMax));
    const std::string stored = Escape(input, kEscapedCommentSize);

    // Every TAB but the last character doubles; nothing else grows.
    size_t tabs = comment.empty() ? 0 : std::count(comment.begin(), comment.end() - 1, '\t');
    FUZZ_CHECK(stored.size() == comment.size() + tabs);
    FUZZ_CHECK(stored.size() <= kLongestEscaped);
    // The stored form fits one line: no line break, no TAB but a final one.
    FUZZ_CHECK(stored.find("\r\n") == std::string::npos);
    size_t tab = stored.find('\t');
    FUZZ_CHECK(tab == std::string::npos || tab == stored.size() - 1);

    if (ComesBackUnchanged(comment)) {
        FUZZ_CHECK(Unescape(stored, kCommentMax + 1, kCommentMax) == comment);
    }

    // Smaller buffers are never overrun (the sanitizer checks the exact size).
    for (size_t outSize : {size_t{1}, size_t{2}, comment.size() + 1, stored.size(), stored.size() + 1})
        if (outSize > 0)
            Escape(input, outSize);
}

void CheckUnescape(std::string_view stored, size_t outSize, size_t maxLength)
{
    const std::string full = ReferenceUnescape(std::string(stored));
    const size_t limit = std::min(maxLength, outSize - 1);
    const std::string result = Unescape(stored, outSize, maxLength);

    FUZZ_CHECK(result.size() <= limit);
    FUZZ_CHECK(full.compare(0, result.size(), result) == 0);  // a prefix of the uncut result
    FUZZ_CHECK(result.size() == WholeCharacterPrefix(full, limit));
    if (full.size() <= limit)
        FUZZ_CHECK(result == full);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckEscape(input);
    // As the time list reads a stored value, and with other sizes and limits.
    CheckUnescape(input, kCommentMax + 1, kCommentMax);
    if (size >= 2)
        CheckUnescape(input.substr(2), 1 + data[0] % 64, data[1] % 80);
    return 0;
}
