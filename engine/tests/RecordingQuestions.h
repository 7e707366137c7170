// InstallQuestions that write down every call, e.g.
// "SourceMissing(C:\Paket\a.3dm)", and answer the newer-file questions from a
// script; when the script is used up a question is answered Replace, as when
// nobody could answer. The functions in
// `asked` spell a call the way it is written down.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "engine/InstallQuestions.h"

namespace asked {

inline std::string NewerFile(const std::string& destination, const std::string& source) {
    return "AskAboutNewerFile(" + destination + ", " + source + ")";
}
inline std::string SourceMissing(const std::string& source) {
    return "SourceMissing(" + source + ")";
}
inline std::string CopyFailed(const std::string& source, const std::string& destination) {
    return "CopyFailed(" + source + ", " + destination + ")";
}
inline std::string ScriptMissing() {
    return "ScriptMissing()";
}
inline std::string ListNotWritten(const std::string& list) {
    return "ListNotWritten(" + list + ")";
}

}  // namespace asked

class RecordingQuestions : public InstallQuestions {
public:
    explicit RecordingQuestions(const std::vector<fileentry::Answer>& answers = {})
        : answers(answers.begin(), answers.end()) {}

    std::vector<std::string> calls;

    fileentry::Answer AskAboutNewerFile(const std::string& destination,
                                        const std::string& source) override {
        calls.push_back(asked::NewerFile(destination, source));
        if (answers.empty()) return fileentry::Answer::Replace;
        const fileentry::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void SourceMissing(const std::string& source) override {
        calls.push_back(asked::SourceMissing(source));
    }
    void CopyFailed(const std::string& source, const std::string& destination) override {
        calls.push_back(asked::CopyFailed(source, destination));
    }
    void ScriptMissing() override { calls.push_back(asked::ScriptMissing()); }
    void ListNotWritten(const std::string& list) override {
        calls.push_back(asked::ListNotWritten(list));
    }

private:
    std::deque<fileentry::Answer> answers;
};
