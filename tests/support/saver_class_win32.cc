#include "saver_class_win32.h"

#include <windows.h>

#include "shell/saver_shell_win32.h"

bool RegisterTestSaverClasses() {
  static const bool registered = [] {
    WNDCLASSA saver = {};
    saver.style = CS_OWNDC;
    saver.lpfnWndProc = SaverClassProc;
    saver.hInstance = GetModuleHandleA(nullptr);
    saver.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saver.lpszClassName = kSaverClassName;
    WNDCLASSA parent = saver;
    parent.lpfnWndProc = DefWindowProcA;
    parent.lpszClassName = "QuarloTestParent";
    return RegisterClassA(&saver) && RegisterClassA(&parent);
  }();
  return registered;
}
