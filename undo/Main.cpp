// pakundo: the restore program. Without arguments it shows the restore
// points (UndoDialog.h); `--select ID` shows them with that one selected, as
// the uninstall entry does, so that nothing is restored before the person
// says yes. With other arguments it works as a console program for scripts
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
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/RestorePoints.h"
#include "app/DllSearch.h"
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
        } else if ((argument == "--restore" || argument == "--forget" || argument == "--select") &&
                   hasValue && command.empty()) {
            command = argument;
            id = argv[++i];
        } else {
            return Usage();
        }
    }
    if ((argc == 1 || command == "--select") && !root.empty() && !dryRun) {
        UndoDialog(root, id).RunModal(nullptr);
        return 0;
    }
    if (command.empty() || root.empty() || (dryRun && command != "--restore")) return Usage();
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
    if (dryRun) Print(messages::Load(IDS_UNDO_DRY_RUN));
    for (const restorepoints::Note& note : notes) Print(notetext::Line(note));
    return outcome == restorepoints::Outcome::Done ? 0 : 1;
}
