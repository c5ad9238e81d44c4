// The saver's entry: the raw command line picks one mode, whose result is
// the exit code.
#include "shell/command_line.h"
#include "shell/saver_shell_win32.h"

HINSTANCE SaverInstance = nullptr;
HWND SaverWindow = nullptr;
int32_t IsPreview = 0;
int32_t IsWin9xPlatform = 0;

const char kSaverClassName[] = "WindowsScreenSaverClass";
const char kSaverTitle[] = "Screen Saver";

namespace {

// An exception nobody handles ends the process; the system must not be left
// believing that a saver still runs.
LONG WINAPI ClearSaverRunning(EXCEPTION_POINTERS*) {
  SetSaverRunning(0);
  return EXCEPTION_CONTINUE_SEARCH;
}

int32_t RunPreview(const char* argument) {
  HWND parent = WindowFromNumber(argument);
  if (!parent || !IsWindow(parent)) return -1;
  return RunSaverWindow(parent);
}

}  // namespace

HWND WindowFromNumber(const char* text) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(ParseWindowHandle(text)));
}

int32_t ShowConfigDialog(HWND owner) {
  return static_cast<int32_t>(DialogBoxParamA(SaverInstance, MAKEINTRESOURCEA(kConfigDialogId),
                                              owner, ConfigDialogProc, 0));
}

RECT SaverScreenRect() {
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (width <= 0 || height <= 0) {  // Windows 95 and NT 4 know no virtual screen
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return RECT{left, top, left + width, top + height};
}

int32_t RunSaverWindow(HWND parent) {
  WNDCLASSA saver_class = {};
  saver_class.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  saver_class.lpfnWndProc = SaverClassProc;
  saver_class.hInstance = SaverInstance;
  saver_class.hIcon = LoadIconA(SaverInstance, MAKEINTRESOURCEA(kSaverIconId));
  saver_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  saver_class.lpszClassName = kSaverClassName;

  DWORD ex_style = 0, style = 0;
  const char* title = nullptr;
  RECT place = {};
  if (parent) {
    GetClientRect(parent, &place);
    IsPreview = 1;
    style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    title = "Preview";
  } else {
    place = SaverScreenRect();
    HWND running = FindWindowA(kSaverClassName, kSaverTitle);
    if (running && IsWindow(running)) {
      SetForegroundWindow(running);
      return 0;
    }
    OpenPasswordLock();
    ex_style = WS_EX_TOPMOST;
    style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    title = kSaverTitle;
  }

  int32_t exit_code = -1;  // no window could be made
  if (RegisterClassA(&saver_class)) {
    SaverWindow = CreateWindowExA(ex_style, kSaverClassName, title, style, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, parent,
                                  nullptr, SaverInstance, nullptr);
  }
  if (SaverWindow) {
    if (!parent) SetForegroundWindow(SaverWindow);
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    exit_code = static_cast<int32_t>(message.wParam);
  }
  ClosePasswordLock();
  return exit_code;
}

int32_t SaverMain(HINSTANCE instance, const char* tail) {
  SaverInstance = instance;
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  IsWin9xPlatform = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  SetUnhandledExceptionFilter(ClearSaverRunning);

  const char* argument = tail;
  switch (ParseSaverSwitch(tail, &argument)) {
    case SWITCH_CONFIG_NO_OWNER:
      return ShowConfigDialog(nullptr);
    case SWITCH_SAVER:
      return RunSaverWindow(nullptr);
    case SWITCH_CONFIG:
      return ShowConfigDialog(GetForegroundWindow());
    case SWITCH_PREVIEW:
      return RunPreview(argument);
    case SWITCH_PASSWORD:
      return IsWin9xPlatform ? ChangeSaverPassword(argument) : -1;
    case SWITCH_INVALID:
      break;
  }
  return -1;
}
