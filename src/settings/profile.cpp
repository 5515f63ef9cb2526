#include "profile.h"

#include "../module/module_state.h"

namespace {
// Enough to tell whether a section still lists any key name.
constexpr DWORD kKeyProbeSize = 4;
// A bound for hand-made files that repeat a section.
constexpr int kMaxSectionCopies = 1000;

bool HaveSettingsFile()
{
    return g_settingsPath[0] != '\0';
}
}

int ReadSettingInt(const char* section, const char* key, int fallback)
{
    if (!HaveSettingsFile())
        return fallback;
    return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, g_settingsPath));
}

DWORD ReadSettingText(const char* section, const char* key, const char* fallback, char* buffer, DWORD size)
{
    if (size == 0)
        return 0;
    if (!HaveSettingsFile()) {
        lstrcpynA(buffer, fallback, static_cast<int>(size));
        return static_cast<DWORD>(lstrlenA(buffer));
    }
    return GetPrivateProfileStringA(section, key, fallback, buffer, size, g_settingsPath);
}

BOOL WriteSettingText(const char* section, const char* key, const char* value)
{
    if (!HaveSettingsFile())
        return FALSE;
    return WritePrivateProfileStringA(section, key, value, g_settingsPath);
}

BOOL DeleteSettingSection(const char* section)
{
    // The platform removes one section of that name per call; a file edited
    // by hand may repeat a section, and a leftover copy would bring old
    // items back. Repeat until no key of that name is left.
    for (int round = 0; round < kMaxSectionCopies; ++round) {
        if (!WriteSettingText(section, nullptr, nullptr))
            return FALSE;
        char keyNames[kKeyProbeSize];
        if (GetPrivateProfileStringA(section, nullptr, "", keyNames, sizeof keyNames, g_settingsPath) == 0)
            return TRUE;
    }
    return FALSE;
}

BOOL WriteSettingRecord(const char* section, const char* key, const PlacementRecord& record)
{
    if (!HaveSettingsFile())
        return FALSE;
    return WritePrivateProfileStructA(section, key, const_cast<uint8_t*>(record.data()),
                                      static_cast<UINT>(record.size()), g_settingsPath);
}

BOOL ReadSettingRecord(const char* section, const char* key, PlacementRecord& record)
{
    if (!HaveSettingsFile())
        return FALSE;
    return GetPrivateProfileStructA(section, key, record.data(), static_cast<UINT>(record.size()),
                                    g_settingsPath);
}
