// A whole frame drawn and presented, where the platform's context presents
// every frame whole (Windows, and the headless context of the tools).
#include "render/frame.h"
#include "render/gl_context.h"

void DrawFrame() {
  DrawFrameContents();
  SwapFrameBuffers();
}
