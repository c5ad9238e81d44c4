// The cube's own saver window procedure: settings and front-face pictures
// at creation, the scene at the first paint, one show tick per timer
// message (drawn on each monitor), and teardown at destruction. Every
// message then goes on to the shell's default procedure.
#include "saver/cube_window_win32.h"

#include "cube/show.h"
#include "render/bitmap_win32.h"
#include "render/cubies.h"
#include "render/front_pieces.h"
#include "render/frame.h"
#include "render/gl_context_win32.h"
#include "render/textures_win32.h"
#include "saver/monitors_win32.h"
#include "settings/settings.h"
#include "shell/saver_shell_win32.h"

int32_t FirstPaintSeen = 0;
HGLRC GLContext = nullptr;
uint16_t TickTimerId = 0;

namespace {

enum { kLogoBitmapId = 500, kTickTimer = 1, kTickMilliseconds = 50 };

void SetUpScene(HWND window) {
  HDC dc = GetDC(window);
  if (!dc) return;
  GLContext = CreateGLContext(window, dc);
  if (!GLContext) {
    ReleaseDC(window, dc);
    return;
  }
  HBITMAP logo = LoadBitmapA(SaverInstance, MAKEINTRESOURCEA(kLogoBitmapId));
  PendingBitmap = PackedBitmapFromGdiBitmap(logo, BI_RGB, 0, GLPalette);
  if (logo) DeleteObject(logo);
  if (PendingBitmap) MakeLogoTexture();
  BuildCubieLists();
  SetProjection(ClientWidth, ClientHeight);
  TakeMonitorViews(window);
  TickTimerId = static_cast<uint16_t>(SetTimer(window, kTickTimer, kTickMilliseconds, nullptr));
}

void FirstPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
  if (FirstPaintSeen) return;
  FirstPaintSeen = 1;
  SetUpScene(window);
}

void TearDown(HWND window) {
  if (TickTimerId) KillTimer(window, TickTimerId);
  if (GLContext) DestroyGLContext(GLContext, window);
  FreeTextures();
}

}  // namespace

LRESULT CALLBACK CubeSaverProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      LoadSettings();
      MakeFrontPieces();
      break;
    case WM_PAINT:
      FirstPaint(window);
      break;
    case WM_TIMER:
      ShowTick(MonitorViewCount > 0 ? DrawMonitorFrames : DrawFrame);
      break;
    case WM_DISPLAYCHANGE:  // the shell has moved the window over the new monitors
      if (GLContext) FollowDisplayChange(window);
      break;
    case WM_DESTROY:
      TearDown(window);
      break;
    default:
      break;
  }
  return SaverDefaultProc(window, message, wparam, lparam);
}
