// The about box: the program's name, version and publisher. Opened from the
// system menu of the selection and install dialogs; stores nothing.
#pragma once

#include "app/dialogs/Control.h"
#include "app/dialogs/Dialog.h"

class AboutDialog : public Dialog {
public:
    AboutDialog();

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Control okButton;
};
