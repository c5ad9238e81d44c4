// The settings in the registry, one value per field. The stored type is not
// looked at on reading; what doesn't fit the field counts as absent.
#include "settings/store_win32.h"

#include <cstring>

const char kSettingsKey[] = "Software\\Orvendel\\QuarloScreenSaver";

namespace {

int32_t ReadInteger(HKEY key, const char* name, int32_t fallback) {
  int32_t value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
      ERROR_SUCCESS) {
    return fallback;
  }
  return value;
}

void WriteInteger(HKEY key, const char* name, int32_t value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

void LoadSettings() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    SaverSettings.Surface = 0;
    SaverSettings.Explode = 0;
    SaverSettings.Texture[0] = '\0';
    return;
  }
  SaverSettings.Surface = ReadInteger(key, "Surface", 0);
  SaverSettings.Explode = ReadInteger(key, "Explode", 0);
  SaverSettings.Displacement = ReadInteger(key, "Displacement", kDefaultDisplacement);
  DWORD size = sizeof SaverSettings.Texture;
  if (RegQueryValueExA(key, "Texture", nullptr, nullptr,
                       reinterpret_cast<BYTE*>(SaverSettings.Texture), &size) != ERROR_SUCCESS) {
    SaverSettings.Texture[0] = '\0';
  }
  // A value stored without its NUL, or binary data, still ends inside the field.
  SaverSettings.Texture[sizeof SaverSettings.Texture - 1] = '\0';
  if (size < sizeof SaverSettings.Texture) SaverSettings.Texture[size] = '\0';
  RegCloseKey(key);
}

void SaveSettings(HWND dialog) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, const_cast<char*>(""),
                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  WriteInteger(key, "Surface", SaverSettings.Surface);
  WriteInteger(key, "Explode", SaverSettings.Explode);
  WriteInteger(key, "Displacement", SaverSettings.Displacement);
  GetDlgItemTextA(dialog, kPathEditControl, SaverSettings.Texture, kTexturePathBytes - 1);
  RegSetValueExA(key, "Texture", 0, REG_SZ, reinterpret_cast<const BYTE*>(SaverSettings.Texture),
                 static_cast<DWORD>(std::strlen(SaverSettings.Texture) + 1));
  RegCloseKey(key);
}
