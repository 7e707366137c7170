// Pakwerk's entry point: the application object runs everything in StartUp.
// The program reads no arguments.
#include <windows.h>

#include "app/InstallerApp.h"

namespace {
InstallerApp application;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    application.StartUp();
    return 0;
}
