#include "hand_over.h"

#include <cstring>

#include "../module/module_state.h"
#include "../settings/decimal_text.h"
#include "../settings/profile.h"
#include "../settings/settings_keys.h"
#include "time_text.h"

namespace {
constexpr const char* kKeys[kHandOverValues] = {kKeyMeasure, kKeyBeat, kKeyTick};
constexpr int32_t kDefaults[kHandOverValues] = {kDefaultMeasure, kDefaultBeat, kDefaultTick};
}

bool WriteHandOver(HandOverValue which, const char* value)
{
    const bool written = WriteSettingText(kSectionTemp, kKeys[which], value) != FALSE;
    g_heldHandOver[which] = {!written, ParseDecimal(value, kDefaults[which])};
    if (!written)
        KeepModuleLoaded();
    return written;
}

int32_t ReadHandOver(HandOverValue which)
{
    const HeldValue& held = g_heldHandOver[which];
    return held.held ? held.value : ReadSettingInt(kSectionTemp, kKeys[which], kDefaults[which]);
}

bool ResetHandOver()
{
    bool written = WriteHandOver(kHandOverMeasure, "1");
    written &= WriteHandOver(kHandOverBeat, "1");
    written &= WriteHandOver(kHandOverTick, "0");
    return written;
}

bool StoreTimeText(const char* text)
{
    TimeFields fields = SplitTimeText(text);
    // Fields the text leaves out read as the song start.
    bool written = ResetHandOver();
    for (size_t k = 0; k < fields.count; ++k) {
        char value[kTimeFieldMax + 1];
        std::memcpy(value, fields.field[k].data(), fields.field[k].size());
        value[fields.field[k].size()] = '\0';
        written &= WriteHandOver(static_cast<HandOverValue>(k), value);
    }
    if (fields.tooLong)
        written &= ResetHandOver();
    return written;
}
