// The cube saver's window procedure on a real window with a real WGL
// context: creation, first paint, ticks and teardown, behind the shell's
// class procedure as in the running saver.
#include <gtest/gtest.h>

#include <string>

#include "bmp_builder.h"
#include "saver/cube_window_win32.h"
#include "cube/show.h"
#include "render/gl_context_win32.h"
#include "render/textures_win32.h"
#include "settings/settings.h"
#include "settings_fixture.h"
#include "shell/saver_shell_win32.h"

namespace {

class SaverWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool registered = false;
    if (!registered) {
      WNDCLASSA saver = {};
      saver.style = CS_OWNDC;
      saver.lpfnWndProc = SaverClassProc;
      saver.hInstance = GetModuleHandleA(nullptr);
      saver.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
      saver.lpszClassName = kSaverClassName;
      ASSERT_TRUE(RegisterClassA(&saver));
      registered = true;
    }
    SaverInstance = LoadLibraryExA(QUARLO_SCR_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    FirstPaintSeen = 0;
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
  void StoreSettings(DWORD surface, const std::string& texture) {
    PlantStoredDword("Surface", surface);
    PlantStoredValue("Texture", REG_SZ, texture + '\0');
  }
  DWORD StoredSurface() {
    StoredValue surface;
    return ReadStoredValue("Surface", &surface) ? *reinterpret_cast<const DWORD*>(surface.data.data()) : 0;
  }
  void Create() {
    window_ = CreateWindowExA(0, kSaverClassName, "Preview", WS_POPUP | WS_VISIBLE, 0, 0, 320,
                              240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
  }
  static std::string Picture() {
    return WriteTempFile("saver_window_picture.bmp",
                         BuildPicture(30, 30, [](int, int) { return 0x777777u; }));
  }

  HWND window_ = nullptr;
};

TEST_F(SaverWindowTest, ReadablePictureGivesNinePiecesAndTheSceneRunsUntilDestroyed) {
  StoreSettings(1, Picture());
  Create();
  EXPECT_EQ(SaverSettings.Surface, 1);
  HBITMAP pieces[kFrontPieces];
  for (int p = 0; p < kFrontPieces; ++p) {
    pieces[p] = FrontPieceBitmap[p];
    EXPECT_NE(pieces[p], nullptr) << p;
  }
  EXPECT_EQ(GLContext, nullptr) << "the scene waits for the first paint";

  UpdateWindow(window_);
  ASSERT_EQ(FirstPaintSeen, 1);
  ASSERT_NE(GLContext, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), GLContext);
  EXPECT_EQ(ClientWidth, 320);
  EXPECT_EQ(ClientHeight, 240);
  EXPECT_EQ(TickTimerId, 1);
  EXPECT_EQ(LogoTextureSize, 256);
  ASSERT_NE(LogoBitmap, nullptr);

  // A later paint sets nothing up again.
  const HGLRC context = GLContext;
  InvalidateRect(window_, nullptr, FALSE);
  UpdateWindow(window_);
  EXPECT_EQ(GLContext, context);

  const int32_t counter = ShowCounter, state = ShowState;
  for (int i = 0; i < 12; ++i) SendMessageA(window_, WM_TIMER, 1, 0);
  EXPECT_TRUE(ShowCounter != counter || ShowState != state) << "ticks did not run the show";

  const HBITMAP logo = LogoBitmap;
  DestroyWindow(window_);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  for (HBITMAP piece : pieces) EXPECT_EQ(GetObjectType(piece), 0u);
  EXPECT_EQ(GetObjectType(logo), 0u);
}

TEST_F(SaverWindowTest, MissingPictureTurnsSurfaceOffForThisRunOnly) {
  StoreSettings(1, "C:\\no\\such\\picture.bmp");
  Create();
  EXPECT_EQ(SaverSettings.Surface, 0);
  for (HBITMAP piece : FrontPieceBitmap) EXPECT_EQ(piece, nullptr);
  EXPECT_EQ(StoredSurface(), 1u);
}

TEST_F(SaverWindowTest, SurfaceOffMakesNoPieces) {
  StoreSettings(0, Picture());
  Create();
  for (HBITMAP piece : FrontPieceBitmap) EXPECT_EQ(piece, nullptr);
}

TEST_F(SaverWindowTest, DestroyWithoutAPaintTouchesNoContext) {
  Create();
  EXPECT_EQ(FirstPaintSeen, 0);
  DestroyWindow(window_);
  EXPECT_EQ(GLContext, nullptr);
  EXPECT_EQ(TickTimerId, 0);
}

TEST_F(SaverWindowTest, EveryMessageReturnsWhatTheDefaultProcedureReturns) {
  Create();
  for (UINT message : {WM_SETCURSOR, WM_NCHITTEST, WM_GETMINMAXINFO, WM_CLOSE + 0x300}) {
    const LPARAM at = MAKELPARAM(10, 10);
    EXPECT_EQ(CubeSaverProc(window_, message, 0, at), SaverDefaultProc(window_, message, 0, at))
        << message;
  }
}

}  // namespace
