#include <algorithm>

#include "ansi_code_page.h"
#include "module_state.h"
#include "settings_file_name.h"

// The loader's handle of the image this code lives in.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
constexpr char kModuleBaseName[] = "Tarvix";
// An ANSI path may take up to three bytes for each UTF-16 unit (UTF-8): a
// path that is too long is refused by BuildSettingsPath, not cut here.
constexpr size_t kAnsiPathSize = 3 * MAX_PATH;

// path (length units, from a MAX_PATH buffer) in the ANSI code page. A
// full buffer means the name was cut: such a path is never exact.
AnsiModulePath ToAnsi(const wchar_t* path, DWORD length, char* out, size_t outSize)
{
    if (length == 0 || length >= MAX_PATH)
        return {{}, false};
    int bytes = WideCharToMultiByte(CP_ACP, 0, path, static_cast<int>(length), out, static_cast<int>(outSize),
                                    nullptr, nullptr);
    if (bytes <= 0)
        return {{}, false};
    wchar_t back[MAX_PATH];
    int units = MultiByteToWideChar(CP_ACP, 0, out, bytes, back, MAX_PATH);
    bool exact = units == static_cast<int>(length) && std::equal(back, back + units, path);
    return {{out, static_cast<size_t>(bytes)}, exact};
}

// The settings path beside the module file path (length units).
bool BuildFrom(const wchar_t* path, DWORD length, const CodePage& page)
{
    char ansi[kAnsiPathSize];
    return BuildSettingsPathFrom(ToAnsi(path, length, ansi, sizeof ansi), g_settingsPath, sizeof g_settingsPath,
                                 page);
}
}

void ResolveSettingsPath()
{
    // By name first, as the host loads us; a renamed copy falls back to
    // itself, so it keeps its resources and its own settings file.
    g_instance = GetModuleHandleA(kModuleBaseName);
    if (g_instance == nullptr)
        g_instance = reinterpret_cast<HINSTANCE>(&__ImageBase);

    wchar_t moduleFile[MAX_PATH];
    const DWORD length = GetModuleFileNameW(g_instance, moduleFile, MAX_PATH);
    const CodePage page = AnsiCodePage();
    if (BuildFrom(moduleFile, length, page) || length == 0 || length >= MAX_PATH)
        return;
    // A folder the code page cannot spell, or a path too long in its bytes.
    wchar_t shortFile[MAX_PATH];
    BuildFrom(shortFile, GetShortPathNameW(moduleFile, shortFile, MAX_PATH), page);
}

void SettingsFileDisplayPath(wchar_t* out, size_t outSize)
{
    if (outSize == 0)
        return;
    const DWORD length = GetModuleFileNameW(g_instance, out, static_cast<DWORD>(outSize));
    if (length == 0 || length >= outSize) {
        out[0] = L'\0';
        return;
    }
    wchar_t* name = out;
    for (wchar_t* at = out; *at != L'\0'; ++at)
        if (*at == L'\\')
            name = at + 1;
    lstrcpynW(name, kSettingsFileNameWide, static_cast<int>(outSize - static_cast<size_t>(name - out)));
}
