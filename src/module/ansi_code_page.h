// The ANSI code page of the process the module runs in: 932 on a Japanese
// Windows, 65001 where the system (or the host's manifest) asks for UTF-8,
// 1252 and the like on a Western one.
#pragma once
#include <cstddef>
#include <string_view>

#include "code_page.h"

CodePage AnsiCodePage();

// text in the ANSI code page in use, cut to outSize - 1 bytes between whole
// characters (never inside a surrogate pair or a line break's CR LF), and
// terminated; returns the bytes written.
size_t CopyAsAnsi(std::wstring_view text, char* out, size_t outSize);
