#include "time_item_draw.h"

#include "../res/resource.h"
#include "../timetext/time_text.h"
#include "control_text.h"

namespace {
// Text cell height that the vertical centring assumes.
constexpr int kTextHeight = 12;
constexpr int kTextLeft = 1;

// The item being drawn; it holds any item text of the list.
char g_drawBuffer[kTimeTextSize];
}

void MeasureTimeItem(MEASUREITEMSTRUCT* measure)
{
    measure->itemHeight = TIME_ITEM_HEIGHT;
}

BOOL DrawTimeItem(const DRAWITEMSTRUCT* draw)
{
    if (draw->itemID == static_cast<UINT>(-1))
        return FALSE;
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    SetTextColor(draw->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkColor(draw->hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    size_t length = FetchTimeItemText(draw->hwndItem, static_cast<int>(draw->itemID), g_drawBuffer,
                                      sizeof g_drawBuffer);
    int y = (draw->rcItem.top + draw->rcItem.bottom - kTextHeight) / 2;
    ExtTextOutA(draw->hDC, kTextLeft, y, ETO_OPAQUE, &draw->rcItem, g_drawBuffer, static_cast<UINT>(length),
                nullptr);
    return TRUE;
}
