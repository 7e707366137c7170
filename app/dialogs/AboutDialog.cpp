#include "app/dialogs/AboutDialog.h"

#include "app/Messages.h"
#include "resources/resource.h"

AboutDialog::AboutDialog() : Dialog(IDD_ABOUT) {}

INT_PTR AboutDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        Bind(okButton, IDOK);
        okButton.SetText(messages::Load(messages::OkCaption));
        return TRUE;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: EndModal(LOWORD(wParam)); return TRUE;
        }
        break;
    }
    return FALSE;
}
