// The owner-drawn package list: rows, their records, heights and colours.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/dialogs/EntryListBox.h"

namespace {

EntryListBox* listUnderTest = nullptr;

// Stands in for the dialog: hands the list its own measure and draw requests.
LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MEASUREITEM && listUnderTest) {
        listUnderTest->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    }
    if (message == WM_DRAWITEM && listUnderTest) {
        listUnderTest->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class EntryListBoxTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 300;

    EntryListBoxTest() {
        InitCommonControls();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = OwnerProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "PakwerkListOwner";
        RegisterClassA(&windowClass);
        owner = CreateWindowExA(0, "PakwerkListOwner", "", WS_POPUP, 0, 0, kWidth + 50, 300,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        HWND list = CreateWindowExA(0, "LISTBOX", "",
                                    WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_OWNERDRAWVARIABLE |
                                        LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                                    0, 0, kWidth, 200, owner, reinterpret_cast<HMENU>(1002),
                                    GetModuleHandleA(nullptr), nullptr);
        entries.Attach(list);
        entries.Subclass();
        listUnderTest = &entries;
        images = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 5, 1);
    }
    void SetUp() override {
        ASSERT_NE(nullptr, entries.Handle())
            << "windows need a display: run with DISPLAY set (Xvfb)";
    }

    ~EntryListBoxTest() override {
        DestroyWindow(owner);
        listUnderTest = nullptr;
        ImageList_Destroy(images);
    }

    int RowHeight(int position) const {
        return static_cast<int>(SendMessageA(entries.Handle(), LB_GETITEMHEIGHT, position, 0));
    }
    std::string RowText(int position) const {
        char text[256] = {};
        SendMessageA(entries.Handle(), LB_GETTEXT, position, reinterpret_cast<LPARAM>(text));
        return text;
    }

    HWND owner = nullptr;
    HIMAGELIST images = nullptr;
    EntryListBox entries;
};

TEST_F(EntryListBoxTest, RowsKeepTheirOrderAndAreEnabled) {
    EXPECT_EQ(0, entries.AddItem("Zug", 0));
    EXPECT_EQ(1, entries.AddItem("Bahnhof", 0));
    EXPECT_EQ(2, entries.AddItem("Anlage", 0));
    EXPECT_EQ("Zug", RowText(0));
    EXPECT_EQ("Anlage", RowText(2));
    EXPECT_TRUE(entries.IsItemEnabled(0));
    EXPECT_TRUE(entries.IsItemEnabled(2));
    EXPECT_TRUE(entries.IsItemEnabled(7)) << "a position without a row has no record";
}

TEST_F(EntryListBoxTest, ResetContentEmptiesTheList) {
    entries.AddItem("a", 0);
    entries.AddItem("b", 0);
    entries.ResetContent();
    EXPECT_EQ(0, SendMessageA(entries.Handle(), LB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, entries.AddItem("c", 0));
}

TEST_F(EntryListBoxTest, RowHeights) {
    entries.AddItem("ohne Bild", 0);
    const int plainRow = RowHeight(0);
    HDC dc = GetDC(entries.Handle());
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(entries.Handle(), dc);
    EXPECT_EQ(metrics.tmHeight + 4, plainRow) << "one line of the window's own font and 4";

    entries.SetImageList(images);
    entries.AddItem("kurz", 0);
    EXPECT_EQ(40, RowHeight(1)) << "the 32-pixel icon, 4 around it and 4 more";

    std::string longName;
    for (int i = 0; i < 12; ++i) longName += "Empfangsgebaeude ";
    entries.AddItem(longName, 0);
    EXPECT_GT(RowHeight(2), 40) << "a name that wraps makes a taller row";

    std::string hugeName;
    for (int i = 0; i < 40; ++i) hugeName += "Zeile\n";
    entries.AddItem(hugeName, 0);
    EXPECT_EQ(255, RowHeight(3)) << "the tallest row a list box can hold";
}

// Draws row `position` in `state` into a bitmap and returns the colour at (x, y).
class RowPainting : public EntryListBoxTest {
protected:
    COLORREF Draw(int position, UINT state, int x, int y) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, 60);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, kWidth, 60};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_LISTBOX;
        item.itemID = static_cast<UINT>(position);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = entries.Handle();
        item.hDC = dc;
        item.rcItem = {0, 0, kWidth, 40};
        entries.DrawItem(item);

        const COLORREF colour = GetPixel(dc, x, y);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return colour;
    }
};

TEST_F(RowPainting, BackgroundFollowsSelectionUnlessDisabled) {
    entries.SetImageList(images);
    entries.AddItem("Bahnhof", 0);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    struct Case {
        const char* behaviour;
        UINT state;
        COLORREF background;
    };
    const Case cases[] = {
        {"plain row", 0, window},
        {"selected row", ODS_SELECTED, highlight},
        {"disabled row, even when selected", ODS_SELECTED | ODS_DISABLED, window},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.background, Draw(0, c.state, 1, 38)) << c.behaviour << ": icon column";
        EXPECT_EQ(c.background, Draw(0, c.state, kWidth - 2, 1)) << c.behaviour << ": text column";
    }
}

TEST_F(RowPainting, NothingIsDrawnForAPositionWithoutRow) {
    entries.SetImageList(images);
    entries.AddItem("Bahnhof", 0);
    EXPECT_EQ(RGB(0, 0, 0), Draw(-1, ODS_FOCUS, kWidth / 2, 20));
    EXPECT_EQ(RGB(0, 0, 0), Draw(5, ODS_SELECTED, kWidth / 2, 20));
}

}  // namespace
