#include "app/dialogs/Dialog.h"

#include <vector>

Dialog::Dialog(int templateId) : templateId(templateId) {}

INT_PTR Dialog::RunModal(HWND parent) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), parent,
                           Procedure, reinterpret_cast<LPARAM>(this));
}

void Dialog::Bind(Control& control, int id) {
    control.Attach(GetDlgItem(window, id));
    boundControls.push_back(&control);
}

void Dialog::ExchangeText(int id, std::string& text, bool save) {
    HWND item = GetDlgItem(window, id);
    if (!item) return;
    if (!save) {
        SetWindowTextA(item, text.c_str());
        return;
    }
    const int length = GetWindowTextLengthA(item);
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1);
    const int copied = GetWindowTextA(item, buffer.data(), static_cast<int>(buffer.size()));
    text.assign(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void Dialog::SetMessageResult(LRESULT result) {
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
}

void Dialog::EndModal(INT_PTR result) {
    EndDialog(window, result);
}

// Templates without DS_CENTER leave the position to the program; a dialog of
// its own, without an owner, belongs in the middle of the screen that shows
// it rather than in a corner.
void Dialog::CentreOnScreen() {
    if (GetWindowLongA(window, GWL_STYLE) & DS_CENTER) return;
    RECT frame;
    if (!GetWindowRect(window, &frame)) return;
    HWND owner = GetWindow(window, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoA(MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTOPRIMARY),
                         &monitor)) {
        return;
    }
    const RECT& area = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(window, nullptr, x > area.left ? x : area.left, y > area.top ? y : area.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->window = window;
        dialog->boundControls.clear();
        dialog->CentreOnScreen();
    } else {
        dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    // Messages that arrive before WM_INITDIALOG (WM_SETFONT) find no object yet.
    if (!dialog) return FALSE;

    const INT_PTR handled = dialog->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        for (Control* control : dialog->boundControls) control->Attach(nullptr);
        dialog->boundControls.clear();
        dialog->window = nullptr;
        SetWindowLongPtrA(window, DWLP_USER, 0);
    }
    return handled;
}
