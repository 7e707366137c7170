// The package list of the selection dialog: an owner-drawn list box with
// rows of variable height, each an icon from an image list beside its
// word-wrapped text.
//
// Every row added with AddItem owns an ItemRecord (its image, extra DrawText
// flags and state); the records are released by ResetContent and when the
// list window is destroyed. The dialog binds the list to its control,
// subclasses it, and hands it the list's WM_MEASUREITEM and WM_DRAWITEM and
// its double-click notification.
//
//   AddItem             the new row's position; LB_ERR or LB_ERRSPACE when the
//                       text could not be added (the row then has no record,
//                       as also when the record could not be allocated)
//   IsItemEnabled       true for a row without record or without kItemDisabled
//   ConsumeDoubleClick  true when the double-click hit a disabled row, so the
//                       notification goes no further
//   the drawing steps   return 0
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "app/dialogs/Control.h"

class EntryListBox : public Control {
public:
    struct ItemRecord {
        int32_t imageIndex = 0;
        uint32_t formatFlags = 0;  // DrawText flags added when the row's text is drawn
        uint32_t stateFlags = 0;   // kItemDisabled
    };
    static constexpr uint32_t kItemDisabled = 1;

    EntryListBox() = default;
    ~EntryListBox() override = default;

    void SetImageList(HIMAGELIST list);
    int AddItem(const std::string& text, int32_t imageIndex);
    void ResetContent();
    bool IsItemEnabled(int position) const;

    int CurrentSelection() const;
    void SetCurrentSelection(int position);

    void MeasureItem(MEASUREITEMSTRUCT& item) const;
    void DrawItem(const DRAWITEMSTRUCT& item);
    bool ConsumeDoubleClick() const;

protected:
    virtual int FillTextBackground(int position, HDC dc, const RECT& item, const RECT& area,
                                   bool disabled, bool selected, COLORREF colour);
    virtual int FillIconBackground(int position, HDC dc, const RECT& item, const RECT& area,
                                   bool disabled, bool selected, COLORREF colour);
    virtual int DrawItemImage(int position, HDC dc, const RECT& item, const RECT& iconArea,
                              int32_t imageIndex, bool disabled, bool selected);

    LRESULT WindowProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    ItemRecord* RecordOf(int position) const;
    std::string ItemText(int position) const;
    void ReleaseRecords();

    HIMAGELIST imageList = nullptr;
    int32_t iconWidth = 0;
    int32_t iconHeight = 0;
};
