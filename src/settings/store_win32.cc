// The settings in the registry: one key under HKEY_CURRENT_USER, opened with
// full access (so a user who may only read it gets the defaults).
#include <windows.h>

#include "settings/settings.h"
#include "settings/store.h"

struct SettingsKey {
  HKEY key;
};

namespace {
SettingsKey OpenKey;  // one key at a time: no allocation
}

SettingsKey* OpenSettingsKey(bool for_writing) {
  HKEY key = nullptr;
  const LONG result =
      for_writing ? RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, const_cast<char*>(""),
                                    REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr)
                  : RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_ALL_ACCESS, &key);
  if (result != ERROR_SUCCESS) return nullptr;
  OpenKey.key = key;
  return &OpenKey;
}

bool ReadSettingsValue(SettingsKey* key, const char* name, void* data, uint32_t* size) {
  DWORD bytes = *size;
  if (RegQueryValueExA(key->key, name, nullptr, nullptr, static_cast<BYTE*>(data), &bytes) !=
      ERROR_SUCCESS) {
    return false;
  }
  *size = bytes;
  return true;
}

void WriteSettingsValue(SettingsKey* key, const char* name, uint32_t type, const void* data,
                        uint32_t size) {
  RegSetValueExA(key->key, name, 0, type, static_cast<const BYTE*>(data), size);
}

void CloseSettingsKey(SettingsKey* key) { RegCloseKey(key->key); }
