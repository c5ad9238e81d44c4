#include "cube/show.h"

#include <gtest/gtest.h>

#include <vector>

#include "cube/model.h"
#include "frame_counter.h"
#include "settings/settings.h"

namespace {

class ShowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShowForTesting();
    SaverSettings.Explode = 0;
    SeedShowRandom(0);
    ResetCube();
    FramesDrawn = 0;
    FrameObserver = nullptr;
  }
  void TearDown() override { FrameObserver = nullptr; }

  // Ticks until the show enters `state` from another one; returns the ticks taken.
  int TicksUntil(int32_t state, int limit = 1000) {
    for (int n = 1; n <= limit; ++n) {
      const int32_t before = ShowState;
      ShowTick(CountFrame);
      if (ShowState == state && before != state) return n;
    }
    return -1;
  }

  std::vector<int> History() { return std::vector<int>(MoveHistory, MoveHistory + kScrambleMoves); }
};

TEST_F(ShowTest, GeneratorSeededWithZeroGivesTheKnownDraws) {
  EXPECT_EQ(ShowRandomState, 0u);
  for (int want : {38, 7719, 21238, 2437, 8855}) EXPECT_EQ(NextShowRandom(), want);
  SeedShowRandom(0xFFFFFFFFu);
  for (int k = 0; k < 1000; ++k) {
    const int32_t v = NextShowRandom();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 32767);
  }
}

TEST_F(ShowTest, FirstTwoScramblesFromSeedZero) {
  EXPECT_EQ(TicksUntil(SHOW_PAUSE), 11);  // 10 ticks of waiting, then the scramble
  EXPECT_EQ(History(), (std::vector<int>{18, 13, 8, 15, 17, 8, 9, 14, 16, 16, 3, 21, 4, 21, 15,
                                         16, 2, 19, 14, 5, 14, 20, 1, 15, 3}));
  EXPECT_EQ(HistoryIndex, 24);
  EXPECT_EQ(CurrentMove, 9);  // the inverse of the last move, 3
  EXPECT_EQ(ShowCounter, 25);
  EXPECT_FALSE(CubeIsSolved());

  ASSERT_EQ(TicksUntil(SHOW_WAIT), 25 + 150);
  EXPECT_TRUE(CubeIsSolved());
  EXPECT_EQ(TicksUntil(SHOW_PAUSE), 26);  // every later wait is 25 ticks
  const std::vector<int> second = History();
  EXPECT_EQ(std::vector<int>(second.begin(), second.begin() + 5), (std::vector<int>{3, 1, 3, 3, 7}));
}

TEST_F(ShowTest, ScramblesNeverUndoTheMoveBefore) {
  bool saw_inverse_whole_cube_as_current = false;
  for (int show = 0; show < 200; ++show) {
    ASSERT_GT(TicksUntil(SHOW_PAUSE), 0);
    for (int k = 0; k < kScrambleMoves; ++k) {
      ASSERT_GE(MoveHistory[k], 1);
      ASSERT_LE(MoveHistory[k], 21);
      if (k > 0) { ASSERT_NE(MoveHistory[k], InverseMove[MoveHistory[k - 1]]); }
    }
    while (ShowState != SHOW_WAIT) {
      ShowTick(CountFrame);
      if (CurrentMove >= 22) saw_inverse_whole_cube_as_current = true;
    }
    ASSERT_TRUE(CubeIsSolved());
  }
  EXPECT_TRUE(saw_inverse_whole_cube_as_current);
}

TEST_F(ShowTest, ShowLengthsWithAndWithoutExplode) {
  ASSERT_EQ(TicksUntil(SHOW_WAIT), 10 + 1 + 25 + 150);  // first show, explode off
  EXPECT_EQ(TicksUntil(SHOW_WAIT), 201);
  SaverSettings.Explode = 1;
  EXPECT_EQ(TicksUntil(SHOW_WAIT), 312);
  EXPECT_EQ(TicksUntil(SHOW_WAIT), 312);
  EXPECT_EQ(FramesDrawn, 186 + 201 + 312 + 312);
}

TEST_F(ShowTest, ExplodeCounterRunsOutAndBack) {
  SaverSettings.Explode = 1;
  std::vector<int> exploding, imploding;
  int scramble_frames = 0;
  for (int n = 0; n < 312; ++n) {  // exactly the first show
    ShowTick(CountFrame);
    if (ShowState == SHOW_EXPLODE) exploding.push_back(ShowCounter);
    if (ShowState == SHOW_IMPLODE) imploding.push_back(ShowCounter);
    if (ShowState == SHOW_SCRAMBLE) ++scramble_frames;
    if (ShowState == SHOW_SOLVE) { EXPECT_EQ(ShowCounter, 0); }
  }
  ASSERT_EQ(exploding.size(), 74u);
  for (size_t k = 0; k < exploding.size(); ++k) EXPECT_EQ(exploding[k], 2 * static_cast<int>(k));
  ASSERT_EQ(imploding.size(), 37u);
  for (size_t k = 0; k < imploding.size(); ++k)
    EXPECT_EQ(imploding[k], 148 - 4 * static_cast<int>(k));
  EXPECT_EQ(scramble_frames, 1);  // only the tick that ends the explode shows it
}

TEST_F(ShowTest, WithoutExplodeTheCounterStaysSmall) {
  for (int n = 0; n < 1000; ++n) {
    ShowTick(CountFrame);
    EXPECT_LE(ShowCounter, 25);
    EXPECT_GE(ShowCounter, 0);
    if (ShowState == SHOW_SCRAMBLE) { EXPECT_EQ(ShowCounter, 0); }
  }
}

TEST_F(ShowTest, FrameSeesTheStateItsTickEntered) {
  static std::vector<int> states;
  states.clear();
  FrameObserver = [] { states.push_back(ShowState * 1000 + ShowCounter); };
  for (int n = 0; n < 11; ++n) ShowTick(CountFrame);
  ASSERT_EQ(states.size(), 11u);
  EXPECT_EQ(states[0], SHOW_WAIT * 1000 + 9);
  EXPECT_EQ(states[9], SHOW_SCRAMBLE * 1000 + 0);
  EXPECT_EQ(states[10], SHOW_PAUSE * 1000 + 25);  // scrambled, never seen as SCRAMBLE
}

TEST_F(ShowTest, SolveShowsFiveAnglesThenCommits) {
  ASSERT_GT(TicksUntil(SHOW_SOLVE), 0);
  const int first = CurrentMove;
  std::vector<int> angles;
  for (int n = 0; n < 6; ++n) {
    ShowTick(CountFrame);
    angles.push_back(TurnAngle);
    if (n < 5) {
      EXPECT_EQ(HistoryIndex, 24);
      EXPECT_EQ(CurrentMove, first);
    }
  }
  EXPECT_EQ(angles, (std::vector<int>{15, 30, 45, 60, 75, 0}));
  EXPECT_EQ(HistoryIndex, 23);
  EXPECT_EQ(CurrentMove, InverseMove[MoveHistory[23]]);
  for (int i = 0; i < kCubies; ++i) {
    for (int k = 0; k < 16; ++k) ASSERT_EQ(AnimatedMatrix[i].m[k], CommittedMatrix[i].m[k]);
  }
}

TEST_F(ShowTest, BusyTickNeitherStepsNorDraws) {
  TickBusy = 1;
  ShowTick(CountFrame);
  EXPECT_EQ(FramesDrawn, 0);
  EXPECT_EQ(ShowCounter, 10);
  TickBusy = 0;
  ShowTick(CountFrame);
  EXPECT_EQ(FramesDrawn, 1);
  EXPECT_EQ(ShowCounter, 9);
  EXPECT_EQ(TickBusy, 0);
}

TEST_F(ShowTest, CurrentMoveIsZeroOnlyBeforeTheFirstScramble) {
  for (int n = 0; n < 10; ++n) {
    ShowTick(CountFrame);
    EXPECT_EQ(CurrentMove, 0);
  }
  for (int n = 0; n < 600; ++n) {
    ShowTick(CountFrame);
    EXPECT_NE(CurrentMove, 0);
  }
}

}  // namespace
