#include "app/testing/ScriptedMessageBox.h"

#include <deque>

#include "app/AppMessageBox.h"

namespace {

constexpr unsigned int kButtonMask = 0x0F;  // MB_TYPEMASK
constexpr unsigned int kOkOnly = 0;         // MB_OK
constexpr int kOk = 1;                      // IDOK

struct Script {
  std::vector<scriptedmessagebox::ShownBox> shown;
  std::deque<int> answers;
  int unanswered = 0;
};

Script& State() {
  static Script script;
  return script;
}

}  // namespace

namespace scriptedmessagebox {

void Reset(std::vector<int> answers) {
  State() = Script{};
  State().answers.assign(answers.begin(), answers.end());
}

const std::vector<ShownBox>& Shown() { return State().shown; }

int UnansweredQuestions() { return State().unanswered; }

}  // namespace scriptedmessagebox

int AppMessageBox(const std::string& text, unsigned int flags) {
  Script& script = State();
  script.shown.push_back({text, flags});
  if ((flags & kButtonMask) == kOkOnly) return kOk;
  if (script.answers.empty()) {
    ++script.unanswered;
    return 0;
  }
  int answer = script.answers.front();
  script.answers.pop_front();
  return answer;
}
