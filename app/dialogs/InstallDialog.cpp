#include "app/dialogs/InstallDialog.h"

#include "app/InstallMessageBoxes.h"
#include "app/Messages.h"
#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/RelayedQuestions.h"
#include "app/dialogs/SystemMenu.h"
#include "engine/InstallEngine.h"
#include "engine/RestorePoints.h"
#include "engine/RestoreRecorder.h"
#include "resources/resource.h"

namespace {

// One run on the worker thread.
struct Work {
    InstallEngine& engine;
    ProgressSink& sink;
    InstallQuestions& questions;
    HRESULT status = E_FAIL;
};

DWORD WINAPI RunWork(void* work) {
    Work& run = *static_cast<Work*>(work);
    run.status = run.engine.Run(run.sink, run.questions);
    return 0;
}

// Lets the thread's messages through (the dialog's keys included) until
// `handle` is signalled. A WM_QUIT met on the way is posted again for the
// loop it was meant for.
void PumpMessagesUntil(HWND dialog, HANDLE handle) {
    bool quit = false;
    WPARAM quitCode = 0;
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = message.wParam;
            } else if (!IsDialogMessageA(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }
    // Should the wait itself fail, the run still uses this thread's objects.
    WaitForSingleObject(handle, INFINITE);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

}  // namespace

InstallDialog::InstallDialog(const InstallCatalogue& catalogue, int32_t catalogueMode)
    : Dialog(IDD_INSTALL),
      catalogue(catalogue),
      catalogueMode(catalogueMode),
      icons(LoadWindowIcons()) {}

INT_PTR InstallDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return TRUE;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: RunInstall(); return TRUE;
        case IDCANCEL:
            // The run's own end closes the dialog; the button, the close box
            // and Escape wait for it.
            if (!running) EndModal(IDCANCEL);
            return TRUE;
        }
        break;

    case kAutoStartMessage:
        if (!running) {
            Sleep(kAutoStartDelayMs);
            RunInstall();
        }
        SetMessageResult(0);
        return TRUE;

    case kRelayedQuestionMessage:
        RelayedQuestions::Deliver(lParam);
        SetMessageResult(0);
        return TRUE;

    case WM_SYSCOMMAND:
        if (systemmenu::IsAboutCommand(wParam)) {
            // An about box opened during a run would own the run's questions.
            if (!running) AboutDialog().RunModal(nullptr);
            return TRUE;
        }
        break;

    case WM_PAINT:
        if (IsIconic(Handle())) {
            PaintMinimised();
            return TRUE;
        }
        break;

    case WM_QUERYDRAGICON: return reinterpret_cast<INT_PTR>(icons.bigIcon);
    }
    return FALSE;
}

void InstallDialog::OnInitDialog() {
    introText = messages::Load(messages::Introduction);

    Bind(progressBar, IDC_PROGRESS);
    Bind(cancelButton, IDCANCEL);
    Bind(installButton, IDOK);
    ExchangeText(IDC_INTRO, introText, false);

    cancelButton.SetText(messages::Load(messages::CancelCaption));
    installButton.SetText(messages::Load(messages::InstallCaption));

    systemmenu::AppendAboutEntry(Handle());
    SetWindowIcons(Handle(), icons);

    if (catalogueMode != 0) PostMessageA(Handle(), kAutoStartMessage, 0, 0);
}

void InstallDialog::RunInstall() {
    // The result boxes run their own message loops; a click or a second start
    // message let through there must not begin a run inside the running one.
    if (running) return;
    running = true;

    InstallEngine engine(catalogue, catalogueMode);
    if (!engine.HostFound()) {
        messages::Show(messages::HostMissing, MB_OK);
        running = false;
        return;
    }
    InstallMessageBoxes questions;
    // Every run leaves a restore point; recording never changes the run.
    RestoreRecorder recorder(restorepoints::DefaultRoot(), ChosenPackageName(), RestoreProgram());
    engine.SetObserver(recorder);
    const int32_t status = RunEngine(engine, questions);
    if (status < 0) {
        messages::Show(messages::InstallFailed, MB_OK);
    } else {
        messages::Show(messages::InstallSucceeded, MB_ICONINFORMATION);
    }
    ExchangeText(IDC_INTRO, introText, true);
    EndModal(IDOK);
    running = false;
}

std::string InstallDialog::ChosenPackageName() const {
    // Empty for a single package: the restore point names its folder.
    const int32_t index = catalogue.selectedIndex;
    if (catalogueMode == 0 || index < 0 || index >= catalogue.entryCount) return std::string();
    return catalogue.entries[index].name;
}

std::string InstallDialog::RestoreProgram() {
    // Taken from the running program's own image, not from its file: the
    // folder it was started from may be one others can write to.
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_RESTORE_PROGRAM), RT_RCDATA);
    HGLOBAL loaded = found != nullptr ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return std::string();
    return std::string(static_cast<const char*>(bytes), SizeofResource(nullptr, found));
}

HRESULT InstallDialog::RunEngine(InstallEngine& engine, InstallQuestions& questions) {
    // The steps run on a worker thread while this one answers the window:
    // a large package takes longer than Windows waits before it calls a
    // window "Not Responding". The questions come back here to be asked;
    // the progress bar takes its messages here too.
    RelayedQuestions relayed(Handle(), kRelayedQuestionMessage, questions);
    Work work{engine, progressBar, relayed};
    HANDLE worker = CreateThread(nullptr, 0, RunWork, &work, 0, nullptr);
    if (!worker) return engine.Run(progressBar, questions);
    PumpMessagesUntil(Handle(), worker);
    CloseHandle(worker);
    return work.status;
}

void InstallDialog::PaintMinimised() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    if (!dc) return;
    SendMessageA(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    if (icons.bigIcon) DrawIcon(dc, x, y, icons.bigIcon);
    EndPaint(Handle(), &paint);
}
