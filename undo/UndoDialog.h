// pakundo's window: the restore points below a root folder in a list view
// with the columns date, package, host folder, changes (files added and
// replaced, list entries changed) and size, the newest first; a click on a
// column's header sorts by it, a second click the other way round. The
// restore point `selected` names is selected when it is listed (the
// uninstall entry opens the window on its own restore point), otherwise the
// newest.
//
// The lower pane shows what restoring the selected restore point would do
// now (a dry run of engine/RestorePoints.h, asked anew on each selection):
// the files deleted and put back first, then what would stay and why.
// Two actions act on the selected one, each only after a question whose
// default answer is No, so that neither Enter nor a double Enter restores
// or forgets anything: Restore (the pane then shows what was done and what
// stayed) and Forget. The list is read again after each action.
//
// The arrow keys move the selection, Tab goes through the list, the pane
// and the buttons; Enter is Restore's question, Escape closes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/dialogs/Control.h"
#include "app/dialogs/Dialog.h"
#include "engine/RestorePoints.h"

class UndoDialog : public Dialog {
public:
    // Registers the list view's window class (common controls) for the run.
    UndoDialog(std::string root, std::string selected);

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    void AddColumns();
    // Reads the restore points again, sorted as chosen, and selects the one
    // named `id`; when it is not listed, the first row (`firstOtherwise`) or
    // none. The pane is left as it is.
    void Fill(const std::string& id, bool firstOtherwise);
    void FitColumns();
    void SortBy(int column);
    void Sort();
    void ShowSortArrow();
    void Select(int index);
    void OnSelectionChanged();
    void ShowPreview();
    void EnableActions();
    // The selected restore point, or nullptr.
    const restorepoints::Summary* Selected() const;
    void RestoreSelected();
    void ForgetSelected();

    const std::string root;
    const std::string selected;
    std::vector<restorepoints::Summary> points;  // in the list's order
    int sortColumn = 0;                          // the date
    bool sortDescending = true;
    bool filling = false;  // selection changes made by Fill are not the person's
    Control label;
    Control list;
    Control reportLabel;
    Control report;
    Control restoreButton;
    Control forgetButton;
    Control closeButton;
};
