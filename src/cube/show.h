// The cube show: an endless state machine that takes one step per 50 ms
// tick (wait, fly apart, scramble, fly back, pause, animated solve) and
// hands one frame to its caller's draw function at the end of every tick.
#pragma once

#include <cstdint>

enum : int32_t {
  SHOW_WAIT = 0,
  SHOW_EXPLODE = 1,
  SHOW_SCRAMBLE = 2,
  SHOW_IMPLODE = 3,
  SHOW_PAUSE = 4,
  SHOW_SOLVE = 5,
};

enum {
  kScrambleMoves = 25,
  kScrambleCodes = 21,  // moves are drawn from 1..21
  kFirstWaitTicks = 10,
  kWaitTicks = 25,
  kPauseTicks = 25,
  kExplodeStep = 2,
  kImplodeStep = 4,
  kExplodeDistance = 148,
  kTurnStep = 15,
  kQuarterTurn = 90,
};

extern int32_t ShowState;
extern int32_t ShowCounter;
extern int32_t TurnAngle;
extern int32_t CurrentMove;
extern int32_t HistoryIndex;
extern int8_t MoveHistory[kScrambleMoves];
extern int32_t TickBusy;
extern uint32_t ShowRandomState;

// Draws the frame of the tick that just ran; the show knows nothing else of
// how frames are drawn.
using ShowDrawFunction = void (*)();

// One step of the show, then one frame through `draw` (none: no frame), both
// inside the tick's busy guard.
void ShowTick(ShowDrawFunction draw);
void SeedShowRandom(uint32_t seed);
int32_t NextShowRandom();

// Puts the sequencer back to its state at process start. The show itself
// never does this; tools and tests that run many shows in one process do.
void ResetShowForTesting();
