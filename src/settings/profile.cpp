#include "profile.h"

#include <algorithm>

#include "../module/ansi_code_page.h"
#include "../module/inserted_text.h"
#include "../module/module_state.h"
#include "comment_escape.h"

// The file is opened by its Unicode path, so any folder holds it; sections,
// keys and values pass through the ANSI code page in use, so the file holds
// the same bytes the A functions would write, and every caller keeps its
// ANSI texts.
namespace {
// Enough to tell whether a section still lists any key name.
constexpr DWORD kKeyProbeSize = 4;
// A bound for hand-made files that repeat a section.
constexpr int kMaxSectionCopies = 1000;
// The longest text that crosses this layer: an escaped comment.
constexpr size_t kWideTextSize = kEscapedCommentSize;

using WideText = wchar_t[kWideTextSize];

bool HaveSettingsFile()
{
    return g_settingsPath[0] != L'\0';
}

// text, from the ANSI code page, into out; a null text stays null. False
// when it does not fit.
bool Widen(const char* text, WideText& out, const wchar_t*& wide)
{
    wide = nullptr;
    if (text == nullptr)
        return true;
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, kWideTextSize) == 0)
        return false;
    wide = out;
    return true;
}

// A section and a key as the W functions take them.
struct WideNames {
    WideText sectionText, keyText;
    const wchar_t* section;
    const wchar_t* key;
};

// False when there is no settings file or a name does not fit.
bool ToWide(const char* section, const char* key, WideNames& names)
{
    return HaveSettingsFile() && Widen(section, names.sectionText, names.section) &&
           Widen(key, names.keyText, names.key);
}
}

int ReadSettingInt(const char* section, const char* key, int fallback)
{
    WideNames names;
    if (!ToWide(section, key, names))
        return fallback;
    return static_cast<int>(GetPrivateProfileIntW(names.section, names.key, fallback, g_settingsPath));
}

DWORD ReadSettingText(const char* section, const char* key, const char* fallback, char* buffer, DWORD size)
{
    if (size == 0)
        return 0;
    WideNames names;
    WideText fallbackText, value;
    const wchar_t* wideFallback;
    if (!ToWide(section, key, names) || !Widen(fallback, fallbackText, wideFallback)) {
        lstrcpynA(buffer, fallback, static_cast<int>(size));
        return static_cast<DWORD>(lstrlenA(buffer));
    }
    // Each byte the caller keeps is at least one unit.
    DWORD units = GetPrivateProfileStringW(names.section, names.key, wideFallback, value,
                                           std::min<DWORD>(size, kWideTextSize), g_settingsPath);
    // A read cut by its size may end in half a surrogate pair.
    if (units > 0 && IsHighSurrogate(value[units - 1]))
        --units;
    return static_cast<DWORD>(CopyAsAnsi({value, units}, buffer, size));
}

BOOL WriteSettingText(const char* section, const char* key, const char* value)
{
    WideNames names;
    WideText valueText;
    const wchar_t* wideValue;
    if (!ToWide(section, key, names) || !Widen(value, valueText, wideValue))
        return FALSE;
    return WritePrivateProfileStringW(names.section, names.key, wideValue, g_settingsPath);
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
        if (ReadSettingText(section, nullptr, "", keyNames, sizeof keyNames) == 0)
            return TRUE;
    }
    return FALSE;
}

BOOL WriteSettingRecord(const char* section, const char* key, const PlacementRecord& record)
{
    WideNames names;
    if (!ToWide(section, key, names))
        return FALSE;
    return WritePrivateProfileStructW(names.section, names.key, const_cast<uint8_t*>(record.data()),
                                      static_cast<UINT>(record.size()), g_settingsPath);
}

BOOL ReadSettingRecord(const char* section, const char* key, PlacementRecord& record)
{
    WideNames names;
    if (!ToWide(section, key, names))
        return FALSE;
    return GetPrivateProfileStructW(names.section, names.key, record.data(), static_cast<UINT>(record.size()),
                                    g_settingsPath);
}
