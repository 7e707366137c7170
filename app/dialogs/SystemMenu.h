// The about entry that the selection and install dialogs add to their
// system menus.
//
//   AppendAboutEntry   adds a separator and the localised about text with
//                      command kAboutCommand; adds nothing when the window has
//                      no system menu or the text is empty
//   IsAboutCommand     true for a WM_SYSCOMMAND wParam that names the entry
#pragma once

#include <windows.h>

namespace systemmenu {

inline constexpr UINT kAboutCommand = 0x10;

void AppendAboutEntry(HWND dialog);
bool IsAboutCommand(WPARAM command);

}  // namespace systemmenu
