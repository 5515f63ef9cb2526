// Where the settings file lives: beside the module file.
#pragma once
#include <cstddef>
#include <cstring>
#include <string_view>

#include "code_page.h"

constexpr std::string_view kSettingsFileName = "Tarvix.ini";

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

// The settings path from the first of the module's long and short (8.3)
// paths that the code page spells exactly: a folder whose name it cannot
// spell is reached by its short name, which is plain ASCII. False, leaving
// out empty, when neither is spelled exactly or the result does not fit.
inline bool BuildSettingsPathFrom(AnsiModulePath longPath, AnsiModulePath shortPath, char* out, size_t outSize,
                                  const CodePage& page)
{
    const AnsiModulePath& chosen = longPath.exact ? longPath : shortPath;
    if (!chosen.exact) {
        if (outSize > 0)
            out[0] = '\0';
        return false;
    }
    return BuildSettingsPath(chosen.text, out, outSize, page);
}
