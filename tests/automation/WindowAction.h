// Acting on another process's windows as a user would. Actions are posted,
// never sent: the target may block for seconds (an install runs on its only
// thread) or open a modal message box in response, and the helper must stay
// free to watch that happen.
//
// Every action returns false when its window or control does not exist (or
// is disabled, for buttons), true when the action was delivered.
#pragma once

#include <windows.h>

namespace automation {

// A click on the dialog's push button: WM_COMMAND with BN_CLICKED to the dialog.
bool PressButton(HWND dialog, int id);

// Answers a message box with one of its buttons (IDOK, IDYES, IDNO, IDCANCEL);
// false when the box has no such button.
bool AnswerMessageBox(HWND box, int buttonId);

// Selects a list item as a click would: LB_SETCURSEL on the list, then
// WM_COMMAND with LBN_SELCHANGE to its parent. False when the list does not
// exist or did not accept the position in time.
bool SelectListItem(HWND dialog, int listId, int index);

// A key pressed and let go on the window (WM_KEYDOWN, WM_KEYUP), as the
// keyboard gives it to the window with the focus: the target's dialog
// manager sees it first (Enter presses the default button, Tab moves on).
bool PressKey(HWND window, UINT key);

// A click on the header of a list view's column: the left button pressed
// and let go in the middle of the column's header (which then tells the
// dialog, LVN_COLUMNCLICK). The system carries no WM_NOTIFY from another
// process, so the click goes the way a mouse's would. False when the list,
// its header or the column is missing.
bool ClickColumnHeader(HWND dialog, int listId, int column);

// A choice from the window's system menu: WM_SYSCOMMAND with the command.
bool ChooseSystemCommand(HWND window, UINT command);

}  // namespace automation
