// Stand-in for the renderer in tests of the show: counts frames and lets a
// test look at the state each frame sees.
#pragma once

extern long FramesDrawn;
extern void (*FrameObserver)();
