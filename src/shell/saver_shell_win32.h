// The screen-saver shell on Win32: entry and modes, the saver window's
// class and default procedures, and the password lock. The program plugs
// in its saver window procedure and its settings dialog procedure.
#pragma once

#include <windows.h>

#include <cstdint>

#include "shell/pointer_wake.h"

// Plug-in points, supplied by the program.
LRESULT CALLBACK CubeSaverProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

enum : UINT {
  SAVER_MSG_VERIFY = WM_APP,  // asks the window to run the password verifier
};
enum : int32_t {
  kConfigDialogId = 2003,
  kSaverIconId = 100,
  PasswordRetryDelay = 200,
};
extern const char kSaverClassName[];
extern const char kSaverTitle[];

// Entry and modes.
extern HINSTANCE SaverInstance;
extern HWND SaverWindow;
extern int32_t IsPreview;
extern int32_t IsWin9xPlatform;

int32_t SaverMain(HINSTANCE instance, const char* tail);
int32_t RunSaverWindow(HWND parent);
int32_t ShowConfigDialog(HWND owner);
// The window whose decimal number starts `text` (none for 0 or no digits).
HWND WindowFromNumber(const char* text);
// Where the full-screen window goes: over every monitor (the virtual
// screen), which is the primary screen alone where there is one monitor.
RECT SaverScreenRect();

// Input and closing.
extern int32_t CloseApproved;
extern int32_t InPasswordCheck;
extern uint32_t LastCheckTick;
extern POINT MouseOrigin;

LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT SaverDefaultProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
int32_t VerifyBeforeClose(HWND window);

// Password lock (the Win9x family only).
typedef BOOL(WINAPI* VerifyScreenSavePwdProc)(HWND window);
extern HMODULE PasswordLibrary;
extern VerifyScreenSavePwdProc VerifyScreenSavePwdEntry;

void SetSaverRunning(int32_t running);
void OpenPasswordLock();
void ClosePasswordLock();
int32_t ChangeSaverPassword(const char* tail);
