// WGL on the saver window: the pixel format, the logical palette of a
// palette-based format, and the rendering context.
#pragma once

#include <cstdint>

#include "render/gl_compat.h"
#include "render/gl_context.h"

// The client size measured when the context was made.
extern int32_t ClientWidth;
extern int32_t ClientHeight;
extern HPALETTE GLPalette;
extern HPALETTE PreviousPalette;

// Measures the client area, sets the pixel format and palette, makes the
// context current and sets the viewport; none on failure.
HGLRC CreateGLContext(HWND window, HDC dc);
// Restores the palette, releases the window's device context, deletes the
// context; in that order.
void DestroyGLContext(HGLRC context, HWND window);

int32_t SetGLPixelFormat(HDC dc);
void CreateGLPalette(HDC dc);
// The pixel format asked for: double-buffered RGBA, 24 colour bits, 16 depth bits.
PIXELFORMATDESCRIPTOR RequestedPixelFormat();
