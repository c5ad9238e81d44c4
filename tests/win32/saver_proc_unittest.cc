// The shell's class and default procedures on a real window, with a
// program procedure of our own that notes what reaches it.
#include <gtest/gtest.h>

#include <vector>

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
  // The platform would act on a screen-save command; noting it is enough.
  if (message == WM_SYSCOMMAND) return 0;
  return SaverDefaultProc(window, message, wparam, lparam);
}

INT_PTR CALLBACK ConfigDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

namespace {

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

class SaverProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool registered = false;
    if (!registered) {
      WNDCLASSA saver = {};
      saver.lpfnWndProc = SaverClassProc;
      saver.hInstance = GetModuleHandleA(nullptr);
      saver.lpszClassName = kSaverClassName;
      WNDCLASSA parent = saver;
      parent.lpfnWndProc = ParentProc;
      parent.lpszClassName = "QuarloTestParent";
      ASSERT_TRUE(RegisterClassA(&saver));
      ASSERT_TRUE(RegisterClassA(&parent));
      registered = true;
    }
    CloseApproved = 0;
    InPasswordCheck = 0;
    LastCheckTick = 0xFFFFFFFFu;
    IsPreview = 0;
    IsWin9xPlatform = 0;
    VerifyScreenSavePwdEntry = nullptr;
    verify_calls = 0;
    verify_answer = FALSE;
    SetCursorPos(300, 300);
    DrainQueue();
  }

  void TearDown() override {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    if (parent_) DestroyWindow(parent_);
    DrainQueue();
    VerifyScreenSavePwdEntry = nullptr;
  }

  void CreateFullScreen() {
    window_ = CreateWindowExA(0, kSaverClassName, kSaverTitle, WS_POPUP, 0, 0, 200, 200, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(window_);
  }

  void CreatePreview() {
    parent_ = CreateWindowExA(0, "QuarloTestParent", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(parent_);
    IsPreview = 1;
    window_ = CreateWindowExA(0, kSaverClassName, "Preview", WS_CHILD, 0, 0, 100, 100, parent_,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(window_);
  }

  // Whether a WM_CLOSE for the saver window waits in the queue (removed).
  bool ClosePosted() {
    MSG message;
    bool found = false;
    while (PeekMessageA(&message, window_, WM_CLOSE, WM_CLOSE, PM_REMOVE)) found = true;
    return found;
  }

  void MoveCursorBy(int dx, int dy) {
    POINT now;
    GetCursorPos(&now);
    SetCursorPos(now.x + dx, now.y + dy);
    SendMessageA(window_, WM_MOUSEMOVE, 0, 0);
  }

  static void DrainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }

  HWND window_ = nullptr;
  HWND parent_ = nullptr;
};

TEST_F(SaverProcTest, PointerDistanceAboveFourPostsAClose) {
  CreateFullScreen();
  POINT origin;
  GetCursorPos(&origin);
  EXPECT_EQ(MouseOrigin.x, origin.x);
  EXPECT_EQ(MouseOrigin.y, origin.y);

  MoveCursorBy(3, 1);  // distance 4
  EXPECT_FALSE(ClosePosted());
  SetCursorPos(origin.x + 3, origin.y + 2);  // distance 5
  SendMessageA(window_, WM_MOUSEMOVE, 0, 0);
  EXPECT_TRUE(ClosePosted());
  EXPECT_EQ(MouseOrigin.x, origin.x + 3);  // the new position is the origin now
  EXPECT_EQ(MouseOrigin.y, origin.y + 2);
}

TEST_F(SaverProcTest, SmallMovesAddUpFromTheOrigin) {
  CreateFullScreen();
  MoveCursorBy(2, 0);
  EXPECT_FALSE(ClosePosted());
  MoveCursorBy(2, 0);
  EXPECT_FALSE(ClosePosted());
  MoveCursorBy(2, 0);  // 6 from the origin
  EXPECT_TRUE(ClosePosted());
  MoveCursorBy(2, 0);  // 2 from the new origin
  EXPECT_FALSE(ClosePosted());
}

TEST_F(SaverProcTest, PressesAndLostActivationCloseReleasesDoNot) {
  CreateFullScreen();
  for (UINT message : {WM_KEYUP, WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEWHEEL, WM_SYSKEYUP}) {
    SendMessageA(window_, message, 0, 0);
    EXPECT_FALSE(ClosePosted()) << message;
  }
  for (UINT message :
       {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
    SendMessageA(window_, message, message == WM_SYSKEYDOWN ? VK_MENU : 0, 0);
    EXPECT_TRUE(ClosePosted()) << message;
  }
  SendMessageA(window_, WM_ACTIVATEAPP, 1, 0);
  EXPECT_FALSE(ClosePosted());
  SendMessageA(window_, WM_ACTIVATEAPP, 0, 0);
  EXPECT_TRUE(ClosePosted());
}

TEST_F(SaverProcTest, OffWin9xTheFirstCloseDestroysTheWindow) {
  CreateFullScreen();
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window_));
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);
}

TEST_F(SaverProcTest, TitleCannotChangeAndSystemCommandsAreSwallowed) {
  CreateFullScreen();
  EXPECT_EQ(SendMessageA(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("other")), 0);
  char title[32] = "";
  GetWindowTextA(window_, title, sizeof title);
  EXPECT_STREQ(title, kSaverTitle);

  reached.clear();
  for (WPARAM command : {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW}) {
    EXPECT_EQ(SendMessageA(window_, WM_SYSCOMMAND, command, 0), 0);
  }
  EXPECT_TRUE(reached.empty());
  // Compared whole: a low bit set makes another command, passed on.
  SendMessageA(window_, WM_SYSCOMMAND, SC_SCREENSAVE | 1, 0);
  EXPECT_EQ(reached.size(), 1u);
}

TEST_F(SaverProcTest, PreviewIgnoresInputAndForwardsHelpToItsParent) {
  CreatePreview();
  SetCursorPos(600, 500);
  for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_MOUSEMOVE}) {
    SendMessageA(window_, message, 0, 0);
  }
  SendMessageA(window_, WM_ACTIVATEAPP, 0, 0);
  EXPECT_FALSE(ClosePosted());

  reached.clear();
  EXPECT_EQ(SendMessageA(window_, WM_HELP, 0, 1234), 1);
  EXPECT_EQ(SendMessageA(window_, WM_CONTEXTMENU, 0, 99), 1);
  EXPECT_TRUE(reached.empty());
  // WM_HELP carries a pointer, which the platform refuses to post; the
  // context menu request arrives.
  MSG menu;
  ASSERT_TRUE(PeekMessageA(&menu, parent_, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE));
  EXPECT_EQ(menu.wParam, reinterpret_cast<WPARAM>(parent_));
  EXPECT_EQ(menu.lParam, 99);

  // In the preview the screen-saver command goes on to the program.
  SendMessageA(window_, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  EXPECT_EQ(reached.size(), 1u);
}

TEST_F(SaverProcTest, RefusedPasswordKeepsRunningAndIsNotAskedAgainWithin200Ms) {
  IsWin9xPlatform = 1;
  VerifyScreenSavePwdEntry = TestVerifier;
  CreateFullScreen();
  SetCursorPos(320, 310);  // a move that the refusal makes the new origin

  EXPECT_EQ(SendMessageA(window_, WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(verify_calls, 1);
  EXPECT_TRUE(IsWindow(window_));
  EXPECT_EQ(CloseApproved, 0);
  EXPECT_EQ(MouseOrigin.x, 320);
  EXPECT_EQ(MouseOrigin.y, 310);

  LastCheckTick = GetTickCount() - 150;
  EXPECT_EQ(SendMessageA(window_, WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(verify_calls, 1) << "asked again 150 ms after a refusal";

  LastCheckTick = GetTickCount() - 250;
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(verify_calls, 2) << "not asked 250 ms after a refusal";

  verify_answer = TRUE;
  LastCheckTick = GetTickCount() - 250;
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(verify_calls, 3);
  EXPECT_EQ(CloseApproved, 1);
  EXPECT_FALSE(IsWindow(window_));
}

TEST_F(SaverProcTest, VerifyMessageAnswersOneWithoutAVerifierAndOnlyOnWin9x) {
  CreateFullScreen();
  reached.clear();
  EXPECT_EQ(SendMessageA(window_, SAVER_MSG_VERIFY, 0, 0), 0);  // DefWindowProc off Win9x
  IsWin9xPlatform = 1;
  EXPECT_EQ(SendMessageA(window_, SAVER_MSG_VERIFY, 0, 0), 1);
  VerifyScreenSavePwdEntry = TestVerifier;
  verify_answer = TRUE;
  EXPECT_EQ(SendMessageA(window_, SAVER_MSG_VERIFY, 0, 0), 1);
  EXPECT_EQ(verify_calls, 1);
  EXPECT_EQ(reached.size(), 3u);  // it travels the program's procedure too
}

TEST_F(SaverProcTest, Win9xWithoutVerifierApprovesAtOnce) {
  IsWin9xPlatform = 1;
  CreateFullScreen();
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(CloseApproved, 1);
  EXPECT_FALSE(IsWindow(window_));
}

TEST_F(SaverProcTest, AfterApprovalTicksAndInputStopAtTheShell) {
  CreateFullScreen();
  CloseApproved = 1;
  reached.clear();
  EXPECT_EQ(SendMessageA(window_, WM_TIMER, 1, 0), 0);
  SendMessageA(window_, WM_KEYDOWN, 0, 0);
  SendMessageA(window_, WM_PAINT, 0, 0);
  EXPECT_TRUE(reached.empty());
  EXPECT_FALSE(ClosePosted());
  CloseApproved = 0;
  SendMessageA(window_, WM_TIMER, 1, 0);
  EXPECT_EQ(reached.size(), 1u);
}

TEST_F(SaverProcTest, DuringVerificationInputDoesNotPostCloses) {
  CreateFullScreen();
  InPasswordCheck = 1;
  SendMessageA(window_, WM_KEYDOWN, 0, 0);
  EXPECT_FALSE(ClosePosted());
  EXPECT_EQ(VerifyBeforeClose(window_), 0);  // no second verification
  InPasswordCheck = 0;
}

}  // namespace
