// pakundo's window: the restore points below a root folder, newest first
// (date, package, host folder, files added and replaced, list entries
// changed, size), and two actions on the selected one, each asked first:
// Restore (engine/RestorePoints.h; the report shows what stayed) and Forget.
// The list is read again after each action. The restore point `selected`
// names is selected when it is listed (the uninstall entry opens the window
// on its own restore point), otherwise the newest.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/dialogs/Control.h"
#include "app/dialogs/Dialog.h"
#include "engine/RestorePoints.h"

class UndoDialog : public Dialog {
public:
    UndoDialog(std::string root, std::string selected);

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    void Fill();
    // The selected restore point, or nullptr.
    const restorepoints::Summary* Selected() const;
    void RestoreSelected();
    void ForgetSelected();

    const std::string root;
    const std::string selected;
    std::vector<restorepoints::Summary> points;
    Control label;
    Control list;
    Control report;
    Control restoreButton;
    Control forgetButton;
    Control closeButton;
};
