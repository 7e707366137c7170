#include "app/dialogs/SelectionDialog.h"

#include <richedit.h>

#include "app/Messages.h"
#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/SystemMenu.h"
#include "resources/resource.h"

namespace {

constexpr int kIconSize = 32;
constexpr int kInitialImages = 5;
constexpr int kImageGrowth = 1;
constexpr int32_t kEntryImage = 0;

}  // namespace

SelectionDialog::SelectionDialog(InstallCatalogue& catalogue)
    : Dialog(IDD_SELECTION), catalogue(catalogue), icons(LoadWindowIcons()) {}

SelectionDialog::~SelectionDialog() {
    if (imageList) ImageList_Destroy(imageList);
}

INT_PTR SelectionDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return TRUE;

    case WM_MEASUREITEM:
        if (wParam == IDC_ENTRY_LIST) {
            entryList.MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;

    case WM_DRAWITEM:
        if (wParam == IDC_ENTRY_LIST) {
            entryList.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ENTRY_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                ShowDescriptionOf(entryList.CurrentSelection());
                return TRUE;
            }
            // A double-click only selects: the dialog does not act on it.
            if (HIWORD(wParam) == LBN_DBLCLK) {
                entryList.ConsumeDoubleClick();
                return TRUE;
            }
            break;
        case IDOK:
            ExchangeText(IDC_DESCRIPTION, descriptionText, true);
            EndModal(IDOK);
            catalogue.selectedIndex = entryList.CurrentSelection();
            return TRUE;
        case IDCANCEL: EndModal(IDCANCEL); return TRUE;
        }
        break;

    case WM_SYSCOMMAND:
        if (systemmenu::IsAboutCommand(wParam)) {
            AboutDialog().RunModal(nullptr);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void SelectionDialog::OnInitDialog() {
    const std::string installCaption = messages::Load(messages::kInstallCaption);
    const std::string cancelCaption = messages::Load(messages::kCancelCaption);
    const std::string title = messages::Load(messages::kSelectionTitle);
    const std::string descriptionLabel = messages::Load(messages::kDescriptionLabel);

    Bind(cancelButton, IDCANCEL);
    Bind(installButton, IDOK);
    Bind(entryList, IDC_ENTRY_LIST);
    entryList.Subclass();
    Bind(descriptionField, IDC_DESCRIPTION);
    // Plain text, set while the field is still empty (the control refuses
    // the change afterwards): a rich edit control reads a text that starts
    // with "{\rtf" as a document to parse, and a description shows exactly
    // as written.
    SendMessageA(descriptionField.Handle(), EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    // The field has no horizontal scroll bar: a long line of a description
    // would be cut at its right edge, so lines wrap at the field's width.
    SendMessageA(descriptionField.Handle(), EM_SETTARGETDEVICE, 0, 0);
    descriptionText.clear();
    ExchangeText(IDC_DESCRIPTION, descriptionText, false);

    SetDlgItemTextA(Handle(), IDC_STATIC, descriptionLabel.c_str());
    SetWindowTextA(Handle(), title.c_str());
    cancelButton.SetText(cancelCaption);
    installButton.SetText(installCaption);

    systemmenu::AppendAboutEntry(Handle());
    SetWindowIcons(Handle(), icons);

    CreateImageList();
    entryList.SetImageList(imageList);
    entryList.ResetContent();
    for (int32_t i = 0; i < catalogue.entryCount; ++i) {
        entryList.AddItem(catalogue.entries[i].name, kEntryImage);
    }
    descriptionField.SetText(catalogue.entries[0].description);
    entryList.SetCurrentSelection(0);
}

void SelectionDialog::ShowDescriptionOf(int position) {
    if (position < 0 || position >= catalogue.entryCount) return;
    descriptionField.SetText(catalogue.entries[position].description);
}

// A fresh image list for every run; the one of the run before goes with it.
void SelectionDialog::CreateImageList() {
    if (imageList) ImageList_Destroy(imageList);
    imageList = ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, kInitialImages,
                                 kImageGrowth);
    if (!imageList) return;
    HICON entryIcon =
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_ENTRY),
                                      IMAGE_ICON, kIconSize, kIconSize, LR_DEFAULTCOLOR));
    if (!entryIcon) return;
    ImageList_ReplaceIcon(imageList, -1, entryIcon);
    DestroyIcon(entryIcon);
}
