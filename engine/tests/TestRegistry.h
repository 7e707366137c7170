// Registry values for the tests, written in the 32-bit view the program
// reads. Every function fails the current test when the registry refuses.
#pragma once

#include <windows.h>

#include <string>

namespace testregistry {

// Creates the key as needed and stores `data` under `name` with `type`.
void SetValue(HKEY root, const std::string& path, const char* name, DWORD type,
              const std::string& data);

// A REG_SZ value with its terminator.
void SetText(HKEY root, const std::string& path, const char* name, const std::string& text);

// Removes the key with its values and subkeys; a missing key is fine.
void DeleteKey(HKEY root, const std::string& path);

}  // namespace testregistry
