// A registry key, read only, opened one path component at a time.
//
// SetPath names a root (HKEY_LOCAL_MACHINE, ...) and a path such as
// "Software\Maker\Product"; leading, trailing and doubled backslashes make no
// empty components. Open opens every component under the one before it and
// keeps all handles until Close or destruction. Keys are read in the 32-bit
// registry view, where the host program and the simulator record themselves.
//
//   SetPath     false for a null path (root kept) or a path without
//               components; closes whatever was open
//   Open        false when there are no components or any component cannot
//               be opened; no handle stays open then
//   ReadDword   true for a REG_DWORD or REG_DWORD_BIG_ENDIAN value (bytes as
//               stored); otherwise false and `destination` unchanged
//   ReadString  true for a REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ value that
//               fits the buffer with its terminator (no expansion; of a
//               multi-string the first string); otherwise false and the
//               buffer must not be used
//   Close       false when closing any handle failed; true also when nothing
//               was open
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class RegistryKey {
public:
    static constexpr DWORD kStringBufferSize = 260;

    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool SetPath(HKEY root, const char* path);
    bool Open(REGSAM access);
    bool ReadDword(const char* name, uint32_t& destination);
    bool ReadString(const char* name, char (&buffer)[kStringBufferSize]);
    bool Close();

    const std::vector<std::string>& PathComponents() const { return pathComponents; }
    bool IsOpen() const { return isOpen; }

private:
    HKEY rootKey = nullptr;
    std::vector<std::string> pathComponents;
    std::vector<HKEY> openHandles;
    bool isOpen = false;
};
