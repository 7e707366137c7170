#include "undo/NoteText.h"

#include "app/Messages.h"
#include "undo/UndoResources.h"

namespace notetext {

std::string Line(const restorepoints::Note& note) {
    using What = restorepoints::Note::What;
    switch (note.what) {
    case What::Incomplete: return messages::Format(IDS_UNDO_NOTE_INCOMPLETE, note.detail);
    case What::Delete: return messages::Format(IDS_UNDO_NOTE_DELETE, note.path);
    case What::PutBack: return messages::Format(IDS_UNDO_NOTE_PUT_BACK, note.path);
    case What::UndoEntries:
        return messages::Format(IDS_UNDO_NOTE_UNDO_ENTRIES, note.count, note.path);
    case What::RemoveFolder: return messages::Format(IDS_UNDO_NOTE_REMOVE_FOLDER, note.path);
    case What::KeepChanged: return messages::Format(IDS_UNDO_NOTE_KEEP_CHANGED, note.path);
    case What::KeepDeleted: return messages::Format(IDS_UNDO_NOTE_KEEP_DELETED, note.path);
    case What::KeepNoCopy: return messages::Format(IDS_UNDO_NOTE_KEEP_NO_COPY, note.path);
    case What::KeepUndeletable: return messages::Format(IDS_UNDO_NOTE_KEEP_UNDELETABLE, note.path);
    case What::KeepUnwritable: return messages::Format(IDS_UNDO_NOTE_KEEP_UNWRITABLE, note.path);
    case What::KeepListGone: return messages::Format(IDS_UNDO_NOTE_KEEP_LIST_GONE, note.path);
    case What::KeepListUnreadable:
        return messages::Format(IDS_UNDO_NOTE_KEEP_LIST_UNREADABLE, note.path);
    case What::KeepListUnwritable:
        return messages::Format(IDS_UNDO_NOTE_KEEP_LIST_UNWRITABLE, note.path);
    case What::KeepEntryChanged:
        return messages::Format(IDS_UNDO_NOTE_KEEP_ENTRY_CHANGED, note.detail, note.path);
    case What::KeepCopyChanged: return messages::Format(IDS_UNDO_NOTE_KEEP_COPY_CHANGED, note.path);
    case What::OtherHost:
        return messages::Format(IDS_UNDO_NOTE_OTHER_HOST, note.path,
                                note.detail.empty() ? std::string("-") : note.detail);
    }
    return std::string();
}

std::string Package(const restorepoints::Summary& point) {
    if (!point.journal.end.empty()) return point.journal.name;
    return point.journal.name + messages::Load(IDS_UNDO_NOT_FINISHED);
}

std::string Changes(const restorepoints::Summary& point) {
    return messages::Format(IDS_UNDO_CHANGES, point.filesAdded, point.filesReplaced,
                            point.listEntries);
}

std::string Size(const restorepoints::Summary& point) {
    return messages::Format(IDS_UNDO_SIZE, static_cast<unsigned int>((point.bytes + 1023) / 1024));
}

std::string Point(const restorepoints::Summary& point) {
    const std::string gap = "   ";
    std::string line = point.journal.time + gap + point.journal.name + gap + point.journal.host +
                       gap + Changes(point) + ", " + Size(point);
    if (point.journal.end.empty()) line += messages::Load(IDS_UNDO_NOT_FINISHED);
    return line;
}

}  // namespace notetext
