#include "comment_escape.h"

#include <algorithm>
#include <cstring>

#include "sjis.h"

namespace {
constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kTab = '\t';
constexpr char kEscape = '\\';
}

size_t EscapeComment(std::string_view comment, char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    size_t n = std::min({comment.size(), kCommentMax, outSize - 1});
    std::memcpy(out, comment.data(), n);
    out[n] = '\0';

    // The character at i - 1 is examined while i < n, so the last one never is.
    for (size_t i = 1; i < n; ++i) {
        if (out[i - 1] == kCR && out[i] == kLF) {
            out[i - 1] = kEscape;
            out[i] = 'n';
        } else if (out[i - 1] == kTab) {
            if (n + 1 >= outSize)
                break;  // no room to grow; cannot happen for kCommentMax into kEscapedCommentSize
            std::memmove(out + i + 1, out + i, n - i + 1);
            out[i - 1] = kEscape;
            out[i] = 't';
            ++n;
        }
    }
    return n;
}

size_t UnescapeComment(std::string_view stored, char* out, size_t outSize, size_t maxLength)
{
    if (outSize == 0)
        return 0;
    // The stored form may be twice as long as out: unescape all of it while
    // writing, and stop at the first character that would pass the limit.
    const size_t limit = std::min(maxLength, outSize - 1);
    size_t n = 0;
    auto put = [&](const char* bytes, size_t width) {
        if (n + width > limit)
            return false;
        std::memcpy(out + n, bytes, width);
        n += width;
        return true;
    };
    bool room = true;
    for (size_t i = 0; room && i < stored.size(); ++i) {
        const char c = stored[i];
        const bool hasNext = i + 1 < stored.size();
        if (hasNext && IsSjisLeadByte(static_cast<unsigned char>(c))) {
            room = put(stored.data() + i, 2);  // a double-byte character, its trail byte included
            ++i;
        } else if (hasNext && c == kEscape && stored[i + 1] == 'n') {
            room = put(&kCR, 1) && put(&kLF, 1);
            ++i;
        } else if (hasNext && c == kEscape && stored[i + 1] == 't') {
            room = put(&kTab, 1);
            ++i;
        } else {
            room = put(&c, 1);
        }
    }
    out[n] = '\0';
    return n;
}
