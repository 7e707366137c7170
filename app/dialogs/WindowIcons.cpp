#include "app/dialogs/WindowIcons.h"

#include "resources/resource.h"

namespace {

HICON LoadProgramIcon(int sizeMetric) {
    const int size = GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PAKWERK),
                                         IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace

WindowIcons LoadWindowIcons() {
    WindowIcons icons;
    icons.bigIcon = LoadProgramIcon(SM_CXICON);
    icons.smallIcon = LoadProgramIcon(SM_CXSMICON);
    return icons;
}

void SetWindowIcons(HWND window, const WindowIcons& icons) {
    if (icons.bigIcon) {
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.bigIcon));
    }
    if (icons.smallIcon) {
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.smallIcon));
    }
}
