#include "app/AppMessageBox.h"

#include <windows.h>

#include <utility>

namespace {

int SystemMessageBox(const std::string& text, unsigned int flags) {
    return MessageBoxA(GetActiveWindow(), text.c_str(), kMessageBoxCaption, flags);
}

MessageBoxFunction& Current() {
    static MessageBoxFunction show = SystemMessageBox;
    return show;
}

}  // namespace

int AppMessageBox(const std::string& text, unsigned int flags) {
    return Current()(text, flags);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction show) {
    if (!show) show = SystemMessageBox;
    return std::exchange(Current(), std::move(show));
}
