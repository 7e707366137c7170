// pakundo: the restore program. Without arguments it shows the restore
// points (UndoDialog.h); with arguments it works as a console program for
// scripts, tests and the uninstall entry, writing to the standard output it
// was given or to the console it was started from:
//
//   pakundo --list                    every restore point, newest first
//   pakundo --restore ID [--dry-run]  restores one (--dry-run: only says what
//                                     it would do)
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
#include "undo/UndoDialog.h"

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
    Print("usage: pakundo [--root FOLDER] (--list | --restore ID [--dry-run] | --forget ID)");
    return 2;
}

std::string Describe(const restorepoints::Summary& point) {
    const journal::Journal& journal = point.journal;
    std::string state = journal.end.empty() ? "not finished" : journal.end;
    if (!journal.incomplete.empty()) state += ", incomplete: " + journal.incomplete;
    return point.id + "  " + journal.time + "  " + journal.name + "  " + journal.host + "  added " +
           std::to_string(point.filesAdded) + ", replaced " + std::to_string(point.filesReplaced) +
           ", list entries " + std::to_string(point.listEntries) + ", " +
           std::to_string((point.bytes + 1023) / 1024) + " KB  (" + state + ")";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
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
        } else if ((argument == "--restore" || argument == "--forget") && hasValue &&
                   command.empty()) {
            command = argument;
            id = argv[++i];
        } else {
            return Usage();
        }
    }
    if (argc == 1 && !root.empty()) {
        UndoDialog(root).RunModal(nullptr);
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
    std::vector<std::string> report;
    const restorepoints::Outcome outcome = restorepoints::Restore(root, id, dryRun, report);
    if (outcome == restorepoints::Outcome::NotFound) {
        Print("no restore point " + id);
        return 2;
    }
    if (dryRun) Print("dry run: nothing is changed");
    for (const std::string& line : report) Print(line);
    return outcome == restorepoints::Outcome::Done ? 0 : 1;
}
