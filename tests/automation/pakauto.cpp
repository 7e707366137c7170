// pakauto: drives the installer's windows from shell scripts (the example run,
// the screenshots). It runs under Wine in the installer's prefix and looks at
// the windows of every process there. Texts are printed in UTF-8.
//
//   pakauto wait KIND [MS]      wait until a KIND window shows; print its texts
//   pakauto gone KIND [MS]      wait until no KIND window is left
//   pakauto show KIND           print the texts of a KIND window
//   pakauto press KIND ID       click push button ID of a KIND window
//   pakauto select INDEX        select an item of the selection dialog's list
//   pakauto about KIND          choose the about entry of its system menu
//   pakauto menu KIND           print its system menu
//   pakauto xid KIND            print the X window that shows it (for
//                               screenshots of one window)
//   pakauto answer-all [MS]     answer message boxes (Yes to a question, else
//                               OK), printing each, until the installer's
//                               windows are all gone
//   pakauto describe            print every window and its controls
//
// KIND is install, selection, restore, about or message. `show restore`
// prints the restore points' columns and rows (tab-separated; the selected
// row marked *) and what a restore of the selected one would do. Exit status: 0 done, 1 the
// window did not show (or not go) in time, 2 wrong usage.
#include "automation/ProgramWindows.h"
#include "automation/SystemMenu.h"
#include "automation/Utf8.h"
#include "automation/Wait.h"
#include "automation/WindowAction.h"
#include "automation/WindowQuery.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>

using namespace automation;

namespace {

constexpr DWORD kDefaultTimeoutMs = 20000;

int Usage() {
    std::fputs(
        "usage: pakauto wait|gone|show|press|select|about|menu|xid|answer-all|describe ...\n",
        stderr);
    return 2;
}

void Print(const std::string& label, const std::wstring& text) {
    std::printf("%s: %s\n", label.c_str(), Narrow(text).c_str());
}

void Show(HWND window) {
    if (const auto title = WindowText(window)) Print("title", *title);
    if (IsMessageBox(window)) {
        if (const auto text = MessageBoxText(window)) Print("text", *text);
        std::string buttons;
        for (int id : ButtonIds(window))
            buttons += (buttons.empty() ? "" : " ") + std::to_string(id);
        std::printf("buttons: %s\n", buttons.c_str());
        return;
    }
    for (int id : {control::kIntroText, control::kDescription, control::kInstallButton,
                   control::kCancelButton}) {
        if (const auto text = ControlText(window, id))
            Print("control " + std::to_string(id), *text);
    }
    if (HWND points = GetDlgItem(window, control::kPointList)) {
        const auto join = [](const std::vector<std::wstring>& cells) {
            std::wstring line;
            for (const auto& cell : cells) line += (line.empty() ? L"" : L"\t") + cell;
            return line;
        };
        if (const auto columns = ListViewColumns(points)) Print("columns", join(*columns));
        const auto rows = ListViewRows(points);
        const auto selection = ListViewSelection(points);
        for (size_t i = 0; rows && i < rows->size(); ++i) {
            Print(std::string(selection && *selection == (int)i ? "* row " : "  row ") +
                      std::to_string(i),
                  join((*rows)[i]));
        }
        if (const auto preview = ControlText(window, control::kPreview)) Print("preview", *preview);
    }
    if (HWND list = GetDlgItem(window, control::kPackageList)) {
        const auto items = ListItems(list);
        const auto selection = ListSelection(list);
        for (size_t i = 0; items && i < items->size(); ++i) {
            Print(std::string(selection && *selection == (int)i ? "* item " : "  item ") +
                      std::to_string(i),
                  (*items)[i]);
        }
    }
}

DWORD Timeout(int argc, char** argv, int index) {
    return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 10))
                        : kDefaultTimeoutMs;
}

bool AnyProgramWindow() {
    for (auto kind : {ProgramWindow::Install, ProgramWindow::Selection, ProgramWindow::Message}) {
        if (FindProgramWindow(0, kind)) return true;
    }
    return false;
}

int AnswerAll(DWORD timeoutMs) {
    for (;;) {
        HWND box = WaitFor([] { return FindProgramWindow(0, ProgramWindow::Message); }, timeoutMs);
        if (!box) return AnyProgramWindow() ? 1 : 0;
        Show(box);
        const auto buttons = ButtonIds(box);
        const bool question = std::find(buttons.begin(), buttons.end(), IDYES) != buttons.end();
        if (!AnswerMessageBox(box, question ? IDYES : IDOK)) return 1;
        WaitFor([box] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
        if (!WaitFor(
                [] {
                    return FindProgramWindow(0, ProgramWindow::Message) != nullptr ||
                           !AnyProgramWindow();
                },
                timeoutMs)) {
            return 1;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) return Usage();
    const std::string command = argv[1];

    if (command == "describe") {
        std::fputs(Describe(0).c_str(), stdout);
        return 0;
    }
    if (command == "answer-all") return AnswerAll(Timeout(argc, argv, 2));
    if (command == "select") {
        if (argc < 3) return Usage();
        HWND dialog = WaitForProgramWindow(0, ProgramWindow::Selection, kDefaultTimeoutMs);
        return dialog && SelectListItem(dialog, control::kPackageList, std::atoi(argv[2])) ? 0 : 1;
    }

    if (argc < 3) return Usage();
    const auto kind = ParseProgramWindow(argv[2]);
    if (!kind) return Usage();

    if (command == "wait") {
        HWND window = WaitForProgramWindow(0, *kind, Timeout(argc, argv, 3));
        if (!window) return 1;
        Show(window);
        return 0;
    }
    if (command == "gone") {
        return WaitFor([&] { return FindProgramWindow(0, *kind) == nullptr; },
                       Timeout(argc, argv, 3))
                   ? 0
                   : 1;
    }
    HWND window = WaitForProgramWindow(0, *kind, kDefaultTimeoutMs);
    if (!window) return 1;
    if (command == "show") {
        Show(window);
        return 0;
    }
    if (command == "press") {
        if (argc < 4) return Usage();
        return PressButton(window, std::atoi(argv[3])) ? 0 : 1;
    }
    if (command == "xid") {
        // Wine keeps the X window of a top-level window in this property.
        const HANDLE xid = GetPropA(window, "__wine_x11_whole_window");
        if (!xid) return 1;
        std::printf("0x%lx\n", (unsigned long)(ULONG_PTR)xid);
        return 0;
    }
    if (command == "about") return ChooseSystemCommand(window, control::kAboutCommand) ? 0 : 1;
    if (command == "menu") {
        const auto items = ReadSystemMenu(window, 5000);
        if (!items) return 1;
        for (const auto& item : *items) {
            std::printf("%u\t%s\n", item.id, item.separator ? "----" : Narrow(item.text).c_str());
        }
        return 0;
    }
    return Usage();
}
