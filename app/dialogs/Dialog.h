// A modal dialog built from a dialog template: the base of the program's
// dialogs.
//
// A derived dialog names its template, binds its controls when the window
// opens and handles its messages in HandleMessage, one switch for the
// dialog. The same object may be run several times; each run creates a new
// window from the template.
//
//   RunModal        the id the dialog was ended with (IDOK, IDCANCEL), or -1
//                   when the window could not be created
//   HandleMessage   TRUE when the message was handled (a result other than
//                   TRUE/FALSE is given with SetMessageResult), FALSE for the
//                   system's default handling
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/dialogs/Control.h"

class Dialog {
public:
    explicit Dialog(int templateId);
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    INT_PTR RunModal(HWND parent);

protected:
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    HWND Handle() const { return window; }
    // Attaches `control` to the dialog's control `id` until the window closes.
    void Bind(Control& control, int id);
    // Moves `text` into the control `id` (save false) or back from it (save true).
    void ExchangeText(int id, std::string& text, bool save);
    void SetMessageResult(LRESULT result);
    void EndModal(INT_PTR result);

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void CentreOnScreen();

    int templateId;
    HWND window = nullptr;
    std::vector<Control*> boundControls;
};
