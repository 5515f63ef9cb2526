#include "profile.h"

#include <algorithm>

#include "../module/ansi_code_page.h"
#include "../module/inserted_text.h"
#include "../module/module_state.h"
#include "comment_escape.h"
#include "decimal_text.h"
#include "list_section.h"

// Two back ends behind one set of operations. Where the module's path
// converts into the ANSI code page exactly, the A functions reach the file
// with it and hand its bytes through as they are (Windows' A functions do;
// a value the code page does not define survives every close). Elsewhere
// the W functions reach it by its Unicode path, and sections, keys and
// values cross with the ANSI code page, so the file holds the same bytes.
namespace {
// Enough to tell whether a section still lists any key name.
constexpr DWORD kKeyProbeSize = 4;
// A bound for hand-made files that repeat a section.
constexpr int kMaxSectionCopies = 1000;
// The longest text that crosses a key's read or write: an escaped comment.
constexpr size_t kWideTextSize = kEscapedCommentSize;
// Windows documents 65,535 bytes for a section write's text.
constexpr size_t kSectionWriteBytes = 65535;
// Where Windows before 7 stops a section read; a read cut at an entry's end
// may stop up to the longest entry before it.
constexpr size_t kSectionReadCap = 32767;
// The first section buffer when the file's size is unknown, and the largest
// one tried (far past any list a person keeps).
constexpr DWORD kFirstSectionSize = 64 * 1024;
constexpr DWORD kMaxSectionSize = 256 * 1024 * 1024;

using WideText = wchar_t[kWideTextSize];

bool UseAnsiPath()
{
    return g_settingsPathAnsi[0] != '\0';
}

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

template <typename Char>
Char* AllocateText(size_t units)
{
    return static_cast<Char*>(GlobalAlloc(GMEM_FIXED, units * sizeof(Char)));
}

// A buffer that holds the whole file's bytes, so that one read usually
// takes a section whole.
DWORD FirstSectionSize()
{
    WIN32_FILE_ATTRIBUTE_DATA file;
    if (!GetFileAttributesExW(g_settingsPath, GetFileExInfoStandard, &file) || file.nFileSizeHigh != 0)
        return kFirstSectionSize;
    return std::clamp<DWORD>(file.nFileSizeLow + 2, kFirstSectionSize, kMaxSectionSize);
}

bool MayBeCut(size_t count)
{
    return count <= kSectionReadCap && count + kLongestListEntry >= kSectionReadCap;
}

// A section read through the W functions into size units, in the ANSI code
// page; false when it did not fit or no memory could be had.
bool ReadWideSection(const wchar_t* section, DWORD size, SettingSection& out)
{
    wchar_t* wide = AllocateText<wchar_t>(size);
    if (wide == nullptr)
        return false;
    const DWORD count = GetPrivateProfileSectionW(section, wide, size, g_settingsPath);
    bool read = false;
    if (count + 2 < size) {
        // The entries with their NULs, and the final NUL.
        const int units = static_cast<int>(count) + 1;
        const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
        out.text = bytes > 0 ? AllocateText<char>(static_cast<size_t>(bytes)) : nullptr;
        read = out.text != nullptr &&
               WideCharToMultiByte(CP_ACP, 0, wide, units, out.text, bytes, nullptr, nullptr) == bytes;
        out.length = read ? static_cast<size_t>(bytes) - 1 : 0;
        out.mayBeCut = MayBeCut(count);
    }
    GlobalFree(wide);
    return read;
}

bool ReadAnsiSection(const char* section, DWORD size, SettingSection& out)
{
    out.text = AllocateText<char>(size);
    if (out.text == nullptr)
        return false;
    const DWORD count = GetPrivateProfileSectionA(section, out.text, size, g_settingsPathAnsi);
    out.length = count;
    out.mayBeCut = MayBeCut(count);
    return count + 2 < size;
}

// One section write of entries (whole ones, without the final NUL).
BOOL WriteSectionText(const char* section, std::string_view entries)
{
    WideNames names;
    if (!UseAnsiPath() && !ToWide(section, nullptr, names))
        return FALSE;
    const int bytes = static_cast<int>(entries.size());
    const int units = UseAnsiPath() ? bytes : MultiByteToWideChar(CP_ACP, 0, entries.data(), bytes, nullptr, 0);
    if (units <= 0)
        return FALSE;
    BOOL written = FALSE;
    if (UseAnsiPath()) {
        char* text = AllocateText<char>(static_cast<size_t>(bytes) + 1);
        if (text == nullptr)
            return FALSE;
        std::copy_n(entries.data(), bytes, text);
        text[bytes] = '\0';
        written = WritePrivateProfileSectionA(section, text, g_settingsPathAnsi);
        GlobalFree(text);
    } else {
        wchar_t* text = AllocateText<wchar_t>(static_cast<size_t>(units) + 1);
        if (text == nullptr)
            return FALSE;
        if (MultiByteToWideChar(CP_ACP, 0, entries.data(), bytes, text, units) == units) {
            text[units] = L'\0';
            written = WritePrivateProfileSectionW(names.section, text, g_settingsPath);
        }
        GlobalFree(text);
    }
    return written;
}

// key, terminated, into keyText; false when it does not fit.
bool CopyKey(std::string_view key, char (&keyText)[kDecimalTextSize])
{
    if (key.size() >= sizeof keyText)
        return false;
    std::copy_n(key.data(), key.size(), keyText);
    keyText[key.size()] = '\0';
    return true;
}

// Whether the last entry of a section write reads back as it was written:
// a write that Windows cut at its documented size lacks it.
bool LastEntryLanded(const char* section, std::string_view entries)
{
    std::string_view key, value;
    char keyText[kDecimalTextSize];
    if (!SplitSectionEntry(LastSectionEntry(entries), key, value) || !CopyKey(key, keyText))
        return false;
    char expected[kEscapedCommentSize], read[kEscapedCommentSize];
    const size_t length = ReadListValue(value, expected, sizeof expected, AnsiCodePage());
    // A default that is not the value tells a missing key.
    const char* absent = expected[0] == '|' ? "~" : "|";
    return ReadSettingText(section, keyText, absent, read, sizeof read) == length && std::string_view(read) == expected;
}
}

int ReadSettingInt(const char* section, const char* key, int fallback)
{
    if (UseAnsiPath())
        return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, g_settingsPathAnsi));
    WideNames names;
    if (!ToWide(section, key, names))
        return fallback;
    return static_cast<int>(GetPrivateProfileIntW(names.section, names.key, fallback, g_settingsPath));
}

DWORD ReadSettingText(const char* section, const char* key, const char* fallback, char* buffer, DWORD size)
{
    if (size == 0)
        return 0;
    if (UseAnsiPath()) {
        DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer, size, g_settingsPathAnsi);
        // A read cut by its size may end inside a character.
        if (key != nullptr && length + 1 >= size) {
            length = static_cast<DWORD>(CompleteCharacterPrefix(AnsiCodePage(), {buffer, length}));
            buffer[length] = '\0';
        }
        return length;
    }
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
    if (UseAnsiPath())
        return WritePrivateProfileStringA(section, key, value, g_settingsPathAnsi);
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
    auto* bytes = const_cast<uint8_t*>(record.data());
    const auto size = static_cast<UINT>(record.size());
    if (UseAnsiPath())
        return WritePrivateProfileStructA(section, key, bytes, size, g_settingsPathAnsi);
    WideNames names;
    if (!ToWide(section, key, names))
        return FALSE;
    return WritePrivateProfileStructW(names.section, names.key, bytes, size, g_settingsPath);
}

BOOL ReadSettingRecord(const char* section, const char* key, PlacementRecord& record)
{
    const auto size = static_cast<UINT>(record.size());
    if (UseAnsiPath())
        return GetPrivateProfileStructA(section, key, record.data(), size, g_settingsPathAnsi);
    WideNames names;
    if (!ToWide(section, key, names))
        return FALSE;
    return GetPrivateProfileStructW(names.section, names.key, record.data(), size, g_settingsPath);
}

bool ReadSettingSection(const char* section, SettingSection& out)
{
    out = {};
    WideNames names;
    if (!UseAnsiPath() && !ToWide(section, nullptr, names))
        return false;
    // A full buffer reads size - 2 even when the section fits it exactly:
    // the read is made again in one twice as large.
    for (DWORD size = FirstSectionSize(); size <= kMaxSectionSize; size *= 2) {
        if (UseAnsiPath() ? ReadAnsiSection(section, size, out) : ReadWideSection(names.section, size, out))
            return true;
        FreeSettingSection(out);
    }
    return false;
}

void FreeSettingSection(SettingSection& section)
{
    if (section.text != nullptr)
        GlobalFree(section.text);
    section = {};
}

BOOL WriteSettingSection(const char* section, std::string_view entries)
{
    if (entries.empty())
        return TRUE;
    // Windows documents 65,535 bytes for a section write's text (a wide
    // text takes at most two bytes for each byte here). A longer one is
    // written whole where the platform takes it, which its last key reading
    // back as written confirms; where it did not land whole, the entries up
    // to that size go in one write and the rest key by key.
    const size_t limit = UseAnsiPath() ? kSectionWriteBytes : kSectionWriteBytes / sizeof(wchar_t);
    const bool whole = WriteSectionText(section, entries) != FALSE;
    if (whole && (entries.size() < limit || LastEntryLanded(section, entries)))
        return TRUE;
    const size_t fits = SectionPrefixThatFits(entries, limit);
    bool written = fits == 0 || WriteSectionText(section, {entries.data(), fits});
    for (size_t at = fits; at < entries.size();) {
        const std::string_view entry(entries.data() + at);
        std::string_view key, value;
        char keyText[kDecimalTextSize];
        if (SplitSectionEntry(entry, key, value) && CopyKey(key, keyText))
            written = WriteSettingText(section, keyText, value.data()) && written;
        at += entry.size() + 1;
    }
    return written ? TRUE : FALSE;
}
