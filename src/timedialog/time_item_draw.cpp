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

// The height of a line of the font selected into dc; 0 when unknown.
int LineHeight(HDC dc)
{
    TEXTMETRICW metrics{};
    return GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 0;
}

// A line of the dialog's font: 13 pixels at 96 DPI, 20 at 144 DPI.
int DialogLineHeight(HWND dialog)
{
    HDC dc = GetDC(dialog);
    if (dc == nullptr)
        return 0;
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    const int height = LineHeight(dc);
    if (old != nullptr)
        SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    return height;
}

// The text cell the vertical centring assumes: the design's in items of the
// design's height, a line of the list's font in items made taller for it.
int TextCellHeight(const DRAWITEMSTRUCT* draw)
{
    const int lineHeight = draw->rcItem.bottom - draw->rcItem.top > TIME_ITEM_HEIGHT ? LineHeight(draw->hDC) : 0;
    return lineHeight > kTextHeight ? lineHeight : kTextHeight;
}
}

void MeasureTimeItem(HWND dialog, MEASUREITEMSTRUCT* measure)
{
    const int lineHeight = DialogLineHeight(dialog);
    measure->itemHeight = static_cast<UINT>(lineHeight > TIME_ITEM_HEIGHT ? lineHeight : TIME_ITEM_HEIGHT);
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
    int y = (draw->rcItem.top + draw->rcItem.bottom - TextCellHeight(draw)) / 2;
    ExtTextOutA(draw->hDC, kTextLeft, y, ETO_OPAQUE, &draw->rcItem, g_drawBuffer, static_cast<UINT>(length),
                nullptr);
    // The whole item is drawn again for every action, a focus change
    // (ODA_FOCUS) included, so the rectangle is drawn once or not at all.
    if ((draw->itemState & (ODS_FOCUS | ODS_NOFOCUSRECT)) == ODS_FOCUS)
        DrawFocusRect(draw->hDC, &draw->rcItem);
    return TRUE;
}
