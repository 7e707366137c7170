// The install dialog's progress bar, and the ProgressSink through which an
// installation run reports to it.
//
// SetPos also repaints the dialog now and then: every 101st call invalidates
// the whole client area of the bar's parent, so the dialog catches up on
// painting while a run keeps the thread busy. StepIt sends the parent a
// WM_PAINT for the same reason. Up to three windows may be attached as text
// targets of SetText1..3; without one those operations change nothing.
// Results are as ProgressSink says.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/dialogs/Control.h"
#include "engine/ProgressSink.h"

class ProgressBar : public Control, public ProgressSink {
public:
    static constexpr int32_t kRepaintInterval = 100;
    static constexpr int kTextTargets = 3;

    ProgressBar() = default;

    // Attaches `target` (or none, with null) as text target 1, 2 or 3.
    void SetTextTarget(int number, HWND target);

    bool SetRange(int32_t lower, int32_t upper) override;
    void GetRange(int32_t& lower, int32_t& upper) override;
    bool SetPos(int32_t position) override;
    int32_t GetPos() override;
    int32_t OffsetPos(int32_t delta) override;
    int32_t SetStep(int32_t step) override;
    int32_t StepIt() override;
    bool SetText1(const char* text) override;
    bool SetText2(const char* text) override;
    bool SetText3(const char* text) override;

private:
    bool SetTargetText(int index, const char* text);
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;

    int32_t repaintCounter = 0;
    HWND textTargets[kTextTargets] = {};
};
