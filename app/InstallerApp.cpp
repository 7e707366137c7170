#include "app/InstallerApp.h"

#include <windows.h>
#include <commctrl.h>

#include "package/CatalogueReader.h"
#include "app/SelectionLoop.h"
#include "app/SimulatorProfile.h"
#include "app/dialogs/InstallDialog.h"
#include "app/dialogs/SelectionDialog.h"

namespace {

void InitialiseControls() {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    // The selection dialog's description is a "RichEdit20A" control, whose
    // class this library registers; it stays loaded until the process ends.
    // Only the system's copy: never one beside the program.
    LoadLibraryExA("riched20.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

InstallerApp::InstallerApp() : catalogueDocument(false) {}

bool InstallerApp::StartUp() {
    InitialiseControls();
    const SimulatorProfile profile = SimulatorProfile::Read();

    catalogue.selectedIndex = -1;
    catalogueMode = 0;
    if (catalogueDocument.Load(cataloguereader::kCatalogueFile, 0, 0) != 0) {
        InstallDialog(catalogue, catalogueMode).RunModal(nullptr);
        return false;
    }

    catalogueMode = 1;
    languageSuffix = cataloguereader::LanguageSuffix(GetSystemDefaultLangID());
    cataloguereader::Read(catalogueDocument, languageSuffix, catalogue);

    SelectionDialog selection(catalogue);
    selectionloop::Run(
        catalogue, profile, [&selection] { return selection.RunModal(nullptr) == IDOK; },
        [this] { InstallDialog(catalogue, catalogueMode).RunModal(nullptr); });
    return false;
}
