#include "render/gl_context_win32.h"

#include "render/palette.h"

int32_t ClientWidth = 0;
int32_t ClientHeight = 0;
HPALETTE GLPalette = nullptr;
HPALETTE PreviousPalette = nullptr;

namespace {

enum { kMaxPaletteEntries = 256 };

// The entry list lives in static storage: a palette format never has more
// than 256 colours, and a larger one gets no palette.
struct {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[kMaxPaletteEntries];
} PaletteRequest;

static_assert(sizeof(PaletteEntry) == sizeof(PALETTEENTRY), "entry layout");

}  // namespace

PIXELFORMATDESCRIPTOR RequestedPixelFormat() {
  PIXELFORMATDESCRIPTOR pfd = {};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 24;
  pfd.cDepthBits = 16;
  pfd.iLayerType = PFD_MAIN_PLANE;
  return pfd;
}

int32_t SetGLPixelFormat(HDC dc) {
  const PIXELFORMATDESCRIPTOR pfd = RequestedPixelFormat();
  const int format = ChoosePixelFormat(dc, &pfd);
  if (format == 0) return 0;
  return SetPixelFormat(dc, format, &pfd) ? 1 : 0;
}

void CreateGLPalette(HDC dc) {
  PIXELFORMATDESCRIPTOR pfd = {};
  const int format = GetPixelFormat(dc);
  if (format == 0 || !DescribePixelFormat(dc, format, sizeof pfd, &pfd)) return;
  if (!(pfd.dwFlags & PFD_NEED_PALETTE)) return;
  const PaletteLayout layout = {pfd.cColorBits, pfd.cRedBits,  pfd.cRedShift, pfd.cGreenBits,
                                pfd.cGreenShift, pfd.cBlueBits, pfd.cBlueShift};
  const int32_t count = BuildPaletteEntries(
      layout, reinterpret_cast<PaletteEntry*>(PaletteRequest.palPalEntry), kMaxPaletteEntries);
  if (count == 0) return;
  PaletteRequest.palVersion = 0x300;
  PaletteRequest.palNumEntries = static_cast<WORD>(count);
  GLPalette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&PaletteRequest));
  if (!GLPalette) return;
  PreviousPalette = SelectPalette(dc, GLPalette, FALSE);
  RealizePalette(dc);
}

HGLRC CreateGLContext(HWND window, HDC dc) {
  RECT client = {};
  GetClientRect(window, &client);
  ClientWidth = client.right - client.left;
  ClientHeight = client.bottom - client.top;
  SetGLPixelFormat(dc);  // a refused format shows up as a failing context below
  CreateGLPalette(dc);
  HGLRC context = wglCreateContext(dc);
  if (!context) return nullptr;
  if (!wglMakeCurrent(dc, context)) {
    wglDeleteContext(context);
    return nullptr;
  }
  glViewport(0, 0, ClientWidth, ClientHeight);
  return context;
}

void DestroyGLContext(HGLRC context, HWND window) {
  HDC dc = wglGetCurrentDC();
  if (GLPalette) {
    HGDIOBJ ours = SelectPalette(dc, PreviousPalette, FALSE);
    DeleteObject(ours);
  }
  ReleaseDC(window, dc);
  wglDeleteContext(context);
}

void SwapFrameBuffers() { SwapBuffers(wglGetCurrentDC()); }
