#include "setup/pages/list_row.h"

#include <algorithm>

#include "engine/common_controls.h"
#include "setup/backdrop.h"

namespace {
constexpr int ICON_SIZE = 16;
constexpr int ICON_SLOT = 18;
constexpr int TEXT_INSET = 2;
constexpr int TEXT_BOX_PADDING = 5;
} // namespace

void drawListRow(const DRAWITEMSTRUCT& item, int x, int icon, const char* text)
{
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    // Selection and focus changes redraw a row without erasing it: the icon's
    // square is cleared first, or its half-transparent edges would darken
    // with every redraw.
    const RECT iconSquare = {x, item.rcItem.top, x + ICON_SIZE,
                             std::min<LONG>(item.rcItem.top + ICON_SIZE, item.rcItem.bottom)};
    SetBkColor(item.hDC, listColors[LIST_BACK]);
    ExtTextOutA(item.hDC, 0, 0, ETO_OPAQUE, &iconSquare, nullptr, 0, nullptr);
    if (icon >= 0) {
        drawImageListIcon(systemSmallImageList, icon, item.hDC, x, item.rcItem.top,
                          selected ? ILD_SELECTED : ILD_NORMAL);
    }
    SetTextColor(item.hDC, listColors[selected ? LIST_SELECTED_TEXT : LIST_TEXT]);
    SetBkColor(item.hDC, listColors[selected ? LIST_SELECTED_BACK : LIST_BACK]);
    const int length = lstrlenA(text);
    SIZE extent = {};
    GetTextExtentPoint32A(item.hDC, text, length, &extent);
    const RECT box = {x + ICON_SLOT, item.rcItem.top, x + ICON_SLOT + extent.cx + TEXT_BOX_PADDING, item.rcItem.bottom};
    ExtTextOutA(item.hDC, x + ICON_SLOT + TEXT_INSET, item.rcItem.top + 1, ETO_OPAQUE | ETO_CLIPPED, &box, text,
                static_cast<UINT>(length), nullptr);
    if (item.itemState & ODS_FOCUS) {
        DrawFocusRect(item.hDC, &box);
    }
}
