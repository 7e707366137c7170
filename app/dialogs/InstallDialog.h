// The install dialog: an introduction, a progress bar, an install and a
// cancel button. The install button (or, in catalogue mode, the dialog
// itself half a second after it opens) runs one installation with a fresh
// engine, shows the result and closes the dialog with IDOK. When the host
// program is not installed it says so and stays open for another try.
// Cancel and the close box end it with IDCANCEL, except during a run.
//
// The run's steps go on a worker thread while the dialog keeps answering
// and painting; its questions and progress are shown on the dialog's thread
// in the order the steps make them. During a run the buttons, the close box
// and the about entry do nothing, and no second run starts.
//
//   RunModal   IDOK after an installation run, IDCANCEL, or -1 when the
//              window could not be created
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "package/InstallCatalogue.h"
#include "app/dialogs/Control.h"
#include "app/dialogs/Dialog.h"
#include "app/dialogs/ProgressBar.h"
#include "app/dialogs/WindowIcons.h"

class InstallEngine;
class InstallQuestions;

class InstallDialog : public Dialog {
public:
    // Posted to itself when it opens in catalogue mode: start the run.
    static constexpr UINT kAutoStartMessage = WM_USER + 11;
    static constexpr DWORD kAutoStartDelayMs = 500;
    // Sent by the run's worker thread: ask a question here (RelayedQuestions).
    static constexpr UINT kRelayedQuestionMessage = WM_USER + 12;

    InstallDialog(const InstallCatalogue& catalogue, int32_t catalogueMode);

    void RunInstall();

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    void PaintMinimised();
    // The restore point's name: the chosen catalogue entry's, or empty.
    std::string ChosenPackageName() const;
    // The restore program this program carries (its resource); empty when
    // it carries none.
    static std::string RestoreProgram();
    HRESULT RunEngine(InstallEngine& engine, InstallQuestions& questions);

    const InstallCatalogue& catalogue;
    const int32_t catalogueMode;
    WindowIcons icons;
    ProgressBar progressBar;
    Control cancelButton;
    Control installButton;
    std::string introText;
    bool running = false;
};
