// The installer's windows as the tests and scripts recognise them: by their
// controls and class, never by their localised titles.
//
//   Install    the install dialog: a dialog with the progress bar (1000)
//   Selection  the selection dialog: a dialog with the package list (1002)
//   Restore    the restore program's window: a dialog with the list of
//              restore points (1100)
//   About      the about box: a dialog that is none of the above nor a
//              message box
//   Message    a message box with the caption "Pakwerk"
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace automation {

enum class ProgramWindow { Install, Selection, Restore, About, Message };

namespace control {
constexpr int kInstallButton = 1;  // IDOK of the install and selection dialogs
constexpr int kCancelButton = 2;
constexpr int kProgressBar = 1000;
constexpr int kIntroText = 1001;
constexpr int kPackageList = 1002;
constexpr int kDescription = 1003;
constexpr int kPointList = 1100;  // the restore program's list view
constexpr int kPreview = 1101;    // what a restore of the selected one would do
constexpr UINT kAboutCommand = 0x10;
}  // namespace control

constexpr const char* kMessageCaption = "Pakwerk";

bool IsProgramWindow(HWND window, ProgramWindow kind);

// The first visible window of that kind of the process (of any process for
// id 0), or nullptr; the waiting form polls until timeoutMs have passed.
HWND FindProgramWindow(DWORD processId, ProgramWindow kind);
HWND WaitForProgramWindow(DWORD processId, ProgramWindow kind, DWORD timeoutMs);

// Kind names for scripts: "install", "selection", "restore", "about",
// "message".
std::optional<ProgramWindow> ParseProgramWindow(const std::string& name);

}  // namespace automation
