// Finding another process's windows and reading what they show, as a person
// reading the screen would. Every message to a foreign window is sent with a
// timeout (kAnswerTimeoutMs): the installer answers nothing while it installs
// or waits, and a plain SendMessage would hang the reader with it.
//
// Results: a std::nullopt means "the window did not answer in time or does not
// exist"; an empty text or list is a real answer.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace automation {

constexpr UINT kAnswerTimeoutMs = 1000;

// Class name under which the system registers dialogs and message boxes.
constexpr const char* kDialogClass = "#32770";

// Id of a message box's text under Wine; its icon static is 0x440.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconId = 0x440;

// Visible top-level windows of the process (every process for id 0), in the
// system's z-order, topmost first.
std::vector<HWND> TopLevelWindows(DWORD processId);

// The first visible top-level dialog of the process that satisfies the test,
// or nullptr.
HWND FindDialog(DWORD processId, const std::function<bool(HWND)>& test);

std::string ClassName(HWND window);
bool IsDialog(HWND window);
bool IsMessageBox(HWND window);  // a dialog with the message-box text and icon statics
bool HasControl(HWND dialog, int id);

std::optional<std::wstring> WindowText(HWND window);
std::optional<std::wstring> ControlText(HWND dialog, int id);

// The texts of all the dialog's controls, in creation order; unnamed statics
// (id -1) are found only this way.
std::vector<std::wstring> ControlTexts(HWND dialog);

// The message box's text, as the system shows it (line breaks and tabs kept).
std::optional<std::wstring> MessageBoxText(HWND box);

// Ids of the dialog's visible push buttons in creation order; for a message
// box these tell its button set (IDOK; IDYES, IDNO, IDCANCEL; ...).
std::vector<int> ButtonIds(HWND dialog);

// Whether the message box shows an icon. The icon itself cannot be compared
// across processes (icon handles are per process under Wine).
std::optional<bool> MessageBoxHasIcon(HWND box);

std::optional<std::vector<std::wstring>> ListItems(HWND list);
std::optional<int> ListSelection(HWND list);  // -1: nothing selected

// A list view in report mode: its column titles, and each row's texts from
// the first column to the last, in the order shown.
std::optional<std::vector<std::wstring>> ListViewColumns(HWND list);
std::optional<std::vector<std::vector<std::wstring>>> ListViewRows(HWND list);
std::optional<int> ListViewSelection(HWND list);  // -1: nothing selected

// The id of the dialog's visible default push button (the one Enter
// presses), or nullopt when it has none.
std::optional<int> DefaultButton(HWND dialog);

std::optional<int> ProgressPosition(HWND bar);

// A multi-line description of the process's windows and their controls, for
// failure messages.
std::string Describe(DWORD processId);

}  // namespace automation
