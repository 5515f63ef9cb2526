#include "placement.h"

#include "../res/resource.h"
#include "../settings/placement_record.h"
#include "../settings/profile.h"
#include "../settings/settings_keys.h"

namespace {
// Would the dialog, moved to left/top at its present size, be seen on any monitor?
bool IsOnSomeMonitor(HWND dialog, LONG left, LONG top)
{
    RECT window;
    GetWindowRect(dialog, &window);
    RECT moved = {left, top, left + (window.right - window.left), top + (window.bottom - window.top)};
    return MonitorFromRect(&moved, MONITOR_DEFAULTTONULL) != nullptr;
}
}

void RestoreTimeDialogPlacement(HWND dialog)
{
    PlacementRecord record{};
    // A record the platform refuses (damaged, hand-edited) counts as none,
    // whatever the failed read left in the buffer.
    if (!ReadSettingRecord(kSectionMainWindow, kKeyPlacement, record))
        record = {};
    Placement placement = UnpackPlacement(record);
    if (!placement.restore)
        return;
    CheckMenuItem(GetSystemMenu(dialog, FALSE), IDM_TIME_SAVE_POSITION, MF_BYCOMMAND | MF_CHECKED);
    // A place left behind on a monitor that is gone would hide the dialog.
    if (IsOnSomeMonitor(dialog, placement.left, placement.top))
        SetWindowPos(dialog, nullptr, placement.left, placement.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

bool IsSavePositionChecked(HWND dialog)
{
    UINT state = GetMenuState(GetSystemMenu(dialog, FALSE), IDM_TIME_SAVE_POSITION, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

bool SaveTimeDialogPlacement(HWND dialog)
{
    RECT window;
    GetWindowRect(dialog, &window);
    return WriteSettingRecord(kSectionMainWindow, kKeyPlacement,
                       PackPlacement({IsSavePositionChecked(dialog), window.left, window.top})) != FALSE;
}
