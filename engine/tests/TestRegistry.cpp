#include "engine/tests/TestRegistry.h"

#include <gtest/gtest.h>

namespace testregistry {

void SetValue(HKEY root, const std::string& path, const char* name, DWORD type,
              const std::string& data) {
  HKEY key = nullptr;
  LONG result = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY,
                                nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot create key " << path << ", error " << result;
    return;
  }
  // The registry counts in a terminator that follows the data although the
  // size leaves it out; a byte other than 0 after the data keeps the size exact.
  const std::string guarded = data + 'X';
  result = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                          static_cast<DWORD>(data.size()));
  if (result != ERROR_SUCCESS) ADD_FAILURE() << "cannot set " << name << ", error " << result;
  RegCloseKey(key);
}

void SetText(HKEY root, const std::string& path, const char* name, const std::string& text) {
  SetValue(root, path, name, REG_SZ, text + '\0');
}

void DeleteKey(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  char name[256];
  for (;;) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    DeleteKey(root, path + "\\" + name);
  }
  RegCloseKey(key);
  LONG result = RegDeleteKeyExA(root, path.c_str(), KEY_WOW64_32KEY, 0);
  if (result != ERROR_SUCCESS) ADD_FAILURE() << "cannot delete key " << path << ", error " << result;
}

}  // namespace testregistry
