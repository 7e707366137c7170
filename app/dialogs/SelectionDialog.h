// The selection dialog: the catalogue's packages by name, each with the
// package icon, and the description of the selected one below the list.
//
// Each run opens with the first package selected. OK stores the selected
// position in the catalogue's selectedIndex (-1 when nothing is selected,
// only possible with an empty catalogue); Cancel and the close box store
// nothing. The system menu's about entry opens the about box.
//
//   RunModal   IDOK, IDCANCEL, or -1 when the window could not be created
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "package/InstallCatalogue.h"
#include "app/dialogs/Control.h"
#include "app/dialogs/Dialog.h"
#include "app/dialogs/EntryListBox.h"
#include "app/dialogs/WindowIcons.h"

class SelectionDialog : public Dialog {
public:
    explicit SelectionDialog(InstallCatalogue& catalogue);
    ~SelectionDialog() override;

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    void ShowDescriptionOf(int position);
    void CreateImageList();

    InstallCatalogue& catalogue;
    Control cancelButton;
    Control installButton;
    EntryListBox entryList;
    HIMAGELIST imageList = nullptr;
    std::string descriptionText;
    Control descriptionField;
    WindowIcons icons;
};
