#include "cube/model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "cube/show.h"
#include "model_invariants.h"

namespace {

struct Snapshot {
  int32_t slot[kCubies], home[kCubies], axis[kCubies][kDirections], facing[kCubies][kDirections];
  CubieMatrix committed[kCubies], animated[kCubies];
};

Snapshot Take() {
  Snapshot s;
  std::memcpy(s.slot, SlotTable, sizeof s.slot);
  std::memcpy(s.home, HomeTable, sizeof s.home);
  std::memcpy(s.axis, AxisTable, sizeof s.axis);
  std::memcpy(s.facing, FacingTable, sizeof s.facing);
  std::memcpy(s.committed, CommittedMatrix, sizeof s.committed);
  std::memcpy(s.animated, AnimatedMatrix, sizeof s.animated);
  return s;
}

bool SameTables(const Snapshot& a, const Snapshot& b) {
  return std::memcmp(a.slot, b.slot, sizeof a.slot) == 0 &&
         std::memcmp(a.home, b.home, sizeof a.home) == 0 &&
         std::memcmp(a.axis, b.axis, sizeof a.axis) == 0 &&
         std::memcmp(a.facing, b.facing, sizeof a.facing) == 0;
}

void ExpectNear(const CubieMatrix& a, const CubieMatrix& b, float tolerance = 1e-5f) {
  for (int k = 0; k < 16; ++k) EXPECT_NEAR(a.m[k], b.m[k], tolerance) << "element " << k;
}

bool Equal(const CubieMatrix& a, const CubieMatrix& b) {
  return std::memcmp(a.m, b.m, sizeof a.m) == 0;
}

void Transform(const CubieMatrix& m, const float v[3], float out[3]) {
  for (int row = 0; row < 3; ++row)
    out[row] = m.m[row] * v[0] + m.m[4 + row] * v[1] + m.m[8 + row] * v[2] + m.m[12 + row];
}

class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShowForTesting();
    ResetCube();
  }
};

TEST_F(ModelTest, SlotPositionsFollowTheGrid) {
  const int expected[][4] = {{0, -1, 1, 1},  {2, 1, 1, 1},   {6, -1, -1, 1}, {8, 1, -1, 1},
                             {13, 0, 0, 0},  {18, -1, 1, -1}, {20, 1, 1, -1}, {26, 1, -1, -1}};
  for (const auto& e : expected) {
    EXPECT_EQ(SlotCoordinate(e[0], 0), e[1]);
    EXPECT_EQ(SlotCoordinate(e[0], 1), e[2]);
    EXPECT_EQ(SlotCoordinate(e[0], 2), e[3]);
    EXPECT_EQ(ExplodeX[e[0]], e[1]);
    EXPECT_EQ(ExplodeY[e[0]], e[2]);
    EXPECT_EQ(ExplodeZ[e[0]], e[3]);
  }
}

TEST_F(ModelTest, WorkedExampleOfMoveOne) {
  ApplyMove(1, 1);
  const int home[][2] = {{2, 20}, {20, 26}, {26, 8}, {8, 2}, {5, 11}, {11, 23}, {23, 17}, {17, 5}};
  for (const auto& h : home) EXPECT_EQ(HomeTable[h[0]], h[1]) << "cubie " << h[0];
  const int slot[][2] = {{20, 2}, {26, 20}, {8, 26}, {2, 8}, {11, 5}, {23, 11}, {17, 23}, {5, 17}};
  for (const auto& s : slot) EXPECT_EQ(SlotTable[s[0]], s[1]) << "slot " << s[0];
  for (int i = 0; i < kCubies; ++i) {
    if (!MoveTurnsSlot(1, i) || i == 14) { EXPECT_EQ(HomeTable[i], i); }
  }
  const int facing[6] = {0, 5, 1, 3, 2, 4}, axis[6] = {0, 2, 4, 3, 5, 1};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(FacingTable[2][k], facing[k]);
    EXPECT_EQ(AxisTable[2][k], axis[k]);
    EXPECT_EQ(FacingTable[14][k], facing[k]);
    EXPECT_EQ(AxisTable[14][k], axis[k]);
  }
  EXPECT_EQ(HomeTable[14], 14);
  const CubieMatrix want = {{1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1}};
  ExpectNear(CommittedMatrix[2], want);
  ExpectNear(AnimatedMatrix[2], want);
}

// The cycles of every layer move: a -> b means the cubie in a moves to b.
TEST_F(ModelTest, LayerMovesFollowTheirCycles) {
  const int table[18][9] = {
      {14, 2, 20, 26, 8, 5, 11, 23, 17},  {4, 0, 2, 8, 6, 1, 5, 7, 3},
      {10, 0, 18, 20, 2, 1, 9, 19, 11},   {12, 0, 6, 24, 18, 3, 15, 21, 9},
      {16, 6, 8, 26, 24, 7, 17, 25, 15},  {22, 18, 24, 26, 20, 19, 21, 25, 23},
      {14, 2, 8, 26, 20, 5, 17, 23, 11},  {4, 0, 6, 8, 2, 1, 3, 7, 5},
      {10, 0, 2, 20, 18, 1, 11, 19, 9},   {12, 0, 18, 24, 6, 3, 9, 21, 15},
      {16, 6, 24, 26, 8, 7, 15, 25, 17},  {22, 18, 20, 26, 24, 19, 23, 25, 21},
      {13, 1, 19, 25, 7, 4, 10, 22, 16},  {13, 9, 11, 17, 15, 10, 14, 16, 12},
      {13, 3, 21, 23, 5, 4, 12, 22, 14},  {13, 1, 7, 25, 19, 4, 16, 22, 10},
      {13, 9, 15, 17, 11, 10, 12, 16, 14}, {13, 3, 5, 23, 21, 4, 14, 22, 12}};
  for (int code = 1; code <= 18; ++code) {
    SCOPED_TRACE(code);
    ResetCube();
    ApplyMove(code, 1);
    const int* row = table[code - 1];
    EXPECT_EQ(HomeTable[row[0]], row[0]);
    for (int c = 0; c < 2; ++c) {
      for (int k = 0; k < 4; ++k) {
        const int from = row[1 + 4 * c + k], to = row[1 + 4 * c + (k + 1) % 4];
        EXPECT_EQ(HomeTable[from], to) << from << " -> " << to;
      }
    }
    int moved = 0;
    for (int i = 0; i < kCubies; ++i) moved += HomeTable[i] != i;
    EXPECT_EQ(moved, 8);
    EXPECT_EQ(BrokenModelInvariant(false), "");
  }
}

TEST_F(ModelTest, InverseAndFourfoldMovesRestoreTheModel) {
  // Start from a mixed state so the checks do not lean on the identity.
  for (int code : {3, 14, 20, 8, 11}) ApplyMove(code, 1);
  const Snapshot start = Take();
  for (int code = 1; code <= 24; ++code) {
    SCOPED_TRACE(code);
    ApplyMove(code, 1);
    EXPECT_FALSE(SameTables(start, Take()));
    ApplyMove(InverseMove[code], 1);
    EXPECT_TRUE(SameTables(start, Take()));
    for (int i = 0; i < kCubies; ++i) ExpectNear(CommittedMatrix[i], start.committed[i]);
    for (int k = 0; k < 4; ++k) ApplyMove(code, 1);
    EXPECT_TRUE(SameTables(start, Take()));
    for (int i = 0; i < kCubies; ++i) ExpectNear(CommittedMatrix[i], start.committed[i]);
  }
}

TEST_F(ModelTest, InverseTableTurnsTheSameSlotsTheOtherWay) {
  EXPECT_EQ(InverseMove[0], 0);
  for (int code = 1; code <= 24; ++code) {
    const int inverse = InverseMove[code];
    EXPECT_EQ(InverseMove[inverse], code);
    EXPECT_EQ(MoveDirection(inverse), (MoveDirection(code) + 3) % 6);
    for (int s = 0; s < kCubies; ++s) EXPECT_EQ(MoveTurnsSlot(code, s), MoveTurnsSlot(inverse, s));
  }
}

TEST_F(ModelTest, WholeCubeMovesEqualTheirThreeLayerMoves) {
  const int parts[6][4] = {{19, 10, 13, 1}, {20, 2, 14, 12}, {21, 3, 15, 11},
                           {22, 4, 16, 7},  {23, 8, 17, 6},  {24, 9, 18, 5}};
  for (const auto& p : parts) {
    SCOPED_TRACE(p[0]);
    ResetCube();
    ApplyMove(7, 1);  // off the solved state
    ApplyMove(p[0], 1);
    const Snapshot whole = Take();
    std::vector<int> order = {p[1], p[2], p[3]};
    std::sort(order.begin(), order.end());
    do {
      ResetCube();
      ApplyMove(7, 1);
      for (int code : order) ApplyMove(code, 1);
      EXPECT_TRUE(SameTables(whole, Take()));
      for (int i = 0; i < kCubies; ++i) ExpectNear(CommittedMatrix[i], whole.committed[i]);
    } while (std::next_permutation(order.begin(), order.end()));
  }
}

TEST_F(ModelTest, AnySequenceKeepsTheInvariants) {
  uint32_t state = 12345;
  for (int k = 0; k < 500; ++k) {
    state = state * 1664525u + 1013904223u;
    ApplyMove(1 + static_cast<int>((state >> 8) % 24), 1);
  }
  EXPECT_EQ(BrokenModelInvariant(false), "");
  ResetCube();
  ApplyMove(1, 1);
  EXPECT_EQ(HomeTable[14], 14);  // a face centre keeps its slot under its own face
  EXPECT_NE(FacingTable[14][1], 1);
}

TEST_F(ModelTest, ShownMovesStartFromTheCommittedMatrices) {
  ApplyMove(2, 1);
  const Snapshot before = Take();
  TurnAngle = 45;
  ApplyMove(3, 0);
  EXPECT_TRUE(SameTables(before, Take()));
  int changed = 0;
  for (int i = 0; i < kCubies; ++i) {
    EXPECT_TRUE(Equal(CommittedMatrix[i], before.committed[i]));
    const bool in_layer = MoveTurnsSlot(3, HomeTable[i]);
    EXPECT_EQ(!Equal(AnimatedMatrix[i], before.animated[i]), in_layer) << "cubie " << i;
    changed += in_layer;
  }
  EXPECT_EQ(changed, 9);

  TurnAngle = 60;
  ApplyMove(3, 0);
  const int cubie = SlotTable[0];  // in the top layer
  CubieMatrix rotation, want;
  const int a = AxisTable[cubie][MoveDirection(3)];
  RotationMatrix(60.0f, a == 0 ? 1.f : a == 3 ? -1.f : 0.f, a == 1 ? 1.f : a == 4 ? -1.f : 0.f,
                 a == 2 ? 1.f : a == 5 ? -1.f : 0.f, &rotation);
  MultiplyMatrix(CommittedMatrix[cubie], rotation, &want);
  ExpectNear(AnimatedMatrix[cubie], want, 1e-6f);

  ApplyMove(3, 1);
  for (int i = 0; i < kCubies; ++i) EXPECT_TRUE(Equal(AnimatedMatrix[i], CommittedMatrix[i]));
}

TEST_F(ModelTest, CodesOutsideTheTableTurnNothing) {
  ApplyMove(5, 1);
  TurnAngle = 30;
  ApplyMove(5, 0);
  const Snapshot shown = Take();
  for (int code : {0, 25, 100, -1}) {
    ApplyMove(code, 0);
    EXPECT_TRUE(SameTables(shown, Take()));
    for (int i = 0; i < kCubies; ++i) EXPECT_TRUE(Equal(AnimatedMatrix[i], shown.animated[i]));
  }
  ApplyMove(0, 1);
  EXPECT_TRUE(SameTables(shown, Take()));
  for (int i = 0; i < kCubies; ++i) EXPECT_TRUE(Equal(AnimatedMatrix[i], CommittedMatrix[i]));
}

TEST(MatrixTest, RotationFollowsTheRightHandRule) {
  CubieMatrix r;
  RotationMatrix(90.0f, 0, 0, 1, &r);  // +x onto +y
  const float x[3] = {1, 0, 0};
  float y[3];
  Transform(r, x, y);
  EXPECT_NEAR(y[0], 0, 1e-6);
  EXPECT_NEAR(y[1], 1, 1e-6);
  RotationMatrix(120.0f, 1, 1, 1, &r);  // cycles the axes, axis need not be unit length
  Transform(r, x, y);
  EXPECT_NEAR(y[0], 0, 1e-6);
  EXPECT_NEAR(y[1], 1, 1e-6);
  EXPECT_NEAR(y[2], 0, 1e-6);
  RotationMatrix(33.0f, 0, 0, 0, &r);  // a null axis leaves the identity
  CubieMatrix identity;
  SetIdentity(&identity);
  EXPECT_TRUE(Equal(r, identity));
}

TEST(MatrixTest, ProductAppliesTheRightFactorFirst) {
  CubieMatrix a, b, ab;
  RotationMatrix(90.0f, 0, 0, 1, &a);
  RotationMatrix(90.0f, 1, 0, 0, &b);
  MultiplyMatrix(a, b, &ab);
  const float y[3] = {0, 1, 0};
  float out[3];
  Transform(ab, y, out);  // b: +y -> +z, then a leaves +z
  EXPECT_NEAR(out[2], 1, 1e-6);
  MultiplyMatrix(a, b, &a);  // output may alias an input
  EXPECT_TRUE(Equal(a, ab));
}

}  // namespace
