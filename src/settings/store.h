// What each platform's store gives the portable settings code: one key of
// named values with registry types, read as raw bytes whatever their type.
// The Windows store is the registry; the Linux store is a per-user file in
// the registry's export form.
#pragma once

#include <cstdint>

// The registry's value types, as stored and as exported.
enum : uint32_t {
  kValueNone = 0,
  kValueString = 1,          // REG_SZ
  kValueExpandString = 2,    // REG_EXPAND_SZ
  kValueBinary = 3,          // REG_BINARY
  kValueDword = 4,           // REG_DWORD, little-endian
  kValueMultiString = 7,     // REG_MULTI_SZ
};

struct SettingsKey;  // each store's own

// The settings key, opened to read (none when it doesn't exist or can't be
// opened) or to write (made when missing; none when that fails).
SettingsKey* OpenSettingsKey(bool for_writing);
// Copies the bytes of value `name` into `data` when they fit in *size bytes
// and sets *size to their count; false when the value is absent, unreadable
// or longer than *size (what `data` holds then is undefined).
bool ReadSettingsValue(SettingsKey* key, const char* name, void* data, uint32_t* size);
void WriteSettingsValue(SettingsKey* key, const char* name, uint32_t type, const void* data,
                        uint32_t size);
// Closes the key; a key opened to write is stored now (or, failing that,
// the store stays as it was).
void CloseSettingsKey(SettingsKey* key);
