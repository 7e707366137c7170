#include "undo/UndoDialog.h"

#include <commctrl.h>

#include <algorithm>

#include "app/Messages.h"
#include "undo/NoteText.h"
#include "undo/UndoResources.h"

namespace {

enum Column { Date, Package, Host, Changes, Size, Columns };

constexpr UINT kHeaders[] = {IDS_UNDO_COLUMN_DATE, IDS_UNDO_COLUMN_PACKAGE, IDS_UNDO_COLUMN_HOST,
                             IDS_UNDO_COLUMN_CHANGES, IDS_UNDO_COLUMN_SIZE};

// The text of `point` in `column`.
std::string Cell(const restorepoints::Summary& point, int column) {
    switch (column) {
    case Date: return point.journal.time;
    case Package: return notetext::Package(point);
    case Host: return point.journal.host;
    case Changes: return notetext::Changes(point);
    default: return notetext::Size(point);
    }
}

// Negative, zero or positive as `a` sorts before, with or after `b` in
// `column`, ascending. Texts compare as the user's language sorts them.
int Compare(const restorepoints::Summary& a, const restorepoints::Summary& b, int column) {
    switch (column) {
    case Date: {
        // Two runs in one second: the restore point's id tells which came last.
        const int order = a.journal.time.compare(b.journal.time);
        return order != 0 ? order : a.id.compare(b.id);
    }
    case Package: return lstrcmpiA(a.journal.name.c_str(), b.journal.name.c_str());
    case Host: return lstrcmpiA(a.journal.host.c_str(), b.journal.host.c_str());
    case Changes: {
        const int left = a.filesAdded + a.filesReplaced + a.listEntries;
        const int right = b.filesAdded + b.filesReplaced + b.listEntries;
        return (left > right) - (left < right);
    }
    default: return (a.bytes > b.bytes) - (a.bytes < b.bytes);
    }
}

}  // namespace

UndoDialog::UndoDialog(std::string root, std::string selected)
    : Dialog(IDD_UNDO), root(std::move(root)), selected(std::move(selected)) {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

INT_PTR UndoDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return TRUE;
    case WM_NOTIFY: {
        const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.idFrom != IDC_POINT_LIST) break;
        if (header.code == LVN_COLUMNCLICK) {
            SortBy(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
            return TRUE;
        }
        if (header.code == LVN_ITEMCHANGED) {
            const NMLISTVIEW& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) != 0 &&
                ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0) {
                OnSelectionChanged();
            }
            return TRUE;
        }
        break;
    }
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
    Bind(reportLabel, IDC_REPORT_LABEL);
    Bind(report, IDC_REPORT);
    Bind(restoreButton, IDC_RESTORE);
    Bind(forgetButton, IDC_FORGET);
    Bind(closeButton, IDCANCEL);
    SetWindowTextA(Handle(), messages::Load(IDS_UNDO_TITLE).c_str());
    label.SetText(messages::Load(IDS_UNDO_LIST_LABEL));
    reportLabel.SetText(messages::Load(IDS_UNDO_REPORT_LABEL));
    restoreButton.SetText(messages::Load(IDS_UNDO_RESTORE));
    forgetButton.SetText(messages::Load(IDS_UNDO_FORGET));
    closeButton.SetText(messages::Load(IDS_UNDO_CLOSE));
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_UNDO));
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(list.Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    AddColumns();
    sortColumn = Date;
    sortDescending = true;
    Fill(selected, true);
    ShowPreview();
}

void UndoDialog::AddColumns() {
    for (int column = 0; column < Columns; ++column) {
        std::string title = messages::Load(kHeaders[column]);
        LVCOLUMNA item = {};
        item.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
        item.fmt = column == Size ? LVCFMT_RIGHT : LVCFMT_LEFT;
        item.pszText = title.data();
        item.iSubItem = column;
        SendMessageA(list.Handle(), LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&item));
    }
}

void UndoDialog::Fill(const std::string& id, bool firstOtherwise) {
    filling = true;
    points = restorepoints::List(root);
    Sort();
    SendMessageA(list.Handle(), LVM_DELETEALLITEMS, 0, 0);
    for (size_t row = 0; row < points.size(); ++row) {
        std::string text = Cell(points[row], Date);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = text.data();
        SendMessageA(list.Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < Columns; ++column) {
            text = Cell(points[row], column);
            item.iSubItem = column;
            item.pszText = text.data();
            SendMessageA(list.Handle(), LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        }
    }
    FitColumns();
    ShowSortArrow();
    const auto found =
        std::find_if(points.begin(), points.end(), [&id](const restorepoints::Summary& point) {
            return !id.empty() && point.id == id;
        });
    if (found != points.end()) {
        Select(static_cast<int>(found - points.begin()));
    } else if (firstOtherwise) {
        Select(0);
    }
    filling = false;
    EnableActions();
}

// Each column as wide as its widest text or its header, whichever is wider:
// nothing is cut; a list wider than the window scrolls.
void UndoDialog::FitColumns() {
    for (int column = 0; column < Columns; ++column) {
        int width = 0;
        for (const WPARAM size : {LVSCW_AUTOSIZE, LVSCW_AUTOSIZE_USEHEADER}) {
            SendMessageA(list.Handle(), LVM_SETCOLUMNWIDTH, column, static_cast<LPARAM>(size));
            width = std::max(width, static_cast<int>(SendMessageA(list.Handle(), LVM_GETCOLUMNWIDTH,
                                                                  column, 0)));
        }
        SendMessageA(list.Handle(), LVM_SETCOLUMNWIDTH, column, width);
    }
}

// The first click on a column sorts it ascending (the date newest first, as
// the window opens); each further click reverses the order.
void UndoDialog::SortBy(int column) {
    if (column < 0 || column >= Columns) return;
    if (column == sortColumn) {
        sortDescending = !sortDescending;
    } else {
        sortColumn = column;
        sortDescending = column == Date;
    }
    const restorepoints::Summary* point = Selected();
    const std::string id = point != nullptr ? point->id : std::string();
    Fill(id, false);
}

// Stable: restore points equal in the column keep the newest first.
void UndoDialog::Sort() {
    std::stable_sort(points.begin(), points.end(),
                     [this](const restorepoints::Summary& a, const restorepoints::Summary& b) {
                         const int order = Compare(a, b, sortColumn);
                         return sortDescending ? order > 0 : order < 0;
                     });
}

void UndoDialog::ShowSortArrow() {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list.Handle(), LVM_GETHEADER, 0, 0));
    if (header == nullptr) return;
    for (int column = 0; column < Columns; ++column) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        if (!SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == sortColumn) item.fmt |= sortDescending ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
    }
}

void UndoDialog::Select(int index) {
    if (index < 0 || static_cast<size_t>(index) >= points.size()) return;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list.Handle(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    SendMessageA(list.Handle(), LVM_ENSUREVISIBLE, index, FALSE);
}

void UndoDialog::OnSelectionChanged() {
    if (filling) return;
    EnableActions();
    ShowPreview();
}

// Files first, then what would stay, each in the words of the console's
// report.
void UndoDialog::ShowPreview() {
    reportLabel.SetText(messages::Load(IDS_UNDO_REPORT_LABEL));
    const restorepoints::Summary* point = Selected();
    if (point == nullptr) {
        report.SetText(std::string());
        return;
    }
    std::vector<restorepoints::Note> notes;
    const restorepoints::Outcome outcome = restorepoints::Restore(root, point->id, true, notes);
    if (outcome == restorepoints::Outcome::NotFound) {
        report.SetText(messages::Format(IDS_UNDO_NO_POINT, point->id));
        return;
    }
    if (outcome == restorepoints::Outcome::Unsafe) {
        report.SetText(messages::Format(IDS_UNDO_UNSAFE, root));
        return;
    }
    if (notes.empty()) {
        report.SetText(messages::Load(IDS_UNDO_PREVIEW_NOTHING));
        return;
    }
    std::stable_partition(notes.begin(), notes.end(), [](const restorepoints::Note& note) {
        return !restorepoints::IsKept(note);
    });
    std::string text;
    for (const restorepoints::Note& note : notes) {
        if (!text.empty()) text += "\r\n";
        text += notetext::Line(note);
    }
    report.SetText(text);
}

void UndoDialog::EnableActions() {
    const bool any = Selected() != nullptr;
    // A disabled button cannot keep the focus: it goes back to the list.
    HWND focus = GetFocus();
    if (!any && (focus == restoreButton.Handle() || focus == forgetButton.Handle())) {
        SendMessageA(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list.Handle()), TRUE);
    }
    EnableWindow(restoreButton.Handle(), any);
    EnableWindow(forgetButton.Handle(), any);
}

const restorepoints::Summary* UndoDialog::Selected() const {
    const LRESULT index =
        SendMessageA(list.Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (index < 0 || static_cast<size_t>(index) >= points.size()) return nullptr;
    return &points[static_cast<size_t>(index)];
}

void UndoDialog::RestoreSelected() {
    const restorepoints::Summary* point = Selected();
    if (point == nullptr) return;
    const std::string id = point->id;
    if (messages::Show(IDS_UNDO_CONFIRM_RESTORE, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                       point->journal.host.c_str(), point->journal.name.c_str()) != IDYES) {
        return;
    }
    std::vector<restorepoints::Note> notes;
    const restorepoints::Outcome outcome = restorepoints::Restore(root, id, false, notes);
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
    // The restore point stays selected while it is left; the pane shows the
    // result until the person selects another.
    Fill(id, false);
    reportLabel.SetText(messages::Load(IDS_UNDO_RESULT_LABEL));
    report.SetText(text);
}

void UndoDialog::ForgetSelected() {
    const restorepoints::Summary* point = Selected();
    if (point == nullptr) return;
    if (messages::Show(IDS_UNDO_CONFIRM_FORGET, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                       point->journal.name.c_str()) != IDYES) {
        return;
    }
    restorepoints::Forget(root, point->id);
    Fill(std::string(), true);
    ShowPreview();
}
