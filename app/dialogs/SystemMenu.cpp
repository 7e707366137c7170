#include "app/dialogs/SystemMenu.h"

#include <string>

#include "app/Messages.h"

namespace systemmenu {

void AppendAboutEntry(HWND dialog) {
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (!menu) return;
    const std::string text = messages::Load(messages::AboutMenuEntry);
    if (text.empty()) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kAboutCommand, text.c_str());
}

// The low four bits of a system command are the system's own.
bool IsAboutCommand(WPARAM command) {
    return (command & 0xFFF0) == kAboutCommand;
}

}  // namespace systemmenu
