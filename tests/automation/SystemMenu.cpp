#include "automation/SystemMenu.h"

#include "automation/Utf8.h"
#include "automation/Wait.h"
#include "automation/probe/MenuProbe.h"

#include <fstream>
#include <sstream>

namespace automation {
namespace {

// The probe library lies beside the helper's own program file.
std::string ProbeLibraryPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    const size_t slash = folder.find_last_of('\\');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    return folder + PAKWERK_PROBE_LIBRARY;
}

std::optional<std::vector<MenuItem>> ParseReport(const std::string& content) {
    std::vector<MenuItem> items;
    if (content == "none\n") return items;
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t first = line.find('\t');
        const size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos) return std::nullopt;
        MenuItem item;
        item.id = static_cast<UINT>(std::stoul(line.substr(0, first)));
        item.separator = line.substr(first + 1, second - first - 1) == "1";
        item.text = Widen(line.substr(second + 1));
        items.push_back(item);
    }
    return items;
}

}  // namespace

std::optional<std::vector<MenuItem>> ReadSystemMenu(HWND window, DWORD timeoutMs) {
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(window, &processId);
    if (!threadId) return std::nullopt;
    HMODULE library = LoadLibraryA(ProbeLibraryPath().c_str());
    if (!library) return std::nullopt;
    auto hook = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(library, PAKWERK_PROBE_HOOK_NAME)));
    HHOOK handle = hook ? SetWindowsHookExA(WH_GETMESSAGE, hook, library, threadId) : nullptr;
    if (!handle) {
        FreeLibrary(library);
        return std::nullopt;
    }
    const std::string path = ProbeResultPath(window);
    DeleteFileA(path.c_str());
    std::optional<std::vector<MenuItem>> items;
    if (PostMessageA(window, RegisterWindowMessageA(PAKWERK_PROBE_MESSAGE), 0, 0)) {
        const bool written =
            WaitFor([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; },
                    timeoutMs);
        if (written) {
            std::ifstream file(path, std::ios::binary);
            std::ostringstream content;
            content << file.rdbuf();
            file.close();
            items = ParseReport(content.str());
        }
    }
    DeleteFileA(path.c_str());
    UnhookWindowsHookEx(handle);
    FreeLibrary(library);
    return items;
}

}  // namespace automation
