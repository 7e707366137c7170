#include "app/dialogs/InstallDialog.h"

#include "app/InstallMessageBoxes.h"
#include "app/Messages.h"
#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/SystemMenu.h"
#include "engine/InstallEngine.h"
#include "engine/RestorePoints.h"
#include "engine/RestoreRecorder.h"
#include "resources/resource.h"

InstallDialog::InstallDialog(const InstallCatalogue& catalogue, int32_t catalogueMode)
    : Dialog(IDD_INSTALL),
      catalogue(catalogue),
      catalogueMode(catalogueMode),
      icons(LoadWindowIcons()) {}

INT_PTR InstallDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return TRUE;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: RunInstall(); return TRUE;
        case IDCANCEL: EndModal(IDCANCEL); return TRUE;
        }
        break;

    case kAutoStartMessage:
        Sleep(kAutoStartDelayMs);
        RunInstall();
        SetMessageResult(0);
        return TRUE;

    case WM_SYSCOMMAND:
        if (systemmenu::IsAboutCommand(wParam)) {
            AboutDialog().RunModal(nullptr);
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
    introText = messages::Load(messages::kIntroduction);

    Bind(progressBar, IDC_PROGRESS);
    Bind(cancelButton, IDCANCEL);
    Bind(installButton, IDOK);
    ExchangeText(IDC_INTRO, introText, false);

    cancelButton.SetText(messages::Load(messages::kCancelCaption));
    installButton.SetText(messages::Load(messages::kInstallCaption));

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
        messages::Show(messages::kHostMissing, MB_OK);
        running = false;
        return;
    }
    InstallMessageBoxes questions;
    // Every run leaves a restore point; recording never changes the run.
    RestoreRecorder recorder(restorepoints::DefaultRoot(), ChosenPackageName(), RestoreProgram());
    engine.SetObserver(recorder);
    const int32_t status = engine.Run(progressBar, questions);
    if (status < 0) {
        messages::Show(messages::kInstallFailed, MB_OK);
    } else {
        messages::Show(messages::kInstallSucceeded, MB_ICONINFORMATION);
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
    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    const std::string path(program, length);
    return path.substr(0, path.rfind('\\') + 1) + "pakundo.exe";
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
