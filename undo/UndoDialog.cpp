#include "undo/UndoDialog.h"

#include "app/Messages.h"
#include "undo/NoteText.h"
#include "undo/UndoResources.h"

UndoDialog::UndoDialog(std::string root, std::string selected)
    : Dialog(IDD_UNDO), root(std::move(root)), selected(std::move(selected)) {}

INT_PTR UndoDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_RESTORE: RestoreSelected(); return TRUE;
        case IDC_FORGET: ForgetSelected(); return TRUE;
        case IDCANCEL: EndModal(IDCANCEL); return TRUE;
        }
        break;
    }
    return FALSE;
}

void UndoDialog::OnInitDialog() {
    Bind(label, IDC_LIST_LABEL);
    Bind(list, IDC_POINT_LIST);
    Bind(report, IDC_REPORT);
    Bind(restoreButton, IDC_RESTORE);
    Bind(forgetButton, IDC_FORGET);
    Bind(closeButton, IDCANCEL);
    SetWindowTextA(Handle(), messages::Load(IDS_UNDO_TITLE).c_str());
    label.SetText(messages::Load(IDS_UNDO_LIST_LABEL));
    restoreButton.SetText(messages::Load(IDS_UNDO_RESTORE));
    forgetButton.SetText(messages::Load(IDS_UNDO_FORGET));
    closeButton.SetText(messages::Load(IDS_UNDO_CLOSE));
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_UNDO));
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    Fill();
}

void UndoDialog::Fill() {
    points = restorepoints::List(root);
    SendMessageA(list.Handle(), LB_RESETCONTENT, 0, 0);
    for (const restorepoints::Summary& point : points) {
        const std::string line = notetext::Point(point);
        SendMessageA(list.Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    // Wide enough to scroll to the end of the longest line.
    SendMessageA(list.Handle(), LB_SETHORIZONTALEXTENT, 2000, 0);
    size_t shown = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i].id == selected) shown = i;
    }
    if (!points.empty()) SendMessageA(list.Handle(), LB_SETCURSEL, shown, 0);
    EnableWindow(restoreButton.Handle(), !points.empty());
    EnableWindow(forgetButton.Handle(), !points.empty());
}

const restorepoints::Summary* UndoDialog::Selected() const {
    const LRESULT index = SendMessageA(list.Handle(), LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= points.size()) return nullptr;
    return &points[static_cast<size_t>(index)];
}

void UndoDialog::RestoreSelected() {
    const restorepoints::Summary* point = Selected();
    if (point == nullptr) return;
    if (messages::Show(IDS_UNDO_CONFIRM_RESTORE, MB_YESNO | MB_ICONQUESTION,
                       point->journal.host.c_str(), point->journal.name.c_str()) != IDYES) {
        return;
    }
    std::vector<restorepoints::Note> notes;
    const restorepoints::Outcome outcome = restorepoints::Restore(root, point->id, false, notes);
    std::string text;
    if (outcome == restorepoints::Outcome::Unsafe) {
        text = messages::Format(IDS_UNDO_UNSAFE, root);
    } else if (outcome == restorepoints::Outcome::Done) {
        text = messages::Load(IDS_UNDO_DONE);
    } else if (outcome != restorepoints::Outcome::OtherHost) {
        text = messages::Load(IDS_UNDO_KEPT);
    }
    // What stayed is what the person needs to read.
    for (const restorepoints::Note& note : notes) {
        if (restorepoints::IsKept(note))
            text += (text.empty() ? "" : "\r\n") + notetext::Line(note);
    }
    report.SetText(text);
    Fill();
}

void UndoDialog::ForgetSelected() {
    const restorepoints::Summary* point = Selected();
    if (point == nullptr) return;
    if (messages::Show(IDS_UNDO_CONFIRM_FORGET, MB_YESNO | MB_ICONQUESTION,
                       point->journal.name.c_str()) != IDYES) {
        return;
    }
    restorepoints::Forget(root, point->id);
    report.SetText(std::string());
    Fill();
}
