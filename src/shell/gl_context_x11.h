// GLX for the X11 front end: the visual of the windows the saver makes, the
// test of a window another program made, and one context on the saver's
// window, whose frames are shown in part where the server allows it.
#pragma once

#include <GL/glx.h>

#include <cstdint>

#include "shell/saver_arguments.h"

// The visual -visual names where it can draw the show; else (with a line
// that says so) or with no -visual, double-buffered RGBA with a 16-bit depth
// buffer, as the Windows saver asks. False when there is none.
bool ChooseWindowVisual(Display* display, int screen, const SaverVisualRequest& request,
                        XVisualInfo* visual);
// Whether frames drawn in a window of this visual come out right: OpenGL,
// RGBA and a depth buffer.
bool VisualSuitsDrawing(Display* display, Visual* visual);

// A context in the window's own visual, current on it; false, having said why.
bool MakeWindowContext(Display* display, Window window);
void DropWindowContext();
// How many frames back the back buffer's contents are for a window of
// width x height (1: the last frame; 0: unknown, so it is drawn whole).
int32_t WindowBackBufferAge(int32_t width, int32_t height);
// Shows the part of the frame drawn (pixels from the bottom left) in a
// window of width x height.
void PresentWindowPart(int32_t x, int32_t y, int32_t part_width, int32_t part_height,
                       int32_t width, int32_t height);
