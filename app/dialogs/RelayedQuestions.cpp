#include "app/dialogs/RelayedQuestions.h"

namespace {

// What travels in the message: the call, bound to the target.
using Call = std::function<void()>;

}  // namespace

RelayedQuestions::RelayedQuestions(HWND window, UINT message, InstallQuestions& target)
    : window(window), message(message), target(target) {}

fileentry::Answer RelayedQuestions::AskAboutNewerFile(const std::string& destination,
                                                      const std::string& source) {
    fileentry::Answer answer = fileentry::Answer::Replace;
    Relay([&](InstallQuestions& questions) {
        answer = questions.AskAboutNewerFile(destination, source);
    });
    return answer;
}

void RelayedQuestions::SourceMissing(const std::string& source) {
    Relay([&](InstallQuestions& questions) { questions.SourceMissing(source); });
}

void RelayedQuestions::CopyFailed(const std::string& source, const std::string& destination) {
    Relay([&](InstallQuestions& questions) { questions.CopyFailed(source, destination); });
}

void RelayedQuestions::ScriptMissing() {
    Relay([](InstallQuestions& questions) { questions.ScriptMissing(); });
}

void RelayedQuestions::ListNotWritten(const std::string& list) {
    Relay([&](InstallQuestions& questions) { questions.ListNotWritten(list); });
}

bool RelayedQuestions::Deliver(LPARAM call) {
    if (call == 0) return false;
    (*reinterpret_cast<const Call*>(call))();
    return true;
}

void RelayedQuestions::Relay(const std::function<void(InstallQuestions&)>& call) {
    const Call bound = [&] { call(target); };
    SendMessageA(window, message, 0, reinterpret_cast<LPARAM>(&bound));
}
