#include "automation/WindowAction.h"

#include "automation/RemoteMemory.h"
#include "automation/WindowQuery.h"

#include <commctrl.h>

#include <vector>

namespace automation {

bool PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button || !IsWindowEnabled(button)) return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != 0;
}

bool AnswerMessageBox(HWND box, int buttonId) {
    if (!IsMessageBox(box)) return false;
    for (int id : ButtonIds(box)) {
        if (id == buttonId) return PressButton(box, buttonId);
    }
    return false;
}

bool SelectListItem(HWND dialog, int listId, int index) {
    HWND list = GetDlgItem(dialog, listId);
    if (!list) return false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(list, LB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                             &result))
        return false;
    if (static_cast<LRESULT>(result) == LB_ERR && index != -1) return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(list)) != 0;
}

bool PressKey(HWND window, UINT key) {
    if (!IsWindow(window)) return false;
    const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | static_cast<LPARAM>(scan << 16);
    const LPARAM up = down | (1L << 30) | (1L << 31);
    return PostMessageA(window, WM_KEYDOWN, key, down) && PostMessageA(window, WM_KEYUP, key, up);
}

bool ClickColumnHeader(HWND dialog, int listId, int column) {
    HWND list = GetDlgItem(dialog, listId);
    if (!list) return false;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(list, LVM_GETHEADER, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                             &answer) ||
        answer == 0) {
        return false;
    }
    HWND header = reinterpret_cast<HWND>(answer);
    // The column's rectangle, written by the header into its own process.
    RemoteMemory memory(header, sizeof(RECT));
    RECT item = {};
    if (!memory.Valid() ||
        !SendMessageTimeoutW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), memory.At(0),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer) ||
        answer == 0 || !memory.Read(0, &item, sizeof item)) {
        return false;
    }
    const LPARAM middle = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    return PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, middle) &&
           PostMessageA(header, WM_LBUTTONUP, 0, middle);
}

bool ChooseSystemCommand(HWND window, UINT command) {
    if (!IsWindow(window)) return false;
    return PostMessageA(window, WM_SYSCOMMAND, command, 0) != 0;
}

}  // namespace automation
