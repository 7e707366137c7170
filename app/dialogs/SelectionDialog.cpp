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

// A rich edit control parses a text that starts with "{\rtf" as a document
// when it arrives as ANSI text (WM_SETTEXT; Wine's control does so even in
// plain-text mode). The description goes in as UTF-16 through EM_SETTEXTEX,
// converted from the user's code page as the ANSI message would be.
void SetPlainText(HWND field, const std::string& text) {
    std::wstring wide;
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (units > 0) {
        wide.resize(static_cast<size_t>(units));
        MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), units);
    }
    SETTEXTEX how = {ST_DEFAULT, 1200};  // 1200: UTF-16
    SendMessageA(field, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                 reinterpret_cast<LPARAM>(wide.c_str()));
}

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
    const std::string installCaption = messages::Load(messages::InstallCaption);
    const std::string cancelCaption = messages::Load(messages::CancelCaption);
    const std::string title = messages::Load(messages::SelectionTitle);
    const std::string descriptionLabel = messages::Load(messages::DescriptionLabel);

    Bind(cancelButton, IDCANCEL);
    Bind(installButton, IDOK);
    Bind(entryList, IDC_ENTRY_LIST);
    entryList.Subclass();
    Bind(descriptionField, IDC_DESCRIPTION);
    // Plain text, set while the field is still empty (the control refuses
    // the change afterwards): a description shows exactly as written, never
    // read as a document to parse (see SetPlainText).
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
    SetPlainText(descriptionField.Handle(), catalogue.entries[0].description);
    entryList.SetCurrentSelection(0);
}

void SelectionDialog::ShowDescriptionOf(int position) {
    if (position < 0 || position >= catalogue.entryCount) return;
    SetPlainText(descriptionField.Handle(), catalogue.entries[position].description);
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
