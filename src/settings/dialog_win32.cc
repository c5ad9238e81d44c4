// The settings dialog's procedure: loads the record into the dialog, and
// OK stores it with the typed path.
#include "settings/store_win32.h"
#include "shell/saver_shell_win32.h"

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      LoadSettings();
      SetDlgItemTextA(dialog, kPathEditControl, SaverSettings.Texture);
      return 1;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          SaveSettings(dialog);
          EndDialog(dialog, 1);
          break;
        case IDCANCEL:
          EndDialog(dialog, 0);
          break;
        default:
          break;
      }
      return 1;
    default:
      return 0;
  }
}
