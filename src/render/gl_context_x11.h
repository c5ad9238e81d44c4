// GLX on an X window: the visual our own windows are made with, and a
// context on any window in that window's own visual (a window another
// program made keeps the visual it was given).
#pragma once

#include <GL/glx.h>

#include "render/gl_context.h"

// Double-buffered RGBA with a 16-bit depth buffer, as the Windows saver asks.
bool ChooseGLVisual(Display* display, int screen, XVisualInfo* visual);
// Whether frames drawn in a window of this visual come out right: OpenGL,
// RGBA and a depth buffer.
bool VisualSuitsDrawing(Display* display, Visual* visual);
// Of the screen's visuals that match `wanted` in the fields of `mask`
// (VisualIDMask, VisualClassMask), one that suits drawing, double-buffered
// where one is; false when none suits.
bool FindDrawingVisual(Display* display, int screen, const XVisualInfo& wanted, long mask,
                       XVisualInfo* visual);
// Measures the window, makes a context in its visual current on it and sets
// the viewport; none on failure.
GLXContext CreateGLContext(Display* display, Window window);
void DestroyGLContext(GLXContext context);
