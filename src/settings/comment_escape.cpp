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
    // Unescaping never lengthens the text, so working in the caller's buffer
    // on a prefix that fits is enough; the cut below then trims it further.
    size_t n = SjisPrefixLength(stored, outSize - 1);
    std::memmove(out, stored.data(), n);
    out[n] = '\0';

    for (size_t i = 1; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(out[i - 1]);
        if (IsSjisLeadByte(c)) {
            ++i;  // the next byte is this character's trail byte
            continue;
        }
        if (c != kEscape)
            continue;
        if (out[i] == 'n') {
            out[i - 1] = kCR;
            out[i] = kLF;
        } else if (out[i] == 't') {
            std::memmove(out + i, out + i + 1, n - i);
            out[i - 1] = kTab;
            --n;
        }
    }

    n = SjisPrefixLength(std::string_view(out, n), maxLength);
    out[n] = '\0';
    return n;
}
