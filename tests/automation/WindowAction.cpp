#include "automation/WindowAction.h"

#include "automation/WindowQuery.h"

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

bool ChooseSystemCommand(HWND window, UINT command) {
    if (!IsWindow(window)) return false;
    return PostMessageA(window, WM_SYSCOMMAND, command, 0) != 0;
}

}  // namespace automation
