// The saver password of the Win9x family: the user's choice in the
// registry, the platform's verifier and changer, loaded by name.
#include "shell/saver_shell_win32.h"

HMODULE PasswordLibrary = nullptr;
VerifyScreenSavePwdProc VerifyScreenSavePwdEntry = nullptr;

namespace {
typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR provider, HWND owner, DWORD, DWORD);
}

void SetSaverRunning(int32_t running) {
  if (!IsWin9xPlatform) return;
  UINT previous = 0;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, static_cast<UINT>(running), &previous, 0);
}

void OpenPasswordLock() {
  if (!IsWin9xPlatform) return;
  if (PasswordLibrary) ClosePasswordLock();
  HKEY key = nullptr;
  if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS) return;
  uint32_t wanted = 0;
  DWORD size = sizeof wanted;
  if (RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                       reinterpret_cast<BYTE*>(&wanted), &size) == ERROR_SUCCESS &&
      wanted != 0) {
    PasswordLibrary = LoadLibraryA("PASSWORD.CPL");
    if (PasswordLibrary) {
      VerifyScreenSavePwdEntry = reinterpret_cast<VerifyScreenSavePwdProc>(
          reinterpret_cast<void*>(GetProcAddress(PasswordLibrary, "VerifyScreenSavePwd")));
      if (VerifyScreenSavePwdEntry) {
        SetSaverRunning(1);
      } else {
        ClosePasswordLock();
      }
    }
  }
  RegCloseKey(key);
}

void ClosePasswordLock() {
  if (!IsWin9xPlatform || !PasswordLibrary) return;
  FreeLibrary(PasswordLibrary);
  PasswordLibrary = nullptr;
  if (VerifyScreenSavePwdEntry) {
    VerifyScreenSavePwdEntry = nullptr;
    SetSaverRunning(0);
  }
}

int32_t ChangeSaverPassword(const char* tail) {
  HWND owner = WindowFromNumber(tail);
  if (!owner || !IsWindow(owner)) owner = GetForegroundWindow();
  HMODULE library = LoadLibraryA("MPR.DLL");
  if (!library) return 0;
  auto change = reinterpret_cast<PwdChangePasswordProc>(
      reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
  if (change) change("SCRSAVE", owner, 0, 0);
  FreeLibrary(library);
  return 0;
}
