#pragma once

#include <windows.h>

#include "settings/store.h"

// The key under HKEY_CURRENT_USER that holds the four values.
extern const char kSettingsKey[];
enum { kPathEditControl = 201 };

// Writes the record, with the text of the dialog's path box as Texture.
void SaveSettings(HWND dialog);
