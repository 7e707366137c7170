#include "app/AppMessageBox.h"

#include <windows.h>

int AppMessageBox(const std::string& text, unsigned int flags) {
  return MessageBoxA(GetActiveWindow(), text.c_str(), kMessageBoxCaption, flags);
}
