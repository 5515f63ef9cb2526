// Where the settings file lives: beside the module file.
#pragma once
#include <cstddef>
#include <cstring>
#include <string_view>

#include "code_page.h"

constexpr std::string_view kSettingsFileName = "Tarvix.ini";
constexpr wchar_t kSettingsFileNameWide[] = L"Tarvix.ini";

// Replaces the file-name part of moduleFile (everything after the last "\")
// with kSettingsFileName. The path is scanned character by character in the
// given code page, so that a trail byte 0x5C is not taken for a "\".
// Returns false, leaving out empty, when the result does not fit outSize
// bytes with its terminator.
inline bool BuildSettingsPath(std::string_view moduleFile, char* out, size_t outSize, const CodePage& page)
{
    if (outSize == 0)
        return false;
    out[0] = '\0';
    size_t dirLength = 0;
    for (size_t i = 0; i < moduleFile.size(); i += CharacterWidth(page, moduleFile, i)) {
        if (moduleFile[i] == '\\')
            dirLength = i + 1;
    }
    if (dirLength + kSettingsFileName.size() + 1 > outSize)
        return false;
    std::memcpy(out, moduleFile.data(), dirLength);
    std::memcpy(out + dirLength, kSettingsFileName.data(), kSettingsFileName.size());
    out[dirLength + kSettingsFileName.size()] = '\0';
    return true;
}

// The module's path in the ANSI code page, and whether the code page spells
// it exactly (converted back, it gives the same path).
struct AnsiModulePath {
    std::string_view text;
    bool exact;
};

// The settings path beside module, when the code page spells module's path
// exactly and the result fits. False, leaving out empty, otherwise: the
// caller then tries the module's short (8.3) path, which is plain ASCII and
// shorter (a folder the code page cannot spell; a path whose characters
// take so many bytes that it would not fit).
inline bool BuildSettingsPathFrom(AnsiModulePath module, char* out, size_t outSize, const CodePage& page)
{
    if (module.exact)
        return BuildSettingsPath(module.text, out, outSize, page);
    if (outSize > 0)
        out[0] = '\0';
    return false;
}
