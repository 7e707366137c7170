// Message boxes for tests: while a ScriptedMessageBox lives, every
// AppMessageBox is recorded and answered from its script instead of shown.
//
// A box whose buttons are only OK (MB_OK) is answered IDOK and uses up no
// scripted answer. Every other box takes the next scripted answer; when the
// script is used up it returns 0, as if the box could not be shown, and
// counts the question in UnansweredQuestions().
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "app/AppMessageBox.h"

struct ShownBox {
    std::string text;
    unsigned int flags = 0;

    bool operator==(const ShownBox& other) const {
        return text == other.text && flags == other.flags;
    }
};

class ScriptedMessageBox {
public:
    explicit ScriptedMessageBox(const std::vector<int>& answers = {})
        : answers(answers.begin(), answers.end()),
          previous(SetMessageBoxFunction([this](const std::string& text, unsigned int flags) {
              return Answer(text, flags);
          })) {}
    ~ScriptedMessageBox() { SetMessageBoxFunction(std::move(previous)); }
    ScriptedMessageBox(const ScriptedMessageBox&) = delete;
    ScriptedMessageBox& operator=(const ScriptedMessageBox&) = delete;

    // Every box shown so far, in order.
    const std::vector<ShownBox>& Shown() const { return shown; }

    // Questions shown after the scripted answers ran out.
    int UnansweredQuestions() const { return unanswered; }

private:
    int Answer(const std::string& text, unsigned int flags) {
        shown.push_back({text, flags});
        if ((flags & MB_TYPEMASK) == MB_OK) return IDOK;
        if (answers.empty()) {
            ++unanswered;
            return 0;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<int> answers;
    std::vector<ShownBox> shown;
    int unanswered = 0;
    MessageBoxFunction previous;
};
