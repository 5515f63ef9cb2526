// Comments of the time list are stored on one settings-file line: line breaks
// (CR LF) become "\n" and TABs become "\t". Backslashes are not escaped.
#pragma once
#include <cstddef>
#include <string_view>

// Longest comment the time list keeps (bytes, without the terminator).
constexpr size_t kCommentMax = 259;
// Buffer for an escaped comment: every character of a kCommentMax comment may double.
constexpr size_t kEscapedCommentSize = 520;

// Escapes at most kCommentMax bytes of comment into out and returns the
// length written. The last character is never examined, so a trailing TAB
// stays a TAB. The result is cut to outSize - 1 bytes.
size_t EscapeComment(std::string_view comment, char* out, size_t outSize);

// Reverses EscapeComment on a stored value. Double-byte characters are
// stepped over whole, so a trail byte 0x5C is never read as a backslash.
// The result is cut to at most maxLength bytes (and outSize - 1) without
// splitting a double-byte character. Returns the length written.
size_t UnescapeComment(std::string_view stored, char* out, size_t outSize, size_t maxLength);
