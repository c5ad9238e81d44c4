#include "cube/show.h"

#include "cube/model.h"
#include "settings/settings.h"

int32_t ShowState = SHOW_WAIT;
int32_t ShowCounter = kFirstWaitTicks;
int32_t TurnAngle = 0;
int32_t CurrentMove = 0;
int32_t HistoryIndex = 0;
int8_t MoveHistory[kScrambleMoves];
int32_t TickBusy = 0;
uint32_t ShowRandomState = 1;

void SeedShowRandom(uint32_t seed) { ShowRandomState = seed; }

int32_t NextShowRandom() {
  ShowRandomState = ShowRandomState * 214013u + 2531011u;
  return static_cast<int32_t>((ShowRandomState >> 16) & 0x7FFF);
}

namespace {

int32_t DrawScrambleMove() { return NextShowRandom() % kScrambleCodes + 1; }

void Scramble() {
  ResetCube();
  int32_t previous = 0;
  for (int k = 0; k < kScrambleMoves; ++k) {
    int32_t move = DrawScrambleMove();
    while (move == InverseMove[previous]) move = DrawScrambleMove();
    ApplyMove(move, 1);
    MoveHistory[k] = static_cast<int8_t>(move);
    previous = move;
  }
}

void StartSolve() {
  ShowState = SHOW_PAUSE;
  HistoryIndex = kScrambleMoves - 1;
  TurnAngle = 0;
  CurrentMove = InverseMove[MoveHistory[HistoryIndex]];
  ShowCounter = kPauseTicks;
}

void SolveStep() {
  TurnAngle += kTurnStep;
  if (TurnAngle != kQuarterTurn) {
    ApplyMove(CurrentMove, 0);
    return;
  }
  ApplyMove(CurrentMove, 1);
  if (HistoryIndex == 0) {
    ShowState = SHOW_WAIT;
    ShowCounter = kWaitTicks;
    NextShowRandom();  // two draws discarded: they shift the next scramble
    NextShowRandom();
    return;
  }
  TurnAngle = 0;
  --HistoryIndex;
  CurrentMove = InverseMove[MoveHistory[HistoryIndex]];
}

void Step() {
  const bool explode = SaverSettings.Explode != 0;
  switch (ShowState) {
    case SHOW_WAIT:
      if (--ShowCounter == 0) ShowState = explode ? SHOW_EXPLODE : SHOW_SCRAMBLE;
      break;
    case SHOW_EXPLODE:
      ShowCounter += kExplodeStep;
      if (ShowCounter == kExplodeDistance) ShowState = SHOW_SCRAMBLE;
      break;
    case SHOW_SCRAMBLE:
      Scramble();
      if (explode) {
        ShowState = SHOW_IMPLODE;
      } else {
        StartSolve();
      }
      break;
    case SHOW_IMPLODE:
      ShowCounter -= kImplodeStep;
      if (ShowCounter == 0) StartSolve();
      break;
    case SHOW_PAUSE:
      if (--ShowCounter == 0) ShowState = SHOW_SOLVE;
      break;
    case SHOW_SOLVE:
      SolveStep();
      break;
    default:
      break;
  }
}

}  // namespace

void ShowTick(ShowDrawFunction draw) {
  if (TickBusy) return;
  TickBusy = 1;
  Step();
  if (draw) draw();
  TickBusy = 0;
}

void ResetShowForTesting() {
  ShowState = SHOW_WAIT;
  ShowCounter = kFirstWaitTicks;
  TurnAngle = 0;
  CurrentMove = 0;
  HistoryIndex = 0;
  for (int8_t& move : MoveHistory) move = 0;
  TickBusy = 0;
  ShowRandomState = 1;
}
