// SetMeas and GetBeatAndTick: the hand-over position in section Temp.
#include "../settings/decimal_text.h"
#include "../settings/profile.h"
#include "../settings/settings_keys.h"
#include "beat_tick.h"
#include "exports.h"
#include "../module/module_state.h"

int WINAPI SetMeas(int measure)
{
    char text[kDecimalTextSize];
    FormatDecimal(measure, text, sizeof text);
    ResolveSettingsPath();
    return WriteSettingText(kSectionTemp, kKeyMeasure, text);
}

int WINAPI GetBeatAndTick()
{
    ResolveSettingsPath();
    int beat = ReadSettingInt(kSectionTemp, kKeyBeat, kDefaultBeat);
    int tick = ReadSettingInt(kSectionTemp, kKeyTick, kDefaultTick);
    if (beat < 1)
        beat = 1;
    if (tick < 0)
        tick = 0;
    return EncodeBeatTick(beat, tick);
}
