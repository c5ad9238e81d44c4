#include "frame_counter.h"

long FramesDrawn = 0;
void (*FrameObserver)() = nullptr;

void CountFrame() {
  ++FramesDrawn;
  if (FrameObserver) FrameObserver();
}
