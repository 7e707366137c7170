// The program's one way to show a message box.
//
// Every box is modal, owned by the active window of the calling thread, and
// carries the caption kMessageBoxCaption. `flags` are MessageBoxA's flags
// (MB_OK, MB_YESNOCANCEL, MB_ICONINFORMATION, ...).
//
//   AppMessageBox          the button that closed the box (IDOK, IDYES,
//                          IDNO, IDCANCEL, ...), or 0 when the box could not
//                          be shown
//   SetMessageBoxFunction  makes `show` what AppMessageBox calls and returns
//                          the function set before; an empty function
//                          restores the system's box. Tests put in one that
//                          records every box and answers from a script, so
//                          nothing waits for a user.
#pragma once

#include <functional>
#include <string>

inline constexpr const char* kMessageBoxCaption = "Pakwerk";

using MessageBoxFunction = std::function<int(const std::string& text, unsigned int flags)>;

int AppMessageBox(const std::string& text, unsigned int flags);

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction show);
