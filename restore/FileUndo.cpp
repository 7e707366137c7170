#include "restore/FileUndo.h"

namespace fileundo {

Action Decide(const journal::FileRecord& record, const Fingerprint& now) {
    if (record.kind == journal::FileKind::Added) {
        if (!now.exists) return Action::AlreadyBefore;
        return SameContent(now, record.after) ? Action::Delete : Action::KeepChanged;
    }
    // A run killed before its copy leaves the old bytes: nothing to do.
    if (record.before.exists && SameContent(now, record.before)) return Action::AlreadyBefore;
    if (!now.exists) return Action::KeepMissing;
    if (!SameContent(now, record.after)) return Action::KeepChanged;
    return record.oldCopy.empty() || !record.before.exists ? Action::KeepNoCopy : Action::PutBack;
}

bool IsKept(Action action) {
    return action == Action::KeepChanged || action == Action::KeepMissing ||
           action == Action::KeepNoCopy;
}

}  // namespace fileundo
