// The cube model: which slot each of the 27 cubies stands in and how it is
// turned, and the move engine that turns layers by the 24 move codes.
#pragma once

#include <cstdint>

#include "cube/matrix.h"

enum { kCubies = 27, kDirections = 6, kMoveCodes = 25, kHiddenCubie = 13 };

// Process-wide model, read directly by the show sequencer and frame drawing.
extern int32_t SlotTable[kCubies];                   // slot -> cubie
extern int32_t HomeTable[kCubies];                   // cubie -> slot
extern int32_t AxisTable[kCubies][kDirections];      // cubie, world dir -> own axis
extern int32_t FacingTable[kCubies][kDirections];    // cubie, own axis -> world dir
extern CubieMatrix CommittedMatrix[kCubies];
extern CubieMatrix AnimatedMatrix[kCubies];

// Explode directions: the position of each slot, one table per component.
extern const float ExplodeX[kCubies];
extern const float ExplodeY[kCubies];
extern const float ExplodeZ[kCubies];

extern const int8_t InverseMove[kMoveCodes];

void ResetCube();
// code 1..24; any other code turns nothing. commit: settle a quarter turn,
// else show the layer turned by the sequencer's TurnAngle.
void ApplyMove(int32_t code, int32_t commit);
void TurnCubie(int32_t direction, int32_t cubie, int32_t commit);

// Helpers over slots and direction codes, shared with tests and tools.
int SlotCoordinate(int slot, int axis);  // axis 0..2 -> -1, 0 or +1
int MoveDirection(int32_t code);         // the turn direction code, or -1
bool MoveTurnsSlot(int32_t code, int slot);
int SlotAfterQuarterTurn(int slot, int direction);
int DirectionAfterQuarterTurn(int carried, int direction);
bool CubeIsSolved();  // the integer tables are in the solved state
