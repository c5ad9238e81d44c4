#include "cube/model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "cube/show.h"
#include "model_invariants.h"

namespace {

// The whole model: its tables, and its matrices as floats.
struct Snapshot {
  int32_t tables[kCubies * (2 + 2 * kDirections)];
  float committed[kCubies * 16], animated[kCubies * 16];
  bool SameTables(const Snapshot& o) const { return !std::memcmp(tables, o.tables, sizeof tables); }
  bool Same(const Snapshot& o, float tolerance = 1e-5f) const {
    return SameTables(o) && Near(committed, o.committed, kCubies * 16, tolerance);
  }
};

Snapshot Take() {
  Snapshot s;
  int32_t* t = s.tables;
  for (const auto& [from, bytes] : {std::pair<const void*, size_t>{SlotTable, sizeof SlotTable},
                                    {HomeTable, sizeof HomeTable}, {AxisTable, sizeof AxisTable},
                                    {FacingTable, sizeof FacingTable}}) {
    std::memcpy(t, from, bytes);
    t += bytes / sizeof *t;
  }
  std::memcpy(s.committed, CommittedMatrix, sizeof s.committed);
  std::memcpy(s.animated, AnimatedMatrix, sizeof s.animated);
  return s;
}

class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShowForTesting();
    ResetCube();
  }
};

// Slots lie x fastest, then y down, then z back, and fly apart along their
// own positions.
TEST_F(ModelTest, SlotsAndTheirExplodeDirections) {
  const int at[][4] = {{0, -1, 1, 1}, {5, 1, 0, 1}, {13, 0, 0, 0}, {21, -1, 0, -1}, {26, 1, -1, -1}};
  for (const auto& a : at) {
    for (int k = 0; k < 3; ++k) EXPECT_EQ(SlotCoordinate(a[0], k), a[1 + k]) << a[0];
  }
  for (int s = 0; s < kCubies; ++s) {
    EXPECT_TRUE(ExplodeX[s] == SlotCoordinate(s, 0) && ExplodeY[s] == SlotCoordinate(s, 1) &&
                ExplodeZ[s] == SlotCoordinate(s, 2)) << s;
  }
}

// Every quarter turn's axis slot and cycles, a -> b meaning the cubie in a
// goes to b. (Their inverses, 7 to 12 and 16 to 18, undo them: below.)
TEST_F(ModelTest, LayerMovesFollowTheirCycles) {
  const int table[9][10] = {
      {1, 14, 2, 20, 26, 8, 5, 11, 23, 17},  {2, 4, 0, 2, 8, 6, 1, 5, 7, 3},
      {3, 10, 0, 18, 20, 2, 1, 9, 19, 11},   {4, 12, 0, 6, 24, 18, 3, 15, 21, 9},
      {5, 16, 6, 8, 26, 24, 7, 17, 25, 15},  {6, 22, 18, 24, 26, 20, 19, 21, 25, 23},
      {13, 13, 1, 19, 25, 7, 4, 10, 22, 16}, {14, 13, 9, 11, 17, 15, 10, 14, 16, 12},
      {15, 13, 3, 21, 23, 5, 4, 12, 22, 14}};
  for (const int* row : table) {
    const int code = *row++;
    ResetCube();
    ApplyMove(code, 1);
    int moved = 0;
    for (int i = 0; i < kCubies; ++i) moved += HomeTable[i] != i;
    EXPECT_TRUE(moved == 8 && HomeTable[row[0]] == row[0]) << code;
    for (int k = 0; k < 8; ++k) {
      EXPECT_EQ(HomeTable[row[1 + k]], row[1 + (k / 4) * 4 + (k + 1) % 4]) << code << ": " << row[1 + k];
    }
    EXPECT_EQ(BrokenModelInvariant(false), "") << code;
  }
}

// From a mixed state: a move and its inverse, and a move four times, give
// the state back; a whole-cube move is its three layer moves in any order.
TEST_F(ModelTest, MovesComposeAsTheCubeDoes) {
  for (int code : {3, 14, 20, 8, 11}) ApplyMove(code, 1);
  const Snapshot start = Take();
  for (int code = 1; code <= 24; ++code) {
    for (const std::vector<int>& moves : {std::vector<int>{code, InverseMove[code]}, std::vector<int>(4, code)}) {
      for (int m : moves) ApplyMove(m, 1);
      EXPECT_TRUE(start.Same(Take())) << code;
    }
  }
  const int parts[6][4] = {{19, 10, 13, 1}, {20, 2, 14, 12}, {21, 3, 15, 11},
                           {22, 4, 16, 7},  {23, 8, 17, 6},  {24, 9, 18, 5}};
  for (const auto& p : parts) {
    ResetCube();
    ApplyMove(7, 1);
    ApplyMove(p[0], 1);
    const Snapshot whole = Take();
    std::vector<int> order(p + 1, p + 4);
    std::sort(order.begin(), order.end());
    do {
      ResetCube();
      ApplyMove(7, 1);
      for (int code : order) ApplyMove(code, 1);
      EXPECT_TRUE(whole.Same(Take())) << p[0];
    } while (std::next_permutation(order.begin(), order.end()));
  }
}

// A shown turn changes only its layer's animated matrices, each time from
// the committed ones; shown at 90 degrees it is what the commit leaves.
TEST_F(ModelTest, ShownMovesTurnOnlyTheirLayerFromTheCommittedMatrices) {
  ApplyMove(2, 1);
  const Snapshot before = Take();
  for (int angle : {45, 60, 90}) {
    TurnAngle = angle;
    ApplyMove(3, 0);
    const Snapshot shown = Take();
    EXPECT_TRUE(before.Same(shown, 0));
    for (int i = 0; i < kCubies; ++i) {
      EXPECT_EQ(!Near(&shown.animated[i * 16], &before.animated[i * 16], 16, 0), MoveTurnsSlot(3, HomeTable[i])) << i;
    }
  }
  const Snapshot shown = Take();
  ApplyMove(3, 1);
  EXPECT_TRUE(Near(shown.animated, Take().committed, kCubies * 16));
  EXPECT_EQ(BrokenModelInvariant(false), "");
  // Codes outside the table turn nothing; committing one still ends a shown turn.
  TurnAngle = 30;
  ApplyMove(5, 0);
  const Snapshot turning = Take();
  for (int code : {0, 25, 100, -1}) {
    ApplyMove(code, 0);
    const Snapshot after = Take();
    EXPECT_TRUE(turning.SameTables(after) && Near(turning.animated, after.animated, kCubies * 16, 0)) << code;
  }
  ApplyMove(0, 1);
  const Snapshot ended = Take();
  EXPECT_TRUE(turning.SameTables(ended) && Near(ended.committed, ended.animated, kCubies * 16, 0));
}

// The model turns about axes of length 1 only; glRotatef's other rules: an
// axis of any length, and none at all (no turn).
TEST(MatrixTest, AnAxisOfAnyLengthOrNone) {
  CubieMatrix r, identity;
  RotationMatrix(120, 1, 1, 1, &r);
  const float y[3] = {0, 1, 0};  // where x goes
  EXPECT_TRUE(Near(r.m, y, 3));
  RotationMatrix(33, 0, 0, 0, &r);
  SetIdentity(&identity);
  EXPECT_TRUE(Near(r.m, identity.m, 16, 0));
}

}  // namespace
