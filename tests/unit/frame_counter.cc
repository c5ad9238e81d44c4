#include "frame_counter.h"

#include "render/frame.h"

long FramesDrawn = 0;
void (*FrameObserver)() = nullptr;

void DrawFrame() {
  ++FramesDrawn;
  if (FrameObserver) FrameObserver();
}
