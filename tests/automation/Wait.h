// Polling until something shows up on the screen: a window, a text, the end
// of a process. Windows of another process appear asynchronously, so every
// check of "what the user sees next" waits for it, up to a deadline.
#pragma once

#include <windows.h>

namespace automation {

constexpr DWORD kPollIntervalMs = 20;

// Calls probe() until it yields a value that converts to true or timeoutMs
// have passed; returns the last value it yielded.
template <typename Probe>
auto WaitFor(Probe probe, DWORD timeoutMs) -> decltype(probe()) {
    const DWORD start = GetTickCount();
    for (;;) {
        auto value = probe();
        if (value || GetTickCount() - start >= timeoutMs) return value;
        Sleep(kPollIntervalMs);
    }
}

}  // namespace automation
