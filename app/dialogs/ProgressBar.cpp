#include "app/dialogs/ProgressBar.h"

#include <commctrl.h>

void ProgressBar::SetTextTarget(int number, HWND target) {
    if (number >= 1 && number <= kTextTargets) textTargets[number - 1] = target;
}

bool ProgressBar::SetRange(int32_t lower, int32_t upper) {
    Send(PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
    return true;
}

void ProgressBar::GetRange(int32_t& lower, int32_t& upper) {
    PBRANGE range = {};
    Send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    lower = range.iLow;
    upper = range.iHigh;
}

bool ProgressBar::SetPos(int32_t position) {
    if (++repaintCounter > kRepaintInterval) {
        repaintCounter = 0;
        HWND parent = Handle() ? GetParent(Handle()) : nullptr;
        if (parent) InvalidateRect(parent, nullptr, TRUE);
    }
    Send(PBM_SETPOS, static_cast<WPARAM>(position), 0);
    return true;
}

int32_t ProgressBar::GetPos() {
    return static_cast<int32_t>(Send(PBM_GETPOS, 0, 0));
}

int32_t ProgressBar::OffsetPos(int32_t delta) {
    return static_cast<int32_t>(Send(PBM_DELTAPOS, static_cast<WPARAM>(delta), 0));
}

int32_t ProgressBar::SetStep(int32_t step) {
    return static_cast<int32_t>(Send(PBM_SETSTEP, static_cast<WPARAM>(step), 0));
}

int32_t ProgressBar::StepIt() {
    HWND parent = Handle() ? GetParent(Handle()) : nullptr;
    if (parent) SendMessageA(parent, WM_PAINT, 0, 0);
    return static_cast<int32_t>(Send(PBM_STEPIT, 0, 0));
}

bool ProgressBar::SetText1(const char* text) {
    return SetTargetText(0, text);
}
bool ProgressBar::SetText2(const char* text) {
    return SetTargetText(1, text);
}
bool ProgressBar::SetText3(const char* text) {
    return SetTargetText(2, text);
}

bool ProgressBar::SetTargetText(int index, const char* text) {
    if (textTargets[index]) SetWindowTextA(textTargets[index], text ? text : "");
    return true;
}

// Without a window every operation leaves things as they are and reads 0.
LRESULT ProgressBar::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return Handle() ? SendMessageA(Handle(), message, wParam, lParam) : 0;
}
