// The contract between the system-menu reader (automation/SystemMenu.cpp) and
// the probe library that runs inside the observed process.
//
// The reader hooks the window's thread with the library's kProbeHookName
// procedure (WH_GETMESSAGE) and posts the registered message kProbeMessage
// to the window. When the window's thread fetches it, the probe writes the
// window's system menu to ProbeResultPath(window): one line per item,
// "<id>\t<1 for a separator, else 0>\t<text in UTF-8>", and a file holding only
// "none" when the window has no system menu. The file appears complete (it is
// written under another name and renamed).
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#define PAKWERK_PROBE_HOOK_NAME "PakwerkMenuProbeHook"
#define PAKWERK_PROBE_MESSAGE "PakwerkMenuProbe"
#define PAKWERK_PROBE_LIBRARY "pakwerk_menuprobe.dll"

inline std::string ProbeResultPath(HWND window) {
    char folder[MAX_PATH] = "";
    GetTempPathA(sizeof folder, folder);
    char name[64];
    std::snprintf(name, sizeof name, "pakwerk-menuprobe-%08lx.txt",
                  (unsigned long)(ULONG_PTR)window);
    return std::string(folder) + name;
}
