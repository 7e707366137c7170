#include "app/dialogs/Control.h"

#include <commctrl.h>

namespace {
constexpr UINT_PTR kSubclassId = 1;
}

Control::~Control() {
    RemoveSubclass();
}

void Control::Attach(HWND newWindow) {
    RemoveSubclass();
    window = newWindow;
}

void Control::SetText(const std::string& text) {
    if (window) SetWindowTextA(window, text.c_str());
}

bool Control::Subclass() {
    if (!window || subclassed) return subclassed;
    subclassed = SetWindowSubclass(window, SubclassProcedure, kSubclassId,
                                   reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    return subclassed;
}

void Control::RemoveSubclass() {
    if (subclassed && window) RemoveWindowSubclass(window, SubclassProcedure, kSubclassId);
    subclassed = false;
}

LRESULT Control::WindowProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProcedure(message, wParam, lParam);
}

LRESULT Control::DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) {
    Control* control = reinterpret_cast<Control*>(self);
    if (message == WM_NCDESTROY) {
        // The window is going: forget it, so the object can be bound again
        // when its dialog opens the next time.
        control->RemoveSubclass();
        control->window = nullptr;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return control->WindowProcedure(message, wParam, lParam);
}
