// SetMeas and GetBeatAndTick: the hand-over position in section Temp.
#include "../module/module_state.h"
#include "../settings/decimal_text.h"
#include "../timetext/hand_over.h"
#include "beat_tick.h"
#include "exports.h"

int WINAPI SetMeas(int measure)
{
    char text[kDecimalTextSize];
    FormatDecimal(measure, text, sizeof text);
    ResolveSettingsPath();
    return WriteHandOver(kHandOverMeasure, text) ? TRUE : FALSE;
}

int WINAPI GetBeatAndTick()
{
    ResolveSettingsPath();
    int beat = ReadHandOver(kHandOverBeat);
    int tick = ReadHandOver(kHandOverTick);
    if (beat < 1)
        beat = 1;
    if (tick < 0)
        tick = 0;
    return EncodeBeatTick(beat, tick);
}
