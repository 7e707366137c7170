// A small dialog program for the automation helper's tests: it behaves like
// the installer's dialogs in the ways the helper relies on (see SampleApp.h).
// Its exit code is the dialog's result: IDCANCEL when closed by Cancel.
#include "SampleApp.h"

#include <windows.h>

#include <cstdio>

namespace {

const char* const kItems[] = {"Erstes Paket", "Zweites Paket", "Drittes Paket"};

void ShowSelection(HWND dialog) {
    const LRESULT index = SendDlgItemMessageA(dialog, SAMPLE_LIST, LB_GETCURSEL, 0, 0);
    char text[128] = "Selected: none";
    if (index >= 0 && index < 3) std::snprintf(text, sizeof text, "Selected: %s", kItems[index]);
    SetDlgItemTextA(dialog, SAMPLE_DESCRIPTION, text);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK SampleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        for (const char* item : kItems)
            SendDlgItemMessageA(dialog, SAMPLE_LIST, LB_ADDSTRING, 0, (LPARAM)item);
        SendDlgItemMessageA(dialog, SAMPLE_LIST, LB_SETCURSEL, 0, 0);
        ShowSelection(dialog);
        HMENU menu = GetSystemMenu(dialog, FALSE);
        if (menu) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu, MF_STRING, SAMPLE_SYSCOMMAND_ABOUT, L"&Info \u00fcber Sample...");
        }
        return TRUE;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SAMPLE_SYSCOMMAND_ABOUT) {
            DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(SAMPLE_ABOUT), nullptr,
                            AboutProc, 0);
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case SAMPLE_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE) ShowSelection(dialog);
            return TRUE;
        case SAMPLE_ASK: {
            const int answer =
                MessageBoxA(dialog, "Keep the file?\n\tC:\\Host\\a.3dm", "Sample", MB_YESNOCANCEL);
            char text[32];
            std::snprintf(text, sizeof text, "Answer: %d", answer);
            SetDlgItemTextA(dialog, SAMPLE_ANSWER, text);
            return TRUE;
        }
        case SAMPLE_BUSY:
            Sleep(3000);
            MessageBoxA(dialog, "Done", "Sample", MB_OK | MB_ICONHAND);
            return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        return FALSE;
    }
    (void)lParam;
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return (int)DialogBoxParamA(instance, MAKEINTRESOURCEA(SAMPLE_DIALOG), nullptr, SampleProc, 0);
}
