// The saver window's message chain: the class procedure sees every message
// first, the program's procedure does its own work, and the default
// procedure turns input into close requests and asks for the password.
#include "shell/saver_shell_win32.h"

int32_t CloseApproved = 0;
int32_t InPasswordCheck = 0;
uint32_t LastCheckTick = 0xFFFFFFFFu;
POINT MouseOrigin = {0, 0};

namespace {

typedef HANDLE(WINAPI* ImmAssociateContextProc)(HWND window, HANDLE context);

HMODULE ImmModule = nullptr;
ImmAssociateContextProc ImmAssociateContextEntry = nullptr;
HANDLE SavedImeContext = nullptr;

void HideCursor() { SetCursor(nullptr); }

void DetachInputMethod(HWND window) {
  ImmModule = GetModuleHandleA("IMM32.DLL");
  if (!ImmModule) return;
  ImmAssociateContextEntry = reinterpret_cast<ImmAssociateContextProc>(
      reinterpret_cast<void*>(GetProcAddress(ImmModule, "ImmAssociateContext")));
  if (ImmAssociateContextEntry) SavedImeContext = ImmAssociateContextEntry(window, nullptr);
}

void RestoreInputMethod(HWND window) {
  if (ImmModule && ImmAssociateContextEntry && SavedImeContext) {
    ImmAssociateContextEntry(window, SavedImeContext);
  }
}

LRESULT PassOn(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return CubeSaverProc(window, message, wparam, lparam);
}

void PostClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

}  // namespace

LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      DetachInputMethod(window);
      GetCursorPos(&MouseOrigin);
      if (!IsPreview) HideCursor();
      break;
    case WM_DESTROY:
      RestoreInputMethod(window);
      PostQuitMessage(0);
      break;
    case WM_SETTEXT:
      return 0;
    case WM_PAINT:
      if (CloseApproved) return DefWindowProcA(window, message, wparam, lparam);
      if (!IsPreview) HideCursor();
      break;
    case WM_HELP:
    case WM_CONTEXTMENU:
      if (IsPreview) {
        HWND parent = GetParent(window);
        if (parent && IsWindow(parent)) {
          PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lparam);
        }
        return 1;
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (CloseApproved) return DefWindowProcA(window, message, wparam, lparam);
      break;
    case WM_SYSCOMMAND:
      if (!IsPreview &&
          (wparam == SC_NEXTWINDOW || wparam == SC_PREVWINDOW || wparam == SC_SCREENSAVE)) {
        return 0;
      }
      break;
    case WM_TIMER:
      if (CloseApproved) return 0;
      Sleep(0);
      break;
    case WM_DISPLAYCHANGE:  // a monitor came or went: cover them all again
      if (!IsPreview) {
        const RECT place = SaverScreenRect();
        SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
      }
      break;
    default:
      break;
  }
  return PassOn(window, message, wparam, lparam);
}

LRESULT SaverDefaultProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (IsPreview || CloseApproved) return DefWindowProcA(window, message, wparam, lparam);
  switch (message) {
    case WM_CLOSE:
      if (!IsWin9xPlatform || VerifyBeforeClose(window)) break;
      GetCursorPos(&MouseOrigin);
      return 0;
    case SAVER_MSG_VERIFY:
      if (!IsWin9xPlatform) break;
      return VerifyScreenSavePwdEntry ? VerifyScreenSavePwdEntry(window) : 1;
    default:
      break;
  }
  if (InPasswordCheck) return DefWindowProcA(window, message, wparam, lparam);
  switch (message) {
    case WM_SHOWWINDOW:
      if (wparam) HideCursor();
      break;
    case WM_ACTIVATEAPP:
      if (wparam == 0) PostClose(window);
      break;
    case WM_SETCURSOR:
      HideCursor();
      return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      PostClose(window);
      break;
    case WM_MOUSEMOVE: {
      POINT now = {0, 0};
      GetCursorPos(&now);
      if (PointerMoveWakes(now.x, now.y, MouseOrigin.x, MouseOrigin.y)) {
        PostClose(window);
        MouseOrigin = now;
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

int32_t VerifyBeforeClose(HWND window) {
  if (InPasswordCheck || CloseApproved) return 0;
  if (!VerifyScreenSavePwdEntry) {
    CloseApproved = 1;
    return 1;
  }
  const uint32_t now = GetTickCount();
  if (LastCheckTick != 0xFFFFFFFFu && now - LastCheckTick < uint32_t(PasswordRetryDelay)) return 0;
  InPasswordCheck = 1;
  MSG pending;
  PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  CloseApproved = SendMessageA(window, SAVER_MSG_VERIFY, 0, 0) != 0 ? 1 : 0;
  InPasswordCheck = 0;
  if (!CloseApproved) HideCursor();
  LastCheckTick = GetTickCount();
  return CloseApproved;
}
