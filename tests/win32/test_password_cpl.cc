// A stand-in for the platform's PASSWORD.CPL, for tests: its verifier
// answers from QUARLO_TEST_PASSWORD ("0" refuse, "1" accept, one character
// per call, the last one repeating) and appends one line per call to the
// file named by QUARLO_TEST_PASSWORD_LOG.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {
int calls = 0;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  char answers[64] = "0";
  GetEnvironmentVariableA("QUARLO_TEST_PASSWORD", answers, sizeof answers);
  const size_t count = std::strlen(answers);
  const int index = calls < int(count) ? calls : int(count) - 1;
  const BOOL accept = count > 0 && answers[index] == '1';
  ++calls;
  char log_path[MAX_PATH] = "";
  if (GetEnvironmentVariableA("QUARLO_TEST_PASSWORD_LOG", log_path, sizeof log_path)) {
    if (std::FILE* log = std::fopen(log_path, "a")) {
      std::fprintf(log, "call %d window %d answer %d tick %lu\n", calls, IsWindow(window) ? 1 : 0,
                   accept ? 1 : 0, GetTickCount());
      std::fclose(log);
    }
  }
  return accept;
}
