// The ANSI code page of the process the module runs in: 932 on a Japanese
// Windows, 65001 where the system (or the host's manifest) asks for UTF-8,
// 1252 and the like on a Western one.
#pragma once
#include "code_page.h"

CodePage AnsiCodePage();
