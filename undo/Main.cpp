// pakundo: the restore program. Without arguments it shows the restore
// points (UndoDialog.h); `--select ID` shows them with that one selected, as
// the uninstall entries of earlier versions do, so that nothing is restored
// before the person says yes. `--uninstall KEY` is what a package's uninstall
// entry runs (engine/RestorePoints.h): it asks once whether to put the host
// folder back as it was before the package was installed, restores each of
// the package's restore points, the newest first, and reports once what
// stayed. With other arguments it works as a console program for scripts
// and tests, writing to the standard output it was given or to the console
// it was started from, in the user's language and code page:
//
//   pakundo --list                    every restore point, newest first
//   pakundo --restore ID [--dry-run]  restores one without asking (--dry-run:
//                                     only says what it would do)
//   pakundo --forget ID               deletes one without restoring it
//   --root FOLDER                     restore points below FOLDER instead of
//                                     the machine's (tests)
//
// Exit status: 0 done, 1 something was left alone, 2 bad use (unknown
// option, missing or unknown ID).
//
// The restore folder (the root) is checked before it is used
// (engine/RestoreStore.h): one that fails is neither read nor written; the
// program says so, in its window's stead or on the console, and ends with
// exit status 1. A restore point recorded for another host folder than the
// one installed now is not restored: both folders are shown, exit status 1.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/RestorePoints.h"
#include "engine/RestoreStore.h"
#include "app/DllSearch.h"
#include "app/AppMessageBox.h"
#include "app/Messages.h"
#include "undo/NoteText.h"
#include "undo/UndoDialog.h"
#include "undo/UndoResources.h"

namespace {

void Print(const std::string& text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        // Started from a console window: a program without a console of its
        // own writes to its parent's.
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
        out = GetStdHandle(STD_OUTPUT_HANDLE);
    }
    const std::string line = text + "\r\n";
    DWORD written = 0;
    WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// The most lines of what stayed that the uninstall's report shows; the
// restore program's window lists them all.
constexpr size_t kReportLines = 20;

// Takes out every installation of the package whose uninstall entry is `key`.
int Uninstall(const std::string& root, const std::string& key) {
    const std::vector<restorepoints::Summary> points = restorepoints::Installations(root, key);
    if (points.empty()) {
        restorepoints::WriteEntry(root, key);
        messages::Show(IDS_UNDO_NO_POINT, MB_OK | MB_ICONINFORMATION, key);
        return 1;
    }
    // The oldest installation's host and the newest one's name: the folder
    // goes back to before the first.
    if (messages::Show(IDS_UNDO_CONFIRM_RESTORE, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                       points.back().journal.host, points.front().journal.name) != IDYES) {
        return 1;
    }
    std::vector<restorepoints::Note> notes;
    bool done = true;
    for (const restorepoints::Summary& point : points) {
        const restorepoints::Outcome outcome = restorepoints::Restore(root, point.id, false, notes);
        if (outcome == restorepoints::Outcome::Unsafe) {
            messages::Show(IDS_UNDO_UNSAFE, MB_OK | MB_ICONERROR, root);
            return 1;
        }
        done = done && outcome == restorepoints::Outcome::Done;
        // Another host folder holds for every point of the entry.
        if (outcome == restorepoints::Outcome::OtherHost) break;
    }
    std::string text = messages::Load(done ? IDS_UNDO_DONE : IDS_UNDO_KEPT);
    size_t shown = 0;
    size_t kept = 0;
    for (const restorepoints::Note& note : notes) {
        if (!restorepoints::IsKept(note)) continue;
        if (++kept <= kReportLines) {
            text += "\n" + notetext::Line(note);
            ++shown;
        }
    }
    if (kept > shown)
        text += "\n" + messages::Format(IDS_UNDO_MORE, static_cast<int>(kept - shown));
    AppMessageBox(text, MB_OK | (done ? MB_ICONINFORMATION : MB_ICONWARNING));
    return done ? 0 : 1;
}

int Usage() {
    Print(messages::Load(IDS_UNDO_USAGE));
    return 2;
}

std::string Describe(const restorepoints::Summary& point) {
    std::string line = point.id + "   " + notetext::Point(point);
    if (!point.journal.incomplete.empty()) {
        line += messages::Format(IDS_UNDO_INCOMPLETE, point.journal.incomplete);
    }
    return line;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!dllsearch::LimitOrStop()) return 1;
    const int argc = __argc;
    char** const argv = __argv;
    std::string root = restorepoints::DefaultRoot();
    std::string command;
    std::string id;
    bool dryRun = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--root" && hasValue) {
            root = argv[++i];
        } else if (argument == "--dry-run") {
            dryRun = true;
        } else if (argument == "--list" && command.empty()) {
            command = argument;
        } else if ((argument == "--restore" || argument == "--forget" || argument == "--select" ||
                    argument == "--uninstall") &&
                   hasValue && command.empty()) {
            command = argument;
            id = argv[++i];
        } else {
            return Usage();
        }
    }
    const bool window = (argc == 1 || command == "--select" || command == "--uninstall") &&
                        !root.empty() && !dryRun;
    if (!window && (command.empty() || root.empty() || (dryRun && command != "--restore"))) {
        return Usage();
    }
    if (restorestore::Check(root) == restorestore::State::Unsafe) {
        if (window) {
            messages::Show(IDS_UNDO_UNSAFE, MB_OK | MB_ICONERROR, root);
        } else {
            Print(messages::Format(IDS_UNDO_UNSAFE, root));
        }
        return 1;
    }
    if (command == "--uninstall") return Uninstall(root, id);
    if (window) {
        UndoDialog(root, id).RunModal(nullptr);
        return 0;
    }
    if (command == "--list") {
        for (const restorepoints::Summary& point : restorepoints::List(root)) {
            Print(Describe(point));
        }
        return 0;
    }
    if (command == "--forget") {
        bool known = false;
        for (const restorepoints::Summary& point : restorepoints::List(root)) {
            known = known || point.id == id;
        }
        if (!known) return Usage();
        return restorepoints::Forget(root, id) ? 0 : 1;
    }
    std::vector<restorepoints::Note> notes;
    const restorepoints::Outcome outcome = restorepoints::Restore(root, id, dryRun, notes);
    if (outcome == restorepoints::Outcome::NotFound) {
        Print(messages::Format(IDS_UNDO_NO_POINT, id));
        return 2;
    }
    if (outcome == restorepoints::Outcome::Unsafe) {
        Print(messages::Format(IDS_UNDO_UNSAFE, root));
        return 1;
    }
    if (dryRun) Print(messages::Load(IDS_UNDO_DRY_RUN));
    for (const restorepoints::Note& note : notes) Print(notetext::Line(note));
    return outcome == restorepoints::Outcome::Done ? 0 : 1;
}
