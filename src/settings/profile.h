// The operations on Tarvix.ini, always through the platform's profile
// functions and the path ResolveSettingsPath found: the A functions with the
// ANSI path wherever it reaches the file, else the W functions with the
// Unicode path, every text crossing with the ANSI code page. Callers see
// ANSI texts either way. With no usable path, reads give their defaults and
// writes fail.
#pragma once
#include <windows.h>

#include <string_view>

#include "placement_record.h"

int ReadSettingInt(const char* section, const char* key, int fallback);
// Returns the number of bytes copied into buffer (at most size - 1), cut
// between whole characters.
DWORD ReadSettingText(const char* section, const char* key, const char* fallback, char* buffer, DWORD size);
BOOL WriteSettingText(const char* section, const char* key, const char* value);
BOOL DeleteSettingSection(const char* section);
BOOL WriteSettingRecord(const char* section, const char* key, const PlacementRecord& record);
// False when there is no usable path or the platform refuses the stored
// record (wrong length or checksum); record may then hold anything.
BOOL ReadSettingRecord(const char* section, const char* key, PlacementRecord& record);

// A whole section as one read lists it: "key=value" entries, each ended by
// a NUL (text[length] is the final NUL). Free it with FreeSettingSection.
struct SettingSection {
    char* text;
    size_t length;
    // Windows before 7 stops a section read at 32,767 characters; a read
    // that ends near there may have lost entries and be cut inside its last.
    bool mayBeCut;
};
// False, with an empty section, when the section could not be read whole.
bool ReadSettingSection(const char* section, SettingSection& out);
void FreeSettingSection(SettingSection& section);
// Replaces a section's keys with entries (a section text, without its final
// NUL) in one section write; entries past the 65,535 bytes that Windows
// documents for one are written key by key after it.
BOOL WriteSettingSection(const char* section, std::string_view entries);
