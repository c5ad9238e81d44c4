#include "cube/show.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "alloc_counter.h"
#include "cube/model.h"
#include "model_invariants.h"
#include "settings/settings.h"

namespace {

// What the frame of each tick saw.
struct Seen {
  int32_t state, counter, angle, move, index;
};
std::vector<Seen> frames;
void Record() { frames.push_back({ShowState, ShowCounter, TurnAngle, CurrentMove, HistoryIndex}); }

// Runs shows from seed 0: the first two without the explode, two with it.
class ShowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShowForTesting();
    SeedShowRandom(0);
    ResetCube();
    frames.clear();
  }
  // Ticks until `state` is entered anew; the ticks taken, -1 past `limit`.
  static int Until(int32_t state, int limit = 1000) {
    for (int n = 1; n <= limit; ++n) {
      const int32_t before = ShowState;
      ShowTick(Record);
      if (ShowState == state && before != state) return n;
    }
    return -1;
  }
  static std::vector<int> History() { return std::vector<int>(MoveHistory, MoveHistory + kScrambleMoves); }
};

TEST_F(ShowTest, TheFirstShowsFromSeedZero) {
  SaverSettings.Explode = 0;
  EXPECT_EQ(Until(SHOW_PAUSE), 11);  // ten ticks of waiting, then the scramble
  EXPECT_EQ(History(), (std::vector<int>{18, 13, 8, 15, 17, 8, 9, 14, 16, 16, 3, 21, 4, 21, 15,
                                         16, 2, 19, 14, 5, 14, 20, 1, 15, 3}));
  EXPECT_EQ(frames[9].state, SHOW_SCRAMBLE);  // the frame sees the state its tick entered
  EXPECT_EQ(frames[9].counter, 0);
  EXPECT_EQ(frames[10].state, SHOW_PAUSE);  // never the scrambled cube as SCRAMBLE
  EXPECT_TRUE(frames[10].counter == 25 && frames[10].index == 24 && frames[10].move == 9);
  EXPECT_FALSE(CubeIsSolved());
  ASSERT_EQ(Until(SHOW_WAIT), 25 + 150);
  EXPECT_TRUE(CubeIsSolved());
  // The solve: five angles and the commit for each turn, the last move first.
  std::vector<int> angles;
  for (size_t k = 11 + 25; k < 11 + 25 + 6; ++k) angles.push_back(frames[k].angle);
  EXPECT_EQ(angles, (std::vector<int>{15, 30, 45, 60, 75, 0}));
  EXPECT_EQ(frames[11 + 25 + 5].index, 23);
  EXPECT_EQ(frames[11 + 25 + 5].move, InverseMove[MoveHistory[23]]);
  EXPECT_EQ(Until(SHOW_PAUSE), 26);  // every later wait is 25 ticks
  EXPECT_EQ(std::vector<int>(MoveHistory, MoveHistory + 5), (std::vector<int>{3, 1, 3, 3, 7}));
  for (const Seen& s : frames) ASSERT_TRUE(s.counter >= 0 && s.counter <= 25) << s.state;
}

TEST_F(ShowTest, ShowLengthsAndTheExplodeCounter) {
  SaverSettings.Explode = 1;
  EXPECT_EQ(Until(SHOW_WAIT), 297);
  frames.clear();
  EXPECT_EQ(Until(SHOW_WAIT), 312);
  std::vector<int> out, back;
  int scramble_frames = 0;
  for (size_t k = 0; k < 312; ++k) {
    const Seen& s = frames[k];
    if (s.state == SHOW_EXPLODE) out.push_back(s.counter);
    if (s.state == SHOW_IMPLODE) back.push_back(s.counter);
    scramble_frames += s.state == SHOW_SCRAMBLE;
    EXPECT_TRUE(s.state != SHOW_SOLVE || s.counter == 0);
  }
  ASSERT_EQ(out.size(), 74u);
  ASSERT_EQ(back.size(), 37u);
  for (int k = 0; k < 74; ++k) EXPECT_EQ(out[k], 2 * k);
  for (int k = 0; k < 37; ++k) EXPECT_EQ(back[k], 148 - 4 * k);
  EXPECT_EQ(scramble_frames, 1);  // only the tick that ends the explode shows it
}

// A tick that comes while another runs (here from its frame) neither steps
// nor draws; a tick with nothing to draw with still steps.
TEST_F(ShowTest, ATickInsideATickNeitherStepsNorDraws) {
  ShowTick([] {
    Record();
    ShowTick(Record);
  });
  EXPECT_TRUE(frames.size() == 1 && ShowCounter == 9);
  ShowTick(nullptr);
  EXPECT_EQ(ShowCounter, 8);
}

// The soak: a million ticks (QUARLO_SOAK_TICKS for scripts/soak.sh's long
// run), the second half with the explode: nothing allocated after set-up, a
// frame for every tick, no scramble undoing the move before, and the cube
// solved, with every invariant of the model, at the end of every show.
long soak_frames = 0;
TEST_F(ShowTest, SoakAllocatesNothingAndEveryShowEndsSolved) {
  const char* asked = std::getenv("QUARLO_SOAK_TICKS");
  const long ticks = asked ? std::atol(asked) : 1000000;
  ASSERT_GT(ticks, 0) << "QUARLO_SOAK_TICKS=" << asked;
  long shows = 0;
  soak_frames = 0;
  bool inverse_whole_cube_seen = false;
  const long before = AllocationCount();
  for (long tick = 0; tick < ticks; ++tick) {
    SaverSettings.Explode = tick >= ticks / 2;
    const int32_t state = ShowState;
    ShowTick([] { ++soak_frames; });
    inverse_whole_cube_seen |= CurrentMove >= 22;
    for (int k = 0; state != SHOW_PAUSE && ShowState == SHOW_PAUSE && k < kScrambleMoves; ++k) {
      ASSERT_TRUE(MoveHistory[k] >= 1 && MoveHistory[k] <= 21) << int(MoveHistory[k]);
      ASSERT_TRUE(k == 0 || MoveHistory[k] != InverseMove[MoveHistory[k - 1]]) << tick << ": " << k;
    }
    if (state != SHOW_SOLVE || ShowState != SHOW_WAIT) continue;
    ++shows;
    ASSERT_TRUE(CubeIsSolved()) << tick;
    ASSERT_EQ(BrokenModelInvariant(false), "") << tick;
  }
  EXPECT_EQ(AllocationCount() - before, 0);
  EXPECT_EQ(soak_frames, ticks);
  EXPECT_TRUE(inverse_whole_cube_seen || ticks < 100000);  // 22..24 come only as inverses
  EXPECT_GT(shows, ticks / 2 / 201 + ticks / 2 / 312 - 3);  // 201 ticks a show, 312 with the explode
}

}  // namespace
