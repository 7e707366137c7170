// The program's icon (resource 128) in the two sizes a window shows: the
// big one for the task switcher and a minimised window, the small one for
// the title bar. The handles are shared and never destroyed; a handle is
// null when the icon could not be loaded, which leaves the window's default.
#pragma once

#include <windows.h>

struct WindowIcons {
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
};

WindowIcons LoadWindowIcons();
void SetWindowIcons(HWND window, const WindowIcons& icons);
