#include "app/dialogs/EntryListBox.h"

#include <windowsx.h>

#include <new>
#include <vector>

namespace {

constexpr UINT kMeasureFlags = DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK;
constexpr UINT kDrawFlags = DT_EXPANDTABS | DT_WORDBREAK;
// A list box keeps a row's height in one byte: a taller row would wrap round
// to a sliver.
constexpr UINT kTallestRow = 255;

// Fills `area` with `colour`, which stays the device context's background colour.
void FillSolid(HDC dc, const RECT& area, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

}  // namespace

void EntryListBox::SetImageList(HIMAGELIST list) {
    imageList = list;
    int width = 0;
    int height = 0;
    if (imageList && ImageList_GetIconSize(imageList, &width, &height)) {
        iconWidth = width;
        iconHeight = height;
    } else {
        iconWidth = 0;
        iconHeight = 0;
    }
    if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

int EntryListBox::AddItem(const std::string& text, int32_t imageIndex) {
    if (!Handle()) return LB_ERR;
    const int position = static_cast<int>(
        SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    if (position == LB_ERR || position == LB_ERRSPACE) return position;
    ItemRecord* record = new (std::nothrow) ItemRecord;
    if (record) {
        record->imageIndex = imageIndex;
        // The row owns the record from here on (ReleaseRecords); a row that does
        // not take it must not leak it.
        if (SendMessageA(Handle(), LB_SETITEMDATA, position, reinterpret_cast<LPARAM>(record)) ==
            LB_ERR) {
            delete record;
        }
    }
    // The analyser cannot follow the record into the row's item data.
    return position;  // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks)
}

void EntryListBox::ResetContent() {
    ReleaseRecords();
    if (Handle()) SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

bool EntryListBox::IsItemEnabled(int position) const {
    const ItemRecord* record = RecordOf(position);
    return !record || (record->stateFlags & kItemDisabled) == 0;
}

int EntryListBox::CurrentSelection() const {
    if (!Handle()) return LB_ERR;
    return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void EntryListBox::SetCurrentSelection(int position) {
    if (Handle()) SendMessageA(Handle(), LB_SETCURSEL, position, 0);
}

// The height comes from the window's own device context, without the list's
// font; the icon sets the minimum.
void EntryListBox::MeasureItem(MEASUREITEMSTRUCT& item) const {
    const std::string text = ItemText(static_cast<int>(item.itemID));
    // The width to wrap at is the list's own: Windows offers exactly that in
    // itemWidth, other implementations leave the field unset.
    RECT client = {0, 0, 0, 0};
    GetClientRect(Handle(), &client);
    RECT bounds = {0, 0, client.right - client.left, static_cast<LONG>(item.itemHeight)};
    int height = 0;
    if (HDC dc = GetDC(Handle())) {
        DrawTextA(dc, text.c_str(), -1, &bounds, kMeasureFlags);
        height = Height(bounds);
        ReleaseDC(Handle(), dc);
    }
    if (imageList && iconHeight + 4 > height) height = iconHeight + 4;
    const UINT rowHeight = static_cast<UINT>(height + 4);
    item.itemHeight = rowHeight < kTallestRow ? rowHeight : kTallestRow;
}

void EntryListBox::DrawItem(const DRAWITEMSTRUCT& item) {
    const COLORREF windowColour = GetSysColor(COLOR_WINDOW);
    const COLORREF highlightColour = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF textColour = GetSysColor(COLOR_WINDOWTEXT);

    const int position = static_cast<int>(item.itemID);
    const ItemRecord* record = RecordOf(position);
    if (!record) return;

    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool disabled =
        (item.itemState & ODS_DISABLED) != 0 || (record->stateFlags & kItemDisabled) != 0;
    HDC dc = item.hDC;
    const RECT& rowArea = item.rcItem;
    SetBkMode(dc, TRANSPARENT);

    RECT iconArea = {0, 0, 0, 0};
    if (imageList) {
        iconArea = {rowArea.left, rowArea.top, rowArea.left + iconWidth + 6,
                    rowArea.top + iconHeight + 4};
    }
    RECT textArea = rowArea;
    textArea.left = iconArea.right;

    const std::string text = ItemText(position);
    RECT textBounds = textArea;
    DrawTextA(dc, text.c_str(), -1, &textBounds, kMeasureFlags | record->formatFlags);
    OffsetRect(&textBounds, 0, (Height(textArea) - Height(textBounds)) / 2);

    if (imageList) {
        const RECT iconColumn = {iconArea.left, iconArea.top, iconArea.right,
                                 iconArea.top + Height(rowArea)};
        FillIconBackground(position, dc, rowArea, iconColumn, disabled, selected,
                           selected && !disabled ? highlightColour : windowColour);
    }

    COLORREF foreground = textColour;
    COLORREF background = windowColour;
    if (disabled) {
        foreground = GetSysColor(COLOR_GRAYTEXT);
    } else if (selected) {
        foreground = ~textColour & 0xFFFFFF;
        background = highlightColour;
    }
    FillTextBackground(position, dc, rowArea, textArea, disabled, selected, background);

    if (imageList) {
        DrawItemImage(position, dc, rowArea, iconArea, record->imageIndex, disabled, selected);
    }

    SetTextColor(dc, foreground);
    DrawTextA(dc, text.c_str(), -1, &textBounds, kDrawFlags | record->formatFlags);

    if (focused && !disabled) DrawFocusRect(dc, &rowArea);
}

bool EntryListBox::ConsumeDoubleClick() const {
    if (!Handle()) return false;
    const DWORD cursor = GetMessagePos();
    POINT point = {GET_X_LPARAM(cursor), GET_Y_LPARAM(cursor)};
    ScreenToClient(Handle(), &point);
    const LRESULT hit = SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    const bool onItem = HIWORD(hit) == 0;
    return onItem && !IsItemEnabled(LOWORD(hit));
}

int EntryListBox::FillTextBackground(int, HDC dc, const RECT&, const RECT& area, bool, bool,
                                     COLORREF colour) {
    FillSolid(dc, area, colour);
    return 0;
}

int EntryListBox::FillIconBackground(int, HDC dc, const RECT&, const RECT& area, bool, bool,
                                     COLORREF colour) {
    FillSolid(dc, area, colour);
    return 0;
}

int EntryListBox::DrawItemImage(int, HDC dc, const RECT&, const RECT& iconArea, int32_t imageIndex,
                                bool disabled, bool) {
    HICON icon = ImageList_GetIcon(imageList, imageIndex, ILD_NORMAL);
    if (!icon) return 0;
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, iconArea.left + 3,
               iconArea.top + 2, iconWidth, iconHeight,
               DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
    DestroyIcon(icon);
    return 0;
}

LRESULT EntryListBox::WindowProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) ReleaseRecords();
    return DefaultProcedure(message, wParam, lParam);
}

// Rows without a record hold 0; a position that names no row (the focus
// drawing of an empty list uses -1) answers LB_ERR, which is no record either.
EntryListBox::ItemRecord* EntryListBox::RecordOf(int position) const {
    if (!Handle() || position < 0) return nullptr;
    const LRESULT data = SendMessageA(Handle(), LB_GETITEMDATA, position, 0);
    if (data == 0 || data == LB_ERR) return nullptr;
    return reinterpret_cast<ItemRecord*>(data);
}

std::string EntryListBox::ItemText(int position) const {
    if (!Handle() || position < 0) return std::string();
    const LRESULT length = SendMessageA(Handle(), LB_GETTEXTLEN, position, 0);
    if (length == LB_ERR || length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const LRESULT copied =
        SendMessageA(Handle(), LB_GETTEXT, position, reinterpret_cast<LPARAM>(buffer.data()));
    if (copied == LB_ERR || copied <= 0) return std::string();
    return std::string(buffer.data(), static_cast<size_t>(copied));
}

void EntryListBox::ReleaseRecords() {
    if (!Handle()) return;
    const LRESULT count = SendMessageA(Handle(), LB_GETCOUNT, 0, 0);
    for (int position = static_cast<int>(count) - 1; position >= 0; --position) {
        delete RecordOf(position);
        SendMessageA(Handle(), LB_SETITEMDATA, position, 0);
    }
}
