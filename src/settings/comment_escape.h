// Comments of the time list are stored on one settings-file line: line breaks
// become "\n" and TABs become "\t". Backslashes are not escaped.
#pragma once
#include <cstddef>
#include <string_view>

#include "../module/code_page.h"

// Longest comment the time list keeps (bytes, without the terminator).
constexpr size_t kCommentMax = 259;
// Buffer for an escaped comment: every character of a kCommentMax comment may double.
constexpr size_t kEscapedCommentSize = 520;

// Escapes at most kCommentMax bytes of comment into out and returns the
// length written. CR LF, and a lone CR or LF (text pasted from another
// system), become "\n", so the stored value never holds a raw line break.
// A TAB in the last position is not examined and stays a TAB. The result is
// cut to outSize - 1 bytes.
size_t EscapeComment(std::string_view comment, char* out, size_t outSize);

// Reverses EscapeComment on a stored value. Characters of the code page are
// stepped over whole, so a trail byte 0x5C of a double-byte character is
// never read as a backslash. The result is cut to at most maxLength bytes
// (and outSize - 1) without splitting a character or a CR LF. Returns the
// length written.
size_t UnescapeComment(std::string_view stored, char* out, size_t outSize, size_t maxLength, const CodePage& page);
