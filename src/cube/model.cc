#include "cube/model.h"

#include "cube/show.h"

int32_t SlotTable[kCubies];
int32_t HomeTable[kCubies];
int32_t AxisTable[kCubies][kDirections];
int32_t FacingTable[kCubies][kDirections];
CubieMatrix CommittedMatrix[kCubies];
CubieMatrix AnimatedMatrix[kCubies];

#define X3(a, b, c) a, b, c
const float ExplodeX[kCubies] = {X3(-1, 0, 1), X3(-1, 0, 1), X3(-1, 0, 1),
                                 X3(-1, 0, 1), X3(-1, 0, 1), X3(-1, 0, 1),
                                 X3(-1, 0, 1), X3(-1, 0, 1), X3(-1, 0, 1)};
const float ExplodeY[kCubies] = {X3(1, 1, 1), X3(0, 0, 0), X3(-1, -1, -1),
                                 X3(1, 1, 1), X3(0, 0, 0), X3(-1, -1, -1),
                                 X3(1, 1, 1), X3(0, 0, 0), X3(-1, -1, -1)};
const float ExplodeZ[kCubies] = {X3(1, 1, 1), X3(1, 1, 1), X3(1, 1, 1),
                                 X3(0, 0, 0), X3(0, 0, 0), X3(0, 0, 0),
                                 X3(-1, -1, -1), X3(-1, -1, -1), X3(-1, -1, -1)};
#undef X3

const int8_t InverseMove[kMoveCodes] = {0,  7,  8,  9,  10, 11, 12, 1,  2,
                                        3,  4,  5,  6,  16, 17, 18, 13, 14,
                                        15, 22, 23, 24, 19, 20, 21};

namespace {

enum { kWholeCube = -1 };

// Which layer a move turns (the axis it lies across and its coordinate on
// that axis, or the whole cube) and its turn direction code.
struct MoveSpec {
  int8_t axis;
  int8_t coordinate;
  int8_t direction;
};

// Direction codes: 0..5 = +x, +y, +z, -x, -y, -z.
const MoveSpec kMoves[kMoveCodes] = {
    {0, 0, 0},                                                   // 0: no move
    {0, 1, 3},  {2, 1, 5},  {1, 1, 4},  {0, -1, 0}, {1, -1, 1},  // 1..5
    {2, -1, 2}, {0, 1, 0},  {2, 1, 2},  {1, 1, 1},  {0, -1, 3},  // 6..10
    {1, -1, 4}, {2, -1, 5}, {0, 0, 3},  {2, 0, 5},  {1, 0, 4},   // 11..15
    {0, 0, 0},  {2, 0, 2},  {1, 0, 1},                           // 16..18
    {kWholeCube, 0, 3}, {kWholeCube, 0, 5}, {kWholeCube, 0, 4},  // 19..21
    {kWholeCube, 0, 0}, {kWholeCube, 0, 2}, {kWholeCube, 0, 1},  // 22..24
};

void DirectionVector(int direction, int v[3]) {
  v[0] = v[1] = v[2] = 0;
  v[direction % 3] = direction < 3 ? 1 : -1;
}

int DirectionCode(const int v[3]) {
  for (int axis = 0; axis < 3; ++axis) {
    if (v[axis] > 0) return axis;
    if (v[axis] < 0) return axis + 3;
  }
  return -1;
}

// v turned by +90 degrees about direction d (right-hand rule): for a unit
// axis d that is (d.v) d + d x v.
void QuarterTurn(int direction, const int v[3], int out[3]) {
  int d[3];
  DirectionVector(direction, d);
  const int dot = d[0] * v[0] + d[1] * v[1] + d[2] * v[2];
  out[0] = dot * d[0] + d[1] * v[2] - d[2] * v[1];
  out[1] = dot * d[1] + d[2] * v[0] - d[0] * v[2];
  out[2] = dot * d[2] + d[0] * v[1] - d[1] * v[0];
}

void RebuildAxisRow(int32_t cubie) {
  for (int k = 0; k < kDirections; ++k) AxisTable[cubie][FacingTable[cubie][k]] = k;
}

}  // namespace

int SlotCoordinate(int slot, int axis) {
  switch (axis) {
    case 0: return slot % 3 - 1;
    case 1: return 1 - (slot / 3) % 3;
    default: return 1 - slot / 9;
  }
}

int MoveDirection(int32_t code) {
  if (code < 1 || code >= kMoveCodes) return -1;
  return kMoves[code].direction;
}

bool MoveTurnsSlot(int32_t code, int slot) {
  if (code < 1 || code >= kMoveCodes) return false;
  const MoveSpec& move = kMoves[code];
  return move.axis == kWholeCube || SlotCoordinate(slot, move.axis) == move.coordinate;
}

int SlotAfterQuarterTurn(int slot, int direction) {
  const int p[3] = {SlotCoordinate(slot, 0), SlotCoordinate(slot, 1), SlotCoordinate(slot, 2)};
  int q[3];
  QuarterTurn(direction, p, q);
  return (q[0] + 1) + 3 * (1 - q[1]) + 9 * (1 - q[2]);
}

int DirectionAfterQuarterTurn(int carried, int direction) {
  int v[3], out[3];
  DirectionVector(carried, v);
  QuarterTurn(direction, v, out);
  return DirectionCode(out);
}

bool CubeIsSolved() {
  for (int i = 0; i < kCubies; ++i) {
    if (SlotTable[i] != i || HomeTable[i] != i) return false;
    for (int d = 0; d < kDirections; ++d) {
      if (AxisTable[i][d] != d || FacingTable[i][d] != d) return false;
    }
  }
  return true;
}

void ResetCube() {
  for (int i = 0; i < kCubies; ++i) {
    SlotTable[i] = i;
    HomeTable[i] = i;
    for (int d = 0; d < kDirections; ++d) {
      AxisTable[i][d] = d;
      FacingTable[i][d] = d;
    }
    SetIdentity(&CommittedMatrix[i]);
    AnimatedMatrix[i] = CommittedMatrix[i];
  }
}

void TurnCubie(int32_t direction, int32_t cubie, int32_t commit) {
  if (direction < 0 || direction >= kDirections || cubie < 0 || cubie >= kCubies) return;
  const int32_t own_axis = AxisTable[cubie][direction];
  const float angle = commit ? 90.0f : static_cast<float>(TurnAngle);
  int v[3];
  DirectionVector(own_axis, v);
  CubieMatrix rotation;
  RotationMatrix(angle, static_cast<float>(v[0]), static_cast<float>(v[1]),
                 static_cast<float>(v[2]), &rotation);
  if (!commit) {
    MultiplyMatrix(CommittedMatrix[cubie], rotation, &AnimatedMatrix[cubie]);
    return;
  }
  MultiplyMatrix(CommittedMatrix[cubie], rotation, &CommittedMatrix[cubie]);
  for (int k = 0; k < kDirections; ++k) {
    FacingTable[cubie][k] = DirectionAfterQuarterTurn(FacingTable[cubie][k], direction);
  }
  RebuildAxisRow(cubie);
}

void ApplyMove(int32_t code, int32_t commit) {
  const int direction = MoveDirection(code);
  if (direction >= 0) {
    // Every cubie is looked up where it stood before the move.
    for (int s = 0; s < kCubies; ++s) {
      if (MoveTurnsSlot(code, s)) TurnCubie(direction, SlotTable[s], commit);
    }
    if (commit) {
      for (int s = 0; s < kCubies; ++s) {
        if (MoveTurnsSlot(code, s)) HomeTable[SlotTable[s]] = SlotAfterQuarterTurn(s, direction);
      }
    }
  }
  for (int i = 0; i < kCubies; ++i) SlotTable[HomeTable[i]] = i;
  if (commit) {
    for (int i = 0; i < kCubies; ++i) AnimatedMatrix[i] = CommittedMatrix[i];
  }
}
