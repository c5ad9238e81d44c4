// The draw function tests of the show hand to ShowTick: it counts frames
// and lets a test look at the state each frame sees.
#pragma once

extern long FramesDrawn;
extern void (*FrameObserver)();

// The draw function the tests hand to ShowTick.
void CountFrame();
