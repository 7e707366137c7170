// The program's one way to show a message box.
//
// Every box is modal, owned by the active window of the calling thread, and
// carries the caption kMessageBoxCaption. `flags` are MessageBoxA's flags
// (MB_OK, MB_YESNOCANCEL, MB_ICONINFORMATION, ...).
//
// Returns the button that closed the box (IDOK, IDYES, IDNO, IDCANCEL, ...),
// or 0 when the box could not be shown.
//
// The program links AppMessageBox.cpp, which asks the user. Tests link
// app/testing/ScriptedMessageBox.cpp instead, which records every box and
// answers from a script, so nothing waits for a user.
#pragma once

#include <string>

inline constexpr const char* kMessageBoxCaption = "Pakwerk";

int AppMessageBox(const std::string& text, unsigned int flags);
