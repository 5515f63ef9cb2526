#include "module_state.h"
#include "settings_file_name.h"

#include <string_view>

// The loader's handle of the image this code lives in.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
constexpr char kModuleBaseName[] = "Tarvix";

// The settings path in the ANSI code page, where it converts there and back
// unchanged and fits; else empty. A host that switched the file functions
// to the OEM code page gets the Unicode path.
void ResolveAnsiSettingsPath()
{
    g_settingsPathAnsi[0] = '\0';
    if (g_settingsPath[0] == L'\0' || !AreFileApisANSI())
        return;
    char ansi[MAX_PATH];
    wchar_t back[MAX_PATH];
    if (WideCharToMultiByte(CP_ACP, 0, g_settingsPath, -1, ansi, sizeof ansi, nullptr, nullptr) == 0 ||
        MultiByteToWideChar(CP_ACP, 0, ansi, -1, back, MAX_PATH) == 0 || std::wstring_view(back) != g_settingsPath)
        return;
    lstrcpynA(g_settingsPathAnsi, ansi, sizeof g_settingsPathAnsi);
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
    BuildSettingsPath({moduleFile, length < MAX_PATH ? length : MAX_PATH}, MAX_PATH, g_settingsPath,
                      ARRAYSIZE(g_settingsPath));
    ResolveAnsiSettingsPath();
}

void SettingsFileDisplayPath(wchar_t* out, size_t outSize)
{
    if (outSize > 0)
        lstrcpynW(out, g_settingsPath, static_cast<int>(outSize));
}

void KeepModuleLoaded()
{
    if (g_keptLoaded)
        return;
    // This very image, whatever name the host found: a cut path could name
    // another file, so it is not loaded.
    wchar_t moduleFile[MAX_PATH];
    const DWORD length = GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), moduleFile, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        g_keptLoaded = LoadLibraryW(moduleFile) != nullptr;
}
