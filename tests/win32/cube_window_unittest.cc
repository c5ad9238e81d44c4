// The cube saver's window procedure on a real window with a real WGL
// context: creation, first paint, ticks and teardown, behind the shell's
// class procedure as in the running saver; judged by what OpenGL, GDI and
// the message queue show.
#include <gtest/gtest.h>

#include <string>

#include "bmp_builder.h"
#include "cube/show.h"
#include "render/textures_win32.h"
#include "saver/cube_window_win32.h"
#include "settings/settings.h"
#include "settings_fixture.h"
#include "saver_class_win32.h"
#include "shell/saver_shell_win32.h"

namespace {

class CubeWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterTestSaverClasses());
    SaverInstance = LoadLibraryExA(QUARLO_SCR_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    FirstPaintSeen = 0;  // a saver process makes one window; this test several
    GLContext = nullptr;
    TickTimerId = 0;
    IsPreview = 1;  // no input rule gets in the way of the test's messages
    ClearStoredSettings();
  }
  void TearDown() override {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    ClearStoredSettings();
    FreeLibrary(SaverInstance);
    IsPreview = 0;
  }
  void Create(uint32_t surface, const std::string& texture) {
    PlantStoredDword("Surface", surface);
    PlantStoredValue("Texture", REG_SZ, texture + '\0');
    window_ = CreateWindowExA(0, kSaverClassName, "Preview", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
  }
  static bool Viewport(int width, int height) {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    return viewport[2] == width && viewport[3] == height;
  }
  HWND window_ = nullptr;
};

TEST_F(CubeWindowTest, PicturesAtCreationTheSceneAtTheFirstPaintTicksAndTeardown) {
  Create(1, WriteTempFile("window.bmp", BuildPicture(30, 30, [](int, int) { return 0x777777u; })));
  HBITMAP pieces[kFrontPieces];
  for (int p = 0; p < kFrontPieces; ++p) EXPECT_NE(pieces[p] = FrontPieceBitmap[p], nullptr) << p;
  EXPECT_TRUE(SaverSettings.Surface == 1 && !wglGetCurrentContext()) << "the scene waits for the first paint";
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  UpdateWindow(window_);  // sets the timer
  const HGLRC context = wglGetCurrentContext();
  ASSERT_NE(context, nullptr);
  EXPECT_TRUE(Viewport(320, 240) && LogoBitmap);
  InvalidateRect(window_, nullptr, FALSE);
  UpdateWindow(window_);  // a later paint sets nothing up again
  EXPECT_EQ(wglGetCurrentContext(), context);
  // The timer's ticks run the show, no oftener than every 50 ms: a timer may
  // run late but never early, so the n-th tick comes at least n periods
  // after the timer was set.
  const int32_t counter = ShowCounter, state = ShowState;
  int64_t ticks = 0, ms = 0;
  while (ms < 1500) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } else {
      ticks += message.message == WM_TIMER && message.hwnd == window_;
      DispatchMessageA(&message);
    }
    QueryPerformanceCounter(&now);
    ms = (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
  }
  EXPECT_TRUE(ShowCounter != counter || ShowState != state) << "ticks did not run the show";
  EXPECT_GE(ticks, 2);
  EXPECT_LE(ticks * 50, ms + 1) << ticks << " ticks in " << ms << " ms";
  // A display change while the full-screen show runs: the window moves over
  // the (here single) monitor and the projection follows its new size.
  IsPreview = 0;
  SendMessageA(window_, WM_DISPLAYCHANGE, 24, MAKELPARAM(1024, 768));
  IsPreview = 1;
  EXPECT_TRUE(Viewport(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  const HBITMAP logo = LogoBitmap;
  DestroyWindow(window_);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  for (HBITMAP piece : pieces) EXPECT_EQ(GetObjectType(piece), 0u);
  EXPECT_EQ(GetObjectType(logo), 0u);
  // Every message returns what the shell's default procedure gives for it.
  Create(0, "");
  for (UINT message : {UINT(WM_SETCURSOR), UINT(WM_NCHITTEST), UINT(WM_GETMINMAXINFO), UINT(WM_CLOSE + 0x300)}) {
    EXPECT_EQ(CubeSaverProc(window_, message, 0, MAKELPARAM(10, 10)),
              SaverDefaultProc(window_, message, 0, MAKELPARAM(10, 10))) << message;
  }
}

// A picture that can't be read leaves Surface off for this run only, and
// with Surface off none is read; a window gone before its first paint made
// no context.
TEST_F(CubeWindowTest, NoPiecesWithoutAReadablePictureAndNoContextWithoutAPaint) {
  const struct {
    uint32_t surface;
    std::string texture;
  } cases[] = {{1, "C:\\no\\such\\picture.bmp"},
               {0, WriteTempFile("unused.bmp", BuildPicture(30, 30, [](int, int) { return 0u; }))}};
  for (const auto& c : cases) {
    Create(c.surface, c.texture);
    for (HBITMAP piece : FrontPieceBitmap) EXPECT_EQ(piece, nullptr) << c.texture;
    EXPECT_EQ(SaverSettings.Surface, 0);
    StoredValue stored;
    EXPECT_TRUE(ReadStoredValue("Surface", &stored) && stored.data[0] == char(c.surface));
    DestroyWindow(window_);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
  }
}

}  // namespace
