// The probe library: loaded into the observed process by a message hook, it
// answers the reader's probe message with the window's system menu (see
// MenuProbe.h for the exchange).
#include "automation/probe/MenuProbe.h"

#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string utf8(length - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], length, nullptr, nullptr);
    return utf8;
}

std::string DescribeSystemMenu(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return "none\n";
    std::string out;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = L"";
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text / sizeof text[0];
        if (!GetMenuItemInfoW(menu, i, TRUE, &item)) continue;
        char line[64];
        std::snprintf(line, sizeof line, "%u\t%d\t", item.wID,
                      (item.fType & MFT_SEPARATOR) ? 1 : 0);
        out += line;
        out += Utf8(text);
        out += "\n";
    }
    return out;
}

void Report(HWND window) {
    const std::string path = ProbeResultPath(window);
    const std::string partial = path + ".part";
    const std::string content = DescribeSystemMenu(window);
    HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    const bool complete =
        WriteFile(file, content.data(), (DWORD)content.size(), &written, nullptr) &&
        written == content.size();
    CloseHandle(file);
    if (complete) MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    PakwerkMenuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT kProbeMessage = RegisterWindowMessageA(PAKWERK_PROBE_MESSAGE);
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const MSG* message = reinterpret_cast<const MSG*>(lParam);
        if (message->message == kProbeMessage && message->hwnd) Report(message->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
