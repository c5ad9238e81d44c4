// The process start: the raw command line, not an argument vector, goes to
// the shell, and the mode's result ends the process.
#include "shell/command_line.h"
#include "shell/saver_shell_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr),
                                          SkipProgramName(GetCommandLineA()))));
}
