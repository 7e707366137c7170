#include "app/DllSearch.h"

#include <windows.h>

#include "app/Messages.h"

namespace dllsearch {

bool LimitToSystemFolder() {
    // Looked up at run time: a static import of a function this Windows
    // lacks would stop the program before it could say why.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return false;
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    return setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

bool LimitOrStop() {
    if (LimitToSystemFolder()) return true;
    messages::Show(messages::DllSearchUnavailable, MB_OK | MB_ICONSTOP);
    return false;
}

}  // namespace dllsearch
