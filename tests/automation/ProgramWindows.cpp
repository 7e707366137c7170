#include "automation/ProgramWindows.h"

#include "automation/Utf8.h"
#include "automation/Wait.h"
#include "automation/WindowQuery.h"

namespace automation {

bool IsProgramWindow(HWND window, ProgramWindow kind) {
    if (!IsDialog(window)) return false;
    const bool message = IsMessageBox(window);
    const bool install = HasControl(window, control::kProgressBar);
    const bool selection = HasControl(window, control::kPackageList);
    const bool restore = HasControl(window, control::kPointList);
    switch (kind) {
    case ProgramWindow::Install: return !message && install;
    case ProgramWindow::Selection: return !message && selection;
    case ProgramWindow::Restore: return !message && restore;
    case ProgramWindow::About: return !message && !install && !selection && !restore;
    case ProgramWindow::Message: {
        if (!message) return false;
        const auto caption = WindowText(window);
        return caption && *caption == Widen(kMessageCaption);
    }
    }
    return false;
}

HWND FindProgramWindow(DWORD processId, ProgramWindow kind) {
    return FindDialog(processId, [kind](HWND window) { return IsProgramWindow(window, kind); });
}

HWND WaitForProgramWindow(DWORD processId, ProgramWindow kind, DWORD timeoutMs) {
    return WaitFor([&] { return FindProgramWindow(processId, kind); }, timeoutMs);
}

std::optional<ProgramWindow> ParseProgramWindow(const std::string& name) {
    if (name == "install") return ProgramWindow::Install;
    if (name == "selection") return ProgramWindow::Selection;
    if (name == "restore") return ProgramWindow::Restore;
    if (name == "about") return ProgramWindow::About;
    if (name == "message") return ProgramWindow::Message;
    return std::nullopt;
}

}  // namespace automation
