// AppMessageBox for tests: records every box and answers from a script.
//
// A box whose buttons are only OK (MB_OK) is answered IDOK and uses up no
// scripted answer. Every other box takes the next scripted answer; when the
// script is used up it returns 0, as if the box could not be shown, and
// counts the question in UnansweredQuestions().
#pragma once

#include <string>
#include <vector>

namespace scriptedmessagebox {

struct ShownBox {
  std::string text;
  unsigned int flags = 0;

  bool operator==(const ShownBox& other) const {
    return text == other.text && flags == other.flags;
  }
};

// Forgets what was shown and sets the answers to the questions to come.
void Reset(std::vector<int> answers = {});

// Every box shown since the last Reset, in order.
const std::vector<ShownBox>& Shown();

// Questions shown after the scripted answers ran out.
int UnansweredQuestions();

}  // namespace scriptedmessagebox
