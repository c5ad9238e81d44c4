#include <windows.h>

#include "settings/settings.h"
#include "settings_fixture.h"

void ClearStoredSettings() { RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath); }

void MakeEmptySettingsKey() {
  ClearStoredSettings();
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_CURRENT_USER, kSettingsKeyPath, &key) == ERROR_SUCCESS) RegCloseKey(key);
}

void PlantStoredValue(const char* name, uint32_t type, const std::string& data) {
  RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKeyPath, name, type, data.data(), DWORD(data.size()));
}

bool ReadStoredValue(const char* name, StoredValue* value) {
  char data[1024];
  DWORD type = 0, size = sizeof data;
  const bool found = RegGetValueA(HKEY_CURRENT_USER, kSettingsKeyPath, name,
                                  RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size) == ERROR_SUCCESS;
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
