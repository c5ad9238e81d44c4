// The settings dialog on Win32, plugged into the shell's settings mode.
#pragma once

#include <windows.h>

// Shows the record in the dialog's controls.
void RefreshConfigDialog(HWND dialog);
// The open-file dialog for a .bmp, writing the chosen path into Texture.
void ChooseTextureFile(HWND dialog);
// Takes the text of the dialog's path box (at most 258 characters) into
// Texture.
void TakeTypedPath(HWND dialog);
// Saves the record with the text of the dialog's path box as Texture.
void SaveSettingsFromDialog(HWND dialog);
