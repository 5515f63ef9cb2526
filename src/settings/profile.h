// The six operations on Tarvix.ini, always through the platform's profile
// functions and the path ResolveSettingsPath found. With no usable path,
// reads give their defaults and writes fail.
#pragma once
#include <windows.h>

#include "placement_record.h"

int ReadSettingInt(const char* section, const char* key, int fallback);
// Returns the number of bytes copied into buffer (at most size - 1).
DWORD ReadSettingText(const char* section, const char* key, const char* fallback, char* buffer, DWORD size);
BOOL WriteSettingText(const char* section, const char* key, const char* value);
BOOL DeleteSettingSection(const char* section);
BOOL WriteSettingRecord(const char* section, const char* key, const PlacementRecord& record);
// False when there is no usable path or the platform refuses the stored
// record (wrong length or checksum); record may then hold anything.
BOOL ReadSettingRecord(const char* section, const char* key, PlacementRecord& record);
