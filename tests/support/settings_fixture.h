// The user's stored settings, for tests, in the platform's own store: the
// registry on Windows; on Linux the settings file, under a temporary
// XDG_CONFIG_HOME of the test process's own.
#pragma once

#include <cstdint>
#include <string>

// A dword's data as stored: its four bytes, little-endian.
inline std::string DwordBytes(uint32_t value) {
  return std::string{char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
}

struct StoredValue {
  uint32_t type = 0;
  std::string data;
};

// No stored settings at all.
void ClearStoredSettings();
// The settings key with no values in it.
void MakeEmptySettingsKey();
// Stores one value as another program might have: any type, any bytes.
void PlantStoredValue(const char* name, uint32_t type, const std::string& data);
void PlantStoredDword(const char* name, uint32_t value);
// A value as the store holds it; false when it is absent.
bool ReadStoredValue(const char* name, StoredValue* value);
// How many values the settings key holds.
int CountStoredValues();
