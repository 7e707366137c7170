// The installation run's questions asked from a worker thread and answered
// on a window's thread.
//
// The install dialog runs the installation on a worker thread so that its
// window keeps answering; the message boxes must still open on the dialog's
// thread, modal and owned as when the run went on that thread. Every call is
// sent to `window` as `message` (SendMessageA: the worker waits until it is
// answered, so calls keep their order); the window's procedure hands the
// message's lParam to Deliver, which makes the call on `target` there.
//
//   every call         the target's result
//   AskAboutNewerFile  Replace when the window could not take the call
//                      (as for a box that could not be shown)
//   Deliver            makes the call carried by lParam; false for none
#pragma once

#include <windows.h>

#include <functional>

#include "engine/InstallQuestions.h"

class RelayedQuestions : public InstallQuestions {
public:
    RelayedQuestions(HWND window, UINT message, InstallQuestions& target);

    fileentry::Answer AskAboutNewerFile(const std::string& destination,
                                        const std::string& source) override;
    void SourceMissing(const std::string& source) override;
    void CopyFailed(const std::string& source, const std::string& destination) override;
    void ScriptMissing() override;
    void ListNotWritten(const std::string& list) override;

    static bool Deliver(LPARAM call);

private:
    void Relay(const std::function<void(InstallQuestions&)>& call);

    HWND window;
    UINT message;
    InstallQuestions& target;
};
