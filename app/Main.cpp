// Pakwerk's entry point: the application object runs everything in StartUp.
// The program reads no arguments.
#include <windows.h>

#include "app/DllSearch.h"
#include "app/InstallerApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!dllsearch::LimitOrStop()) return 1;
    // Made here, after the search is limited, not as a global object whose
    // construction would run before it.
    static InstallerApp application;
    application.StartUp();
    return 0;
}
