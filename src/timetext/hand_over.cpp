#include "hand_over.h"

#include <cstring>

#include "../settings/profile.h"
#include "../settings/settings_keys.h"
#include "time_text.h"

namespace {
constexpr const char* kFieldKeys[kTimeFieldCount] = {kKeyMeasure, kKeyBeat, kKeyTick};
}

void ResetHandOver()
{
    WriteSettingText(kSectionTemp, kKeyMeasure, "1");
    WriteSettingText(kSectionTemp, kKeyBeat, "1");
    WriteSettingText(kSectionTemp, kKeyTick, "0");
}

void StoreTimeText(HWND dialog, const char* text)
{
    TimeFields fields = SplitTimeText(text);
    // Fields the text leaves out read as the song start.
    ResetHandOver();
    for (size_t k = 0; k < fields.count; ++k) {
        char value[kTimeFieldMax + 1];
        std::memcpy(value, fields.field[k].data(), fields.field[k].size());
        value[fields.field[k].size()] = '\0';
        WriteSettingText(kSectionTemp, kFieldKeys[k], value);
    }
    if (fields.tooLong)
        ResetHandOver();
    EndDialog(dialog, 1);
}
