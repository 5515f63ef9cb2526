// Where the settings file lives: beside the module file, by its Unicode path,
// so that any folder the platform can name holds it.
#pragma once
#include <algorithm>
#include <cstddef>
#include <string_view>

constexpr std::wstring_view kSettingsFileName = L"Tarvix.ini";

// Replaces the file-name part of moduleFile (everything after the last "\")
// with kSettingsFileName. moduleFile is what the platform reported into a
// buffer of moduleBufferSize units: a report that fills the buffer was cut
// and names some other folder. Returns false, leaving out empty, for a cut
// or empty report, a name without any folder (the profile functions would
// seek that in the Windows folder), or a result that does not fit outSize
// units with its terminator.
inline bool BuildSettingsPath(std::wstring_view moduleFile, size_t moduleBufferSize, wchar_t* out, size_t outSize)
{
    if (outSize == 0)
        return false;
    out[0] = L'\0';
    const size_t separator = moduleFile.rfind(L'\\');
    if (moduleFile.size() >= moduleBufferSize || separator == std::wstring_view::npos)
        return false;
    const size_t dirLength = separator + 1;
    if (dirLength + kSettingsFileName.size() + 1 > outSize)
        return false;
    std::copy_n(moduleFile.data(), dirLength, out);
    std::copy_n(kSettingsFileName.data(), kSettingsFileName.size(), out + dirLength);
    out[dirLength + kSettingsFileName.size()] = L'\0';
    return true;
}
