// The installation run's questions and notices as the program's localised
// message boxes (Messages.h), each with its base id and arguments in order:
//
//   AskAboutNewerFile  103, Yes/No/Cancel, destination and source: Yes
//                      keeps the file, Cancel keeps it and every later newer
//                      one, No and a box that could not be shown replace it
//   SourceMissing      108, OK, the source
//   CopyFailed         107, OK, source and destination
//   ScriptMissing      102, OK
//   ListNotWritten     nothing: the run's failure message says it
#pragma once

#include "engine/InstallQuestions.h"

class InstallMessageBoxes : public InstallQuestions {
public:
    fileentry::Answer AskAboutNewerFile(const std::string& destination,
                                        const std::string& source) override;
    void SourceMissing(const std::string& source) override;
    void CopyFailed(const std::string& source, const std::string& destination) override;
    void ScriptMissing() override;
    void ListNotWritten(const std::string& list) override;
};
