#include "engine/RegistryKey.h"

#include <cstring>

namespace {

std::vector<std::string> SplitKeyPath(const char* path) {
    std::vector<std::string> components;
    const char* rest = path;
    while (*rest != '\0') {
        const char* backslash = std::strchr(rest, '\\');
        if (backslash == nullptr) {
            components.emplace_back(rest);
            break;
        }
        if (backslash != rest) components.emplace_back(rest, backslash);
        rest = backslash + 1;
    }
    return components;
}

}  // namespace

RegistryKey::~RegistryKey() {
    Close();
}

bool RegistryKey::SetPath(HKEY root, const char* path) {
    Close();
    pathComponents.clear();
    if (path == nullptr) return false;
    rootKey = root;
    pathComponents = SplitKeyPath(path);
    return !pathComponents.empty();
}

bool RegistryKey::Open(REGSAM access) {
    if (pathComponents.empty()) return false;
    Close();
    // The program is 32-bit and reads the 32-bit view; saying so keeps it
    // reading there should it ever be built for 64 bits.
    const REGSAM viewAccess = access | KEY_WOW64_32KEY;
    HKEY parent = rootKey;
    for (const std::string& component : pathComponents) {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(parent, component.c_str(), 0, viewAccess, &handle) != ERROR_SUCCESS) {
            Close();
            return false;
        }
        openHandles.push_back(handle);
        parent = handle;
    }
    isOpen = true;
    return true;
}

bool RegistryKey::ReadDword(const char* name, uint32_t& destination) {
    if (!isOpen) return false;
    DWORD type = 0;
    uint32_t value = 0;
    DWORD size = sizeof value;
    LONG result = RegQueryValueExA(openHandles.back(), name, nullptr, &type,
                                   reinterpret_cast<BYTE*>(&value), &size);
    if (result != ERROR_SUCCESS || size != sizeof value) return false;
    if (type != REG_DWORD && type != REG_DWORD_BIG_ENDIAN) return false;
    destination = value;
    return true;
}

bool RegistryKey::ReadString(const char* name, char (&buffer)[kStringBufferSize]) {
    if (!isOpen) return false;
    DWORD type = 0;
    DWORD size = kStringBufferSize;
    LONG result = RegQueryValueExA(openHandles.back(), name, nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer), &size);
    if (result != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return false;
    // A value stored without its terminator arrives without one: terminate
    // it when there is room, refuse it when it fills the buffer.
    if (std::memchr(buffer, '\0', size) != nullptr) return true;
    if (size >= kStringBufferSize) return false;
    buffer[size] = '\0';
    return true;
}

bool RegistryKey::Close() {
    bool closedAll = true;
    for (auto handle = openHandles.rbegin(); handle != openHandles.rend(); ++handle) {
        if (RegCloseKey(*handle) != ERROR_SUCCESS) closedAll = false;
    }
    openHandles.clear();
    isOpen = false;
    return closedAll;
}
