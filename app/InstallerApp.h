// The application: runs the whole program from StartUp.
//
// StartUp reads the simulator's profile, then looks for the catalogue
// "InstSkript.ini" in the current directory. Without one it shows the
// install dialog for the single package of "InstSkript.txt"
// (single-package mode). With one (catalogue mode) it lets the user choose
// a package, refuses packages the simulator cannot show (explaining why,
// then offering the choice again) and shows the install dialog for an
// accepted one. The program takes no arguments and keeps no settings.
//
//   StartUp   always false: nothing is left to run, the process ends
#pragma once

#include <cstdint>
#include <string>

#include "package/InstallCatalogue.h"
#include "textfile/IniDocument.h"

class InstallerApp {
public:
    InstallerApp();
    InstallerApp(const InstallerApp&) = delete;
    InstallerApp& operator=(const InstallerApp&) = delete;

    bool StartUp();

private:
    IniDocument catalogueDocument;
    int32_t catalogueMode = 0;
    std::string languageSuffix;
    InstallCatalogue catalogue;
};
