// A stand-in for the display control panel: opens a window, starts the
// saver given on the command line with /p and that window's number, keeps
// the window for the given time, then destroys it and reports the saver's
// exit code as its own.
//   preview_host SAVER MILLISECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;  // see above
  WNDCLASSA host_class = {};
  host_class.lpfnWndProc = DefWindowProcA;
  host_class.hInstance = GetModuleHandleA(nullptr);
  host_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  host_class.lpszClassName = "QuarloPreviewHost";
  RegisterClassA(&host_class);
  HWND host = CreateWindowExA(0, "QuarloPreviewHost", "Quarlo preview host",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40, 360, 300, nullptr, nullptr,
                              host_class.hInstance, nullptr);
  if (!host) return 3;
  Pump(300);

  char command[1024];
  std::snprintf(command, sizeof command, "\"%s\" /p %lu", argv[1],
                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(host)));
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION saver = {};
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &saver)) {
    return 4;
  }
  std::printf("host window %lu saver started\n",
              static_cast<unsigned long>(reinterpret_cast<uintptr_t>(host)));
  std::fflush(stdout);
  Pump(static_cast<DWORD>(std::atoi(argv[2])));
  HWND child = FindWindowExA(host, nullptr, "WindowsScreenSaverClass", "Preview");
  RECT host_client = {}, child_client = {};
  GetClientRect(host, &host_client);
  if (child) GetClientRect(child, &child_client);
  std::printf("preview child %s size %ldx%ld host %ldx%ld\n", child ? "found" : "missing",
              child_client.right, child_client.bottom, host_client.right, host_client.bottom);
  std::fflush(stdout);

  DestroyWindow(host);
  DWORD code = 99;
  if (WaitForSingleObject(saver.hProcess, 10000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(saver.hProcess, &code);
  } else {
    TerminateProcess(saver.hProcess, 98);
  }
  std::printf("saver exit %lu\n", static_cast<unsigned long>(code));
  return child ? static_cast<int>(code) : 5;
}
