#include "automation/WindowQuery.h"

#include "automation/RemoteMemory.h"
#include "automation/Utf8.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

namespace automation {
namespace {

struct EnumState {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
    auto* state = reinterpret_cast<EnumState*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((state->processId == 0 || owner == state->processId) && IsWindowVisible(window)) {
        state->windows.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!IsWindow(window)) return std::nullopt;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                             &result)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

// Room for one list view text in the list's process, after the structure
// that names it.
constexpr size_t kTextChars = 1024;

// One text a list view gives through a structure of type Item that points
// to a buffer (LVCOLUMNW for LVM_GETCOLUMNW, LVITEMW for LVM_GETITEMTEXTW):
// `item` is filled in but for the buffer, sent with `message` and `wParam`,
// and the buffer, emptied before, read back up to its end. Only a message
// left unanswered fails: an empty text is an answer.
template <typename Item>
std::optional<std::wstring> RemoteText(HWND list, UINT message, WPARAM wParam, Item item) {
    RemoteMemory memory(list, sizeof(Item) + kTextChars * sizeof(wchar_t));
    const wchar_t empty = L'\0';
    item.pszText = reinterpret_cast<wchar_t*>(memory.At(sizeof(Item)));
    item.cchTextMax = kTextChars;
    if (!memory.Write(0, &item, sizeof item) || !memory.Write(sizeof(Item), &empty, sizeof empty) ||
        !Ask(list, message, wParam, memory.At(0))) {
        return std::nullopt;
    }
    std::wstring text(kTextChars, L'\0');
    if (!memory.Read(sizeof(Item), &text[0], kTextChars * sizeof(wchar_t))) return std::nullopt;
    text.resize(std::min(text.find(L'\0'), kTextChars - 1));
    return text;
}

std::optional<int> ColumnCount(HWND list) {
    const auto header = Ask(list, LVM_GETHEADER, 0, 0);
    if (!header || *header == 0) return std::nullopt;
    const auto count = Ask(reinterpret_cast<HWND>(*header), HDM_GETITEMCOUNT, 0, 0);
    if (!count || *count < 0) return std::nullopt;
    return static_cast<int>(*count);
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId) {
    EnumState state{processId, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.windows;
}

HWND FindDialog(DWORD processId, const std::function<bool(HWND)>& test) {
    for (HWND window : TopLevelWindows(processId)) {
        if (IsDialog(window) && test(window)) return window;
    }
    return nullptr;
}

std::string ClassName(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsDialog(HWND window) {
    return ClassName(window) == kDialogClass;
}

// Dialogs give their unnamed statics the id 0xFFFF too (an id of -1), so the
// icon static, which every message box has, tells them apart.
bool IsMessageBox(HWND window) {
    return IsDialog(window) && HasControl(window, kMessageBoxTextId) &&
           HasControl(window, kMessageBoxIconId);
}

bool HasControl(HWND dialog, int id) {
    return GetDlgItem(dialog, id) != nullptr;
}

std::optional<std::wstring> WindowText(HWND window) {
    const auto length = Ask(window, WM_GETTEXTLENGTH, 0, 0);
    if (!length) return std::nullopt;
    std::wstring text(static_cast<size_t>(*length) + 1, L'\0');
    const auto copied = Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    if (!copied) return std::nullopt;
    text.resize(static_cast<size_t>(*copied));
    return text;
}

std::optional<std::wstring> ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) return std::nullopt;
    return WindowText(control);
}

std::vector<std::wstring> ControlTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (HWND child : Children(dialog)) {
        if (GetParent(child) != dialog) continue;
        if (const auto text = WindowText(child)) texts.push_back(*text);
    }
    return texts;
}

std::optional<std::wstring> MessageBoxText(HWND box) {
    return ControlText(box, kMessageBoxTextId);
}

std::vector<int> ButtonIds(HWND dialog) {
    std::vector<int> ids;
    for (HWND child : Children(dialog)) {
        if (GetParent(child) != dialog || !IsWindowVisible(child)) continue;
        if (ClassName(child) != "Button") continue;
        const LONG style = GetWindowLongA(child, GWL_STYLE) & 0x0F;
        if (style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON) ids.push_back(GetDlgCtrlID(child));
    }
    return ids;
}

std::optional<bool> MessageBoxHasIcon(HWND box) {
    HWND icon = GetDlgItem(box, kMessageBoxIconId);
    if (!icon) return false;
    const auto handle = Ask(icon, STM_GETICON, 0, 0);
    if (!handle) return std::nullopt;
    return *handle != 0 && IsWindowVisible(icon);
}

std::optional<std::vector<std::wstring>> ListItems(HWND list) {
    const auto count = Ask(list, LB_GETCOUNT, 0, 0);
    if (!count || *count < 0) return std::nullopt;
    std::vector<std::wstring> items;
    for (LRESULT i = 0; i < *count; ++i) {
        const auto length = Ask(list, LB_GETTEXTLEN, i, 0);
        if (!length || *length < 0) return std::nullopt;
        std::wstring text(static_cast<size_t>(*length) + 1, L'\0');
        const auto copied = Ask(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        if (!copied || *copied < 0) return std::nullopt;
        text.resize(static_cast<size_t>(*copied));
        items.push_back(text);
    }
    return items;
}

std::optional<int> ListSelection(HWND list) {
    const auto selection = Ask(list, LB_GETCURSEL, 0, 0);
    if (!selection) return std::nullopt;
    return static_cast<int>(*selection);
}

std::optional<std::vector<std::wstring>> ListViewColumns(HWND list) {
    const auto count = ColumnCount(list);
    if (!count) return std::nullopt;
    std::vector<std::wstring> titles;
    for (int column = 0; column < *count; ++column) {
        LVCOLUMNW item = {};
        item.mask = LVCF_TEXT;
        const auto title = RemoteText(list, LVM_GETCOLUMNW, column, item);
        if (!title) return std::nullopt;
        titles.push_back(*title);
    }
    return titles;
}

std::optional<std::vector<std::vector<std::wstring>>> ListViewRows(HWND list) {
    const auto columns = ColumnCount(list);
    const auto count = Ask(list, LVM_GETITEMCOUNT, 0, 0);
    if (!columns || !count || *count < 0) return std::nullopt;
    std::vector<std::vector<std::wstring>> rows;
    for (LRESULT row = 0; row < *count; ++row) {
        rows.emplace_back();
        for (int column = 0; column < *columns; ++column) {
            LVITEMW item = {};
            item.iSubItem = column;
            const auto text = RemoteText(list, LVM_GETITEMTEXTW, row, item);
            if (!text) return std::nullopt;
            rows.back().push_back(*text);
        }
    }
    return rows;
}

std::optional<int> ListViewSelection(HWND list) {
    const auto selection =
        Ask(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0));
    if (!selection) return std::nullopt;
    return static_cast<int>(*selection);
}

std::optional<int> DefaultButton(HWND dialog) {
    for (HWND child : Children(dialog)) {
        if (GetParent(child) != dialog || !IsWindowVisible(child)) continue;
        if (ClassName(child) != "Button") continue;
        if ((GetWindowLongA(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) {
            return GetDlgCtrlID(child);
        }
    }
    return std::nullopt;
}

std::optional<int> ProgressPosition(HWND bar) {
    const auto position = Ask(bar, PBM_GETPOS, 0, 0);
    if (!position) return std::nullopt;
    return static_cast<int>(*position);
}

std::string Describe(DWORD processId) {
    std::string out;
    char line[512];
    for (HWND window : TopLevelWindows(processId)) {
        const auto title = WindowText(window);
        std::snprintf(line, sizeof line, "window %p class %s title \"%s\"\n", (void*)window,
                      ClassName(window).c_str(), title ? Narrow(*title).c_str() : "(no answer)");
        out += line;
        for (HWND child : Children(window)) {
            const auto text = WindowText(child);
            std::snprintf(line, sizeof line, "  control %d class %s text \"%s\"\n",
                          GetDlgCtrlID(child), ClassName(child).c_str(),
                          text ? Narrow(*text).c_str() : "(no answer)");
            out += line;
        }
    }
    if (out.empty()) out = "no visible windows\n";
    return out;
}

}  // namespace automation
