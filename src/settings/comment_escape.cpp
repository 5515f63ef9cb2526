#include "comment_escape.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kTab = '\t';
constexpr char kEscape = '\\';
constexpr char kLineBreak[] = {kCR, kLF};
}

size_t EscapeComment(std::string_view comment, char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    comment = comment.substr(0, kCommentMax);
    size_t n = 0;
    auto put = [&](char first, char second, size_t width) {
        if (n + width >= outSize)
            return false;
        out[n++] = first;
        if (width == 2)
            out[n++] = second;
        return true;
    };
    bool room = true;
    for (size_t i = 0; room && i < comment.size(); ++i) {
        const char c = comment[i];
        const bool last = i + 1 == comment.size();
        if (c == kCR || c == kLF) {
            // CR LF is one line break; a lone CR or LF is written as one too.
            if (c == kCR && !last && comment[i + 1] == kLF)
                ++i;
            room = put(kEscape, 'n', 2);
        } else if (c == kTab && !last) {
            room = put(kEscape, 't', 2);
        } else {
            room = put(c, 0, 1);
        }
    }
    out[n] = '\0';
    return n;
}

size_t UnescapeComment(std::string_view stored, char* out, size_t outSize, size_t maxLength, const CodePage& page)
{
    if (outSize == 0)
        return 0;
    // The stored form may be twice as long as out: unescape all of it while
    // writing, and stop at the first character that would pass the limit.
    const size_t limit = std::min(maxLength, outSize - 1);
    size_t n = 0;
    for (size_t i = 0; i < stored.size();) {
        const char* piece = stored.data() + i;
        size_t width = CharacterWidth(page, stored, i);
        size_t consumed = width;
        if (width == 1 && stored[i] == kEscape && i + 1 < stored.size()) {
            if (stored[i + 1] == 'n') {
                piece = kLineBreak;  // the pair is kept or dropped whole
                width = 2;
                consumed = 2;
            } else if (stored[i + 1] == 't') {
                piece = &kTab;
                consumed = 2;
            }
        }
        if (n + width > limit)
            break;
        std::memcpy(out + n, piece, width);
        n += width;
        i += consumed;
    }
    out[n] = '\0';
    return n;
}
