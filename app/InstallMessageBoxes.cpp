#include "app/InstallMessageBoxes.h"

#include <windows.h>

#include "app/Messages.h"

fileentry::Answer InstallMessageBoxes::AskAboutNewerFile(const std::string& destination,
                                                         const std::string& source) {
    const int answer =
        messages::Show(messages::NewerFileQuestion, MB_YESNOCANCEL, destination, source);
    if (answer == IDYES) return fileentry::Answer::Keep;
    if (answer == IDCANCEL) return fileentry::Answer::KeepAll;
    return fileentry::Answer::Replace;
}

void InstallMessageBoxes::SourceMissing(const std::string& source) {
    messages::Show(messages::SourceMissing, MB_OK, source);
}

void InstallMessageBoxes::CopyFailed(const std::string& source, const std::string& destination) {
    messages::Show(messages::CopyFailed, MB_OK, source, destination);
}

void InstallMessageBoxes::ScriptMissing() {
    messages::Show(messages::ScriptMissing, MB_OK);
}

void InstallMessageBoxes::ListNotWritten(const std::string&) {}
