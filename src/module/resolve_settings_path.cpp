#include "ansi_code_page.h"
#include "module_state.h"
#include "settings_file_name.h"

// The loader's handle of the image this code lives in.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
constexpr char kModuleBaseName[] = "Tarvix";
}

void ResolveSettingsPath()
{
    // By name first, as the host loads us; a renamed copy falls back to
    // itself, so it keeps its resources and its own settings file.
    g_instance = GetModuleHandleA(kModuleBaseName);
    if (g_instance == nullptr)
        g_instance = reinterpret_cast<HINSTANCE>(&__ImageBase);

    char moduleFile[MAX_PATH];
    DWORD length = GetModuleFileNameA(g_instance, moduleFile, sizeof moduleFile);
    // A full buffer means the name was cut: there is no usable path then.
    if (length == 0 || length >= sizeof moduleFile ||
        !BuildSettingsPath(std::string_view(moduleFile, length), g_settingsPath, sizeof g_settingsPath, AnsiCodePage()))
        g_settingsPath[0] = '\0';
}
