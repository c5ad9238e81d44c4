#include <windows.h>

#include "settings/settings.h"
#include "settings_fixture.h"

namespace {
HKEY CreateKey() {
  HKEY key = nullptr;
  RegCreateKeyA(HKEY_CURRENT_USER, kSettingsKeyPath, &key);
  return key;
}
}  // namespace

void ClearStoredSettings() { RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath); }

void MakeEmptySettingsKey() {
  ClearStoredSettings();
  RegCloseKey(CreateKey());
}

void PlantStoredValue(const char* name, uint32_t type, const std::string& data) {
  HKEY key = CreateKey();
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()));
  RegCloseKey(key);
}

void PlantStoredDword(const char* name, uint32_t value) {
  PlantStoredValue(name, REG_DWORD, DwordBytes(value));
}

bool ReadStoredValue(const char* name, StoredValue* value) {
  HKEY key = nullptr;
  if (RegOpenKeyA(HKEY_CURRENT_USER, kSettingsKeyPath, &key) != ERROR_SUCCESS) return false;
  char data[1024];
  DWORD type = 0, size = sizeof data;
  const bool found = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                      &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  if (found) *value = StoredValue{type, std::string(data, size)};
  return found;
}

int CountStoredValues() {
  HKEY key = nullptr;
  DWORD count = 0;
  if (RegOpenKeyA(HKEY_CURRENT_USER, kSettingsKeyPath, &key) != ERROR_SUCCESS) return 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return static_cast<int>(count);
}
