// The settings dialog's procedure: the record is the dialog's only state;
// every handled command changes it and then shows it again in all controls.
// The path box is the one control whose text flows back into the record,
// before each refresh, so that a click never throws away what was typed.
#include "settings/dialog_win32.h"

#include <commdlg.h>

#include <cstring>

#include "settings/dialog_model.h"
#include "shell/saver_shell_win32.h"

namespace {

// "name", NUL, "pattern", NUL, NUL: the one filter pair and the list's end.
const char* PictureFilter() {
  static char filter[128];
  const size_t name = std::strlen(kPictureFilterLabel) + 1;
  std::memcpy(filter, kPictureFilterLabel, name);
  std::memcpy(filter + name, kPictureFilterPatterns, std::strlen(kPictureFilterPatterns) + 1);
  return filter;
}

}  // namespace

void RefreshConfigDialog(HWND dialog) {
  const ConfigDialogView view = ConfigDialogViewOf(SaverSettings);
  SetDlgItemTextA(dialog, kPathEdit, view.path);
  CheckDlgButton(dialog, kSurfaceCheck, view.surface_checked ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, kExplodeCheck, view.explode_checked ? BST_CHECKED : BST_UNCHECKED);
  EnableWindow(GetDlgItem(dialog, kChooseBitmapButton), view.bitmap_controls_enabled);
  EnableWindow(GetDlgItem(dialog, kPathEdit), view.bitmap_controls_enabled);
  CheckRadioButton(dialog, kLargeButton, kSmallButton, view.size_button);
}

void ChooseTextureFile(HWND dialog) {
  OPENFILENAMEA request = {};
  // The size the system's oldest callers give (76 bytes on 32-bit Windows).
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.hwndOwner = dialog;
  request.lpstrFilter = PictureFilter();
  request.nFilterIndex = 1;
  request.lpstrFile = SaverSettings.Texture;
  request.nMaxFile = kTexturePathBytes;
  request.lpstrTitle = kChooseTextureTitle;
  request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  request.lpstrDefExt = kBitmapDefaultExtension;
  GetOpenFileNameA(&request);
}

void TakeTypedPath(HWND dialog) {
  char typed[kTypedPathChars + 1] = {};
  GetDlgItemTextA(dialog, kPathEdit, typed, sizeof typed);
  std::memcpy(SaverSettings.Texture, typed, sizeof typed);
}

void SaveSettingsFromDialog(HWND dialog) {
  char typed[kTypedPathChars + 1] = {};
  GetDlgItemTextA(dialog, kPathEdit, typed, sizeof typed);
  SaveSettings(typed);
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      LoadSettings();
      RefreshConfigDialog(dialog);
      return 1;
    case WM_COMMAND:
      switch (ApplyConfigCommand(&SaverSettings, LOWORD(wparam))) {
        case CONFIG_ACCEPT:
          SaveSettingsFromDialog(dialog);
          EndDialog(dialog, 1);
          break;
        case CONFIG_CANCEL:
          EndDialog(dialog, 0);
          break;
        case CONFIG_CHOOSE_FILE:
          TakeTypedPath(dialog);
          ChooseTextureFile(dialog);
          RefreshConfigDialog(dialog);
          break;
        case CONFIG_REFRESH:
          TakeTypedPath(dialog);  // what was typed is shown again, not lost
          RefreshConfigDialog(dialog);
          break;
        case CONFIG_NOTHING:
          break;
      }
      return 1;
    default:
      return 0;
  }
}
