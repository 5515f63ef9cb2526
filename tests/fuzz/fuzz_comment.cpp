// Comment escaping for the settings file: any comment, any stored value,
// under each ANSI code page.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_code_pages.h"
#include "settings/comment_escape.h"

namespace {
// The stored form, built apart from the module's code, as the pieces a
// cut keeps or drops whole: CR LF, lone CR and lone LF become "\n", every
// TAB but a last one "\t"; any other byte stays.
std::vector<std::string> ReferenceEscape(std::string_view comment)
{
    std::vector<std::string> pieces;
    for (size_t i = 0; i < comment.size(); ++i) {
        const char c = comment[i];
        const bool last = i + 1 == comment.size();
        if (c == '\r' && !last && comment[i + 1] == '\n') {
            pieces.push_back("\\n");
            ++i;
        } else if (c == '\r' || c == '\n') {
            pieces.push_back("\\n");
        } else if (c == '\t' && !last) {
            pieces.push_back("\\t");
        } else {
            pieces.push_back(std::string(1, c));
        }
    }
    return pieces;
}

// The longest run of whole pieces that has at most limit bytes.
std::string JoinUpTo(const std::vector<std::string>& pieces, size_t limit)
{
    std::string text;
    for (const std::string& piece : pieces) {
        if (text.size() + piece.size() > limit)
            break;
        text += piece;
    }
    return text;
}

// What a stored value unescapes to, as the pieces a cut keeps or drops
// whole: characters of the code page, and CR LF from "\n".
std::vector<std::string> ReferenceUnescape(CodePageKind kind, std::string_view stored)
{
    std::vector<std::string> pieces;
    for (size_t i = 0; i < stored.size();) {
        size_t length = ReferenceCharLength(kind, stored, i);
        if (length == 1 && stored[i] == '\\' && i + 1 < stored.size() && stored[i + 1] == 'n') {
            pieces.push_back("\r\n");
            i += 2;
        } else if (length == 1 && stored[i] == '\\' && i + 1 < stored.size() && stored[i + 1] == 't') {
            pieces.push_back("\t");
            i += 2;
        } else {
            pieces.push_back(std::string(stored.substr(i, length)));
            i += length;
        }
    }
    return pieces;
}

std::string Escape(std::string_view comment, size_t outSize)
{
    auto buffer = ExactBuffer(outSize);
    size_t length = EscapeComment(comment, buffer.get(), outSize);
    FUZZ_CHECK(length < outSize);
    FUZZ_CHECK(buffer[length] == '\0');
    return std::string(buffer.get(), length);
}

std::string Unescape(std::string_view stored, size_t outSize, size_t maxLength, const CodePage& page)
{
    auto buffer = ExactBuffer(outSize);
    size_t length = UnescapeComment(stored, buffer.get(), outSize, maxLength, page);
    FUZZ_CHECK(length < outSize);
    FUZZ_CHECK(buffer[length] == '\0');
    return std::string(buffer.get(), length);
}

// Line breaks as the comment comes back: a lone CR or LF as CR LF.
std::string NormalizeLineBreaks(std::string_view comment)
{
    std::string text;
    for (size_t i = 0; i < comment.size(); ++i) {
        if (comment[i] == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n')
            ++i;
        text += comment[i] == '\r' || comment[i] == '\n' ? "\r\n" : std::string(1, comment[i]);
    }
    return text;
}

// Comments that come back (line breaks made CR LF). A single-byte backslash
// would be read as the start of an escape. Under Shift-JIS the stored form
// cannot tell a lead byte followed by an escape from a double-byte
// character, so a lead byte must not stand before a TAB or line break;
// text from the comment box, valid in its code page, never has that.
bool ComesBack(CodePageKind kind, std::string_view comment)
{
    if (comment.find('\\') != std::string_view::npos)
        return false;
    for (size_t i = 0; kind == CodePageKind::ShiftJis && i + 1 < comment.size(); ++i) {
        if (IsShiftJisLead(static_cast<unsigned char>(comment[i])) &&
            (comment[i + 1] == '\t' || comment[i + 1] == '\r' || comment[i + 1] == '\n'))
            return false;
    }
    return true;
}

void CheckEscape(std::string_view input)
{
    const std::string_view comment = input.substr(0, std::min(input.size(), kCommentMax));
    const std::vector<std::string> pieces = ReferenceEscape(comment);
    const std::string stored = Escape(input, kEscapedCommentSize);
    FUZZ_CHECK(stored == JoinUpTo(pieces, kEscapedCommentSize));
    // The stored form fits one line of the file: no CR or LF at all, no TAB but a final one.
    FUZZ_CHECK(stored.find_first_of("\r\n") == std::string::npos);
    size_t tab = stored.find('\t');
    FUZZ_CHECK(tab == std::string::npos || tab == stored.size() - 1);

    const std::string back = NormalizeLineBreaks(comment);
    for (const FuzzCodePage& codePage : kFuzzCodePages)
        if (back.size() <= kCommentMax && ComesBack(codePage.kind, comment))
            FUZZ_CHECK(Unescape(stored, kCommentMax + 1, kCommentMax, codePage.page) == back);

    // Smaller buffers are never overrun (the sanitizer checks the exact size)
    // and never end in half an escape.
    for (size_t outSize : {size_t{1}, size_t{2}, comment.size() + 1, stored.size(), stored.size() + 1})
        if (outSize > 0)
            FUZZ_CHECK(Escape(input, outSize) == JoinUpTo(pieces, outSize - 1));
}

void CheckUnescape(std::string_view stored, size_t outSize, size_t maxLength)
{
    const size_t limit = std::min(maxLength, outSize - 1);
    for (const FuzzCodePage& codePage : kFuzzCodePages) {
        // The cut keeps the longest run of whole characters and line breaks that fits.
        FUZZ_CHECK(Unescape(stored, outSize, maxLength, codePage.page) ==
                   JoinUpTo(ReferenceUnescape(codePage.kind, stored), limit));
    }
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
