// The shell's class and default procedures on a real window, with a
// program procedure of our own that notes what reaches it; and the password
// lock against the registry and our own PASSWORD.CPL beside this program.
#include <gtest/gtest.h>

#include <vector>

#include "saver_class_win32.h"
#include "shell/saver_shell_win32.h"

namespace {
std::vector<UINT> reached;  // messages that got to the program's procedure
int verify_calls = 0;
BOOL verify_answer = FALSE;
BOOL WINAPI TestVerifier(HWND) {
  ++verify_calls;
  return verify_answer;
}
}  // namespace

LRESULT CALLBACK CubeSaverProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  reached.push_back(message);
  if (message == WM_SYSCOMMAND) return 0;  // the platform would act on it; noting it is enough
  return SaverDefaultProc(window, message, wparam, lparam);
}
INT_PTR CALLBACK ConfigDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

namespace {

class SaverProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterTestSaverClasses());
    CloseApproved = InPasswordCheck = IsPreview = IsWin9xPlatform = 0;
    LastCheckTick = 0xFFFFFFFFu;
    VerifyScreenSavePwdEntry = nullptr;
    verify_calls = 0;
    verify_answer = FALSE;
    SetCursorPos(300, 300);
  }
  void TearDown() override {
    Destroy();
    VerifyScreenSavePwdEntry = nullptr;
  }
  // The windows go, and what their going posted with them (a handle may be reused).
  void Destroy() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    if (parent_) DestroyWindow(parent_);
    parent_ = nullptr;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  void Create(bool preview) {
    IsPreview = preview;
    parent_ = preview ? CreateWindowExA(0, "QuarloTestParent", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                                        300, nullptr, nullptr, nullptr, nullptr)
                      : nullptr;
    window_ = CreateWindowExA(0, kSaverClassName, preview ? "Preview" : kSaverTitle,
                              preview ? WS_CHILD : WS_POPUP, 0, 0, 100, 100, parent_, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window_);
  }
  // Whether a WM_CLOSE for the saver window waits in the queue (taken out).
  bool ClosePosted() {
    MSG message;
    bool found = false;
    while (PeekMessageA(&message, window_, WM_CLOSE, WM_CLOSE, PM_REMOVE)) found = true;
    return found;
  }
  HWND window_ = nullptr, parent_ = nullptr;
};

TEST_F(SaverProcTest, WhatEachMessageDoes) {
  const UINT kAny = 0xFFFF;
  const struct {
    bool preview, approved, checking;
    UINT message;
    WPARAM wparam;
    bool closes, reaches;
    LRESULT result;  // kAny: not looked at
  } cases[] = {  // the rules that end the saver, in full screen and in a preview, and after approval
      {0, 0, 0, WM_KEYUP, 0, 0, 1, kAny},        {0, 0, 0, WM_LBUTTONUP, 0, 0, 1, kAny},
      {0, 0, 0, WM_MOUSEWHEEL, 0, 0, 1, kAny},   {0, 0, 0, WM_KEYDOWN, 0, 1, 1, kAny},
      {0, 0, 0, WM_SYSKEYDOWN, VK_MENU, 1, 1, kAny}, {0, 0, 0, WM_RBUTTONDOWN, 0, 1, 1, kAny},
      {0, 0, 0, WM_ACTIVATEAPP, 1, 0, 1, kAny},  {0, 0, 0, WM_ACTIVATEAPP, 0, 1, 1, kAny},
      {0, 0, 0, WM_SYSCOMMAND, SC_SCREENSAVE, 0, 0, 0}, {1, 0, 0, WM_SYSCOMMAND, SC_SCREENSAVE, 0, 1, kAny},
      {1, 0, 0, WM_KEYDOWN, 0, 0, 1, kAny},      {1, 0, 0, WM_ACTIVATEAPP, 0, 0, 1, kAny},
      {1, 0, 0, WM_HELP, 0, 0, 0, 1},            {1, 0, 0, WM_CONTEXTMENU, 0, 0, 0, 1},
      {0, 1, 0, WM_TIMER, 1, 0, 0, 0},           {0, 1, 0, WM_KEYDOWN, 0, 0, 0, kAny},
      {0, 0, 0, WM_TIMER, 1, 0, 1, kAny},        {0, 0, 1, WM_KEYDOWN, 0, 0, 1, kAny},
      {0, 0, 0, WM_SETTEXT, 0, 0, 0, 0},  // the title stays: not passed on, nor reaching the program
  };
  for (const auto& c : cases) {
    Create(c.preview);
    CloseApproved = c.approved;
    InPasswordCheck = c.checking;
    reached.clear();
    const LRESULT result = SendMessageA(window_, c.message, c.wparam, c.message == WM_SETTEXT ? LPARAM("x") : 99);
    const std::string what = std::to_string(c.message) + " " + std::to_string(c.wparam) + (c.preview ? " preview" : "");
    EXPECT_EQ(ClosePosted(), c.closes) << what;
    EXPECT_EQ(!reached.empty(), c.reaches) << what;
    EXPECT_TRUE(c.result == LRESULT(kAny) || result == c.result) << what << ": " << result;
    EXPECT_TRUE(!c.checking || VerifyBeforeClose(window_) == 0);  // no second verification
    CloseApproved = InPasswordCheck = 0;
    if (parent_) {  // the preview's context menu request went to its parent, with its handle
      MSG menu;
      const bool posted = PeekMessageA(&menu, parent_, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE);
      EXPECT_EQ(posted, c.message == WM_CONTEXTMENU) << what;
      EXPECT_TRUE(!posted || (menu.wParam == WPARAM(parent_) && menu.lParam == 99));
    }
    Destroy();
  }
}

TEST_F(SaverProcTest, PointerMovesAddUpFromTheOriginPastFourPixels) {
  Create(false);
  EXPECT_TRUE(MouseOrigin.x == 300 && MouseOrigin.y == 300);
  const struct {
    int x, y;
    bool closes;
  } moves[] = {{303, 301, false}, {303, 302, true},  // 4, then 5 from the origin: the new origin
               {305, 302, false}, {307, 302, false}, {309, 302, true}, {311, 302, false}};
  for (const auto& m : moves) {
    SetCursorPos(m.x, m.y);
    SendMessageA(window_, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(ClosePosted(), m.closes) << m.x << "," << m.y;
  }
}

TEST_F(SaverProcTest, ClosingAndThePassword) {
  Create(false);  // (off the Win9x family a close ends the saver: every end-to-end run)
  EXPECT_EQ(SendMessageA(window_, SAVER_MSG_VERIFY, 0, 0), 0);  // not ours to answer off Win9x
  IsWin9xPlatform = 1;
  EXPECT_EQ(SendMessageA(window_, SAVER_MSG_VERIFY, 0, 0), 1);  // no verifier: yes
  VerifyScreenSavePwdEntry = TestVerifier;
  SetCursorPos(320, 310);
  const struct {
    int since_refusal;  // ms since the last verification ended
    BOOL answer;
    int calls;
    bool closed;
  } closes[] = {{-1, FALSE, 1, false}, {150, FALSE, 1, false}, {250, FALSE, 2, false}, {250, TRUE, 3, true}};
  for (const auto& c : closes) {
    if (c.since_refusal >= 0) LastCheckTick = GetTickCount() - c.since_refusal;
    verify_answer = c.answer;
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(verify_calls, c.calls) << c.since_refusal;
    EXPECT_EQ(!IsWindow(window_), c.closed) << c.since_refusal;
    EXPECT_EQ(CloseApproved, c.closed);
  }
  EXPECT_TRUE(MouseOrigin.x == 320 && MouseOrigin.y == 310);  // a refusal made the pointer the origin
  VerifyScreenSavePwdEntry = nullptr;  // Win9x without a verifier: approved at once
  CloseApproved = 0;
  Create(false);
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(CloseApproved == 1 && !IsWindow(window_));
}

TEST(PasswordLockTest, TheFlagTheVerifierAndTheSaverRunningState) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key), ERROR_SUCCESS);
  const auto running = [] {
    BOOL on = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &on, 0);
    return on != FALSE;
  };
  const struct {
    bool win9x;
    DWORD type;
    std::string flag;  // empty: no value
    bool locked;
  } cases[] = {{1, REG_DWORD, std::string("\1\0\0\0", 4), true}, {1, REG_SZ, std::string("1\0", 2), true},
               {1, REG_DWORD, std::string(4, '\0'), false}, {1, REG_QWORD, std::string("\1\0\0\0\0\0\0\0", 8), false},
               {1, REG_DWORD, "", false}, {0, REG_DWORD, std::string("\1\0\0\0", 4), false}};
  for (const auto& c : cases) {
    IsWin9xPlatform = c.win9x;
    RegDeleteValueA(key, "ScreenSaveUsePassword");
    if (!c.flag.empty()) RegSetValueExA(key, "ScreenSaveUsePassword", 0, c.type, reinterpret_cast<const BYTE*>(c.flag.data()), DWORD(c.flag.size()));
    for (int open = 0; open < 2; ++open) {  // opening again first lets go of the last
      OpenPasswordLock();
      EXPECT_EQ(VerifyScreenSavePwdEntry != nullptr, c.locked) << c.type << " " << c.flag.size();
      EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL") != nullptr, c.locked);
      EXPECT_EQ(running(), c.locked);
    }
    ClosePasswordLock();
    EXPECT_TRUE(!PasswordLibrary && !VerifyScreenSavePwdEntry && !GetModuleHandleA("PASSWORD.CPL") && !running());
  }
  RegDeleteValueA(key, "ScreenSaveUsePassword");
  RegCloseKey(key);
  IsWin9xPlatform = 0;
}

}  // namespace
