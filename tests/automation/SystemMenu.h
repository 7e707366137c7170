// Reading another process's system menu. Menus are per process under Wine
// (GetSystemMenu on a foreign window returns nothing), so the menu is read
// from inside the window's own process: a message hook places the small
// probe library (pakwerk_menuprobe.dll, built beside the helper) into that
// process, which writes the menu's items to a file in the temporary folder
// that this side then reads.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace automation {

struct MenuItem {
    UINT id = 0;
    bool separator = false;
    std::wstring text;  // with its "&" mnemonic marks, as stored in the menu
};

// The items of the window's system menu in order; std::nullopt when the
// probe cannot be placed or the window's thread does not fetch messages
// within timeoutMs (it is busy, or the window is gone). A window without a
// system menu gives an empty list.
std::optional<std::vector<MenuItem>> ReadSystemMenu(HWND window, DWORD timeoutMs);

}  // namespace automation
