// Frames drawn through a real (headless, Mesa) OpenGL context, checked
// pixel by pixel at points projected with the same camera the frame uses.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include <EGL/egl.h>

#include "alloc_counter.h"
#include "bmp_builder.h"
#include "cube/matrix.h"
#include "cube/model.h"
#include "cube/show.h"
#include "render/bitmap.h"
#include "render/cubies.h"
#include "render/damage.h"
#include "render/dib_decode.h"
#include "render/frame.h"
#include "render/gl_context.h"
#include "render/gl_context_egl.h"
#include "render/textures.h"
#include "settings/settings.h"

extern const uint8_t LogoResource[];
extern const size_t LogoResourceSize;

namespace {

using Rgb = uint32_t;  // 0xRRGGBB

const Rgb kBlue = 0x0000FF, kRed = 0xFF0000, kYellow = 0xFFFF00, kGreen = 0x00FF00,
          kWhite = 0xFFFFFF;
const Rgb kClear = 0x008080;  // (0, 0.5, 0.5)

std::set<Rgb> LogoColours() {
  std::set<Rgb> colours;
  PackedBitmap* logo = LoadBitmapMemory(LogoResource, LogoResourceSize);
  std::vector<uint8_t> px(DecodedBytes(logo));
  DecodePackedBitmap(logo, px.data());
  for (size_t i = 0; i < px.size(); i += 4) colours.insert(Rgb{px[i + 2]} << 16 | px[i + 1] << 8 | px[i]);
  FreePackedBitmap(logo);
  return colours;
}

class FrameTest : public ::testing::Test {
 protected:
  void Start(int w, int h, int displacement = 60, const char* texture = nullptr) {
    ResetShowForTesting();
    SaverSettings = SaverSettingsRecord{0, 0, displacement, ""};
    if (texture) {
      SaverSettings.Surface = 1;
      for (int p = 0; p < 9; ++p) {
        PendingBitmap = LoadBitmapFile(texture);
        ASSERT_NE(PendingBitmap, nullptr);
        MakeFrontTexture(p);
      }
    }
    ASSERT_TRUE(CreateHeadlessContext(w, h));
    PendingBitmap = LoadBitmapMemory(LogoResource, LogoResourceSize);
    ASSERT_EQ(MakeLogoTexture(), 1);
    BuildCubieLists();
    SeedShowRandom(0);
    SetProjection(ClientWidth, ClientHeight);
    width_ = w;
    height_ = h;
    pixels_.assign(size_t(w) * h * 4, 0);
  }
  void TearDown() override {
    DeleteCubieLists();
    FreeTextures();
    DestroyHeadlessContext();
  }
  void Draw() {
    DrawFrame();
    ReadFramePixels(pixels_.data());
  }
  void Tick(int n) {
    for (int k = 0; k < n; ++k) ShowTick(DrawFrame);
    ReadFramePixels(pixels_.data());
  }
  Rgb At(int x, int y) const {
    const uint8_t* p = &pixels_[(size_t(y) * width_ + x) * 4];
    return Rgb{p[0]} << 16 | p[1] << 8 | p[2];
  }
  // The pixel where a point of the cube frame lands, with an explode offset
  // and spin of counter n applied as the frame applies them.
  Rgb AtCubePoint(float x, float y, float z, int n = 0, const float* offset = nullptr) const {
    CubieMatrix m, r;
    SetIdentity(&m);
    m.m[14] = -static_cast<float>(SaverSettings.Displacement);
    RotationMatrix(20, 1, 0, 0, &r);
    MultiplyMatrix(m, r, &m);
    RotationMatrix(20, 0, -1, 0, &r);
    MultiplyMatrix(m, r, &m);
    if (offset) {
      CubieMatrix t;
      SetIdentity(&t);
      t.m[12] = offset[0];
      t.m[13] = offset[1];
      t.m[14] = offset[2];
      MultiplyMatrix(m, t, &m);
    }
    if (n) {
      RotationMatrix(2.0f * n, 1, 0, 0, &r);
      MultiplyMatrix(m, r, &m);
      RotationMatrix(2.0f * n, 0, -1, 0, &r);
      MultiplyMatrix(m, r, &m);
    }
    const float ex = m.m[0] * x + m.m[4] * y + m.m[8] * z + m.m[12];
    const float ey = m.m[1] * x + m.m[5] * y + m.m[9] * z + m.m[13];
    const float ez = m.m[2] * x + m.m[6] * y + m.m[10] * z + m.m[14];
    const double f = 1 / std::tan(15 * M_PI / 180), aspect = double(width_) / height_;
    const double nx = f / aspect * ex / -ez, ny = f * ey / -ez;
    return At(static_cast<int>((nx + 1) / 2 * width_), static_cast<int>((1 - ny) / 2 * height_));
  }
  int Count(bool (*pred)(Rgb)) const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) n += pred(At(x, y));
    return n;
  }

  int width_ = 0, height_ = 0;
  std::vector<uint8_t> pixels_;
};

TEST_F(FrameTest, SolvedCubeShowsItsFacesInTheirColours) {
  Start(320, 240);
  Draw();
  EXPECT_EQ(AtCubePoint(0, 0, 3.2f), kBlue);  // front, cubie 4
  EXPECT_EQ(AtCubePoint(-2.2f, 2.2f, 3.2f), kBlue);
  EXPECT_EQ(AtCubePoint(0, 3.2f, 0), kRed);     // top
  EXPECT_EQ(AtCubePoint(3.2f, 0, 0), kYellow);  // right
  EXPECT_EQ(AtCubePoint(2.2f, -2.2f, -2.2f - 0.5f), kYellow);
  // Seen from this side, neither left, bottom nor back shows anywhere.
  EXPECT_EQ(Count([](Rgb c) { return c == kGreen || c == 0xFF00FF || c == 0x00FFFF; }), 0);
}

TEST_F(FrameTest, LogoTileFillsTheBackgroundOfA4To3Window) {
  Start(320, 240, 70);
  Draw();
  const std::set<Rgb> logo = LogoColours();
  ASSERT_GE(logo.size(), 8u);
  std::set<Rgb> seen;
  for (int y = 0; y < 240; y += 3)
    for (int x = 0; x < 320; x += 3) {
      const Rgb c = At(x, y);
      ASSERT_NE(c, kClear) << x << "," << y;
      if (logo.count(c)) seen.insert(c);
    }
  EXPECT_GE(seen.size(), logo.size() - 2);  // nearly all of the tile's colours appear
  EXPECT_TRUE(logo.count(At(2, 2)) && logo.count(At(317, 237)));
}

TEST_F(FrameTest, WideWindowShowsTheClearColourAtItsSides) {
  Start(480, 160, 70);  // 3 : 1
  Draw();
  EXPECT_EQ(At(2, 80), kClear);
  EXPECT_EQ(At(477, 80), kClear);
  EXPECT_NE(At(120, 80), kClear);
  EXPECT_EQ(AtCubePoint(0, 0, 3.2f), kBlue);
}

TEST_F(FrameTest, PictureLiesUprightAndUnmirroredOnTheFront) {
  // Quadrants: red top left, green top right, blue bottom left, white bottom right.
  BmpSpec s;
  s.width = 60;
  s.height = 60;
  s.pixels.assign(60 * 60 * 3, 0);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) {
      const Rgb c = y >= 30 ? (x < 30 ? kRed : kGreen) : (x < 30 ? kBlue : kWhite);  // y from the bottom
      uint8_t* p = &s.pixels[(y * 60 + x) * 3];
      p[0] = c & 0xFF;
      p[1] = (c >> 8) & 0xFF;
      p[2] = c >> 16;
    }
  const std::string path = WriteTempFile("quadrants.bmp", BuildBmp(s));
  Start(320, 240, 60, path.c_str());
  Draw();
  EXPECT_EQ(AtCubePoint(-2.2f, 2.2f, 3.2f), kRed);
  EXPECT_EQ(AtCubePoint(2.2f, 2.2f, 3.2f), kGreen);
  EXPECT_EQ(AtCubePoint(-2.2f, -2.2f, 3.2f), kBlue);
  EXPECT_EQ(AtCubePoint(2.2f, -2.2f, 3.2f), kWhite);
  EXPECT_EQ(AtCubePoint(0, 3.2f, 0), kRed);  // the top face keeps its colour
}

TEST_F(FrameTest, TurningLayerShowsGreyInsideFaces) {
  Start(320, 240, 30);
  Draw();
  const std::vector<uint8_t> solved = pixels_;
  Tick(39);  // the first solving turn, halfway
  ASSERT_EQ(ShowState, SHOW_SOLVE);
  ASSERT_EQ(TurnAngle, 45);
  // Grey appears where the solved cube showed no grey: the inside faces
  // of the layers beside the turning one.
  int newly_grey = 0;
  for (size_t i = 0; i < pixels_.size(); i += 4) {
    const bool was = solved[i] == 0x26 && solved[i + 1] == 0x26 && solved[i + 2] == 0x26;
    const bool is = pixels_[i] == 0x26 && pixels_[i + 1] == 0x26 && pixels_[i + 2] == 0x26;
    newly_grey += is && !was;
  }
  EXPECT_GT(newly_grey, 300);
}

TEST_F(FrameTest, ExplodeMovesCubiesAlongTheirSlotDirections) {
  SaverSettings.Explode = 1;
  Start(320, 240, 60);
  SaverSettings.Explode = 1;
  Tick(20);
  ASSERT_EQ(ShowState, SHOW_EXPLODE);
  ASSERT_EQ(ShowCounter, 20);
  const std::set<Rgb> logo = LogoColours();
  EXPECT_TRUE(logo.count(AtCubePoint(0, 0, 3.2f))) << "the cube's old place is empty";
  // At counter 20, cubie 4 has flown 7 along +z and cubie 0 by (-7, 7, 7);
  // each keeps its display-list place inside the spun layout.
  const float front[3] = {0, 0, 7}, corner[3] = {-7, 7, 7};
  const Rgb a = AtCubePoint(0, 0, 2.2f, 20, front);
  const Rgb b = AtCubePoint(-2.2f, 2.2f, 2.2f, 20, corner);
  EXPECT_FALSE(logo.count(a)) << std::hex << a;
  EXPECT_FALSE(logo.count(b)) << std::hex << b;
}

// A second pbuffer on the same context, so that a frame can be drawn whole
// on one and only where it changed on the other, tick by tick.
class SecondSurface {
 public:
  SecondSurface(int w, int h) {
    display_ = eglGetCurrentDisplay();
    first_ = eglGetCurrentSurface(EGL_DRAW);
    context_ = eglGetCurrentContext();
    EGLint id = 0, count = 0;
    eglQueryContext(display_, context_, EGL_CONFIG_ID, &id);
    const EGLint want[] = {EGL_CONFIG_ID, id, EGL_NONE};
    EGLConfig config;
    eglChooseConfig(display_, want, &config, 1, &count);
    const EGLint size[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    second_ = count == 1 ? eglCreatePbufferSurface(display_, config, size) : EGL_NO_SURFACE;
  }
  ~SecondSurface() {
    eglMakeCurrent(display_, first_, first_, context_);
    if (second_ != EGL_NO_SURFACE) eglDestroySurface(display_, second_);
  }
  bool Ok() const { return second_ != EGL_NO_SURFACE; }
  void UseFirst() { eglMakeCurrent(display_, first_, first_, context_); }
  void UseSecond() { eglMakeCurrent(display_, second_, second_, context_); }

 private:
  EGLDisplay display_;
  EGLSurface first_, second_ = EGL_NO_SURFACE;
  EGLContext context_;
};

TEST_F(FrameTest, FramesDrawnWhereTheyChangedAreTheWholeFramesPixelForPixel) {
  const std::string picture = WriteTempFile(
      "changed.bmp", BuildPicture(48, 36, [](int x, int y) { return 0x3070D0u ^ (x * 5 + y * 3); }));
  for (const int32_t explode : {0, 1}) {
    Start(256, 160, 30, explode ? nullptr : picture.c_str());  // near: cubies fly past the eye
    SaverSettings.Explode = explode;
    SecondSurface changed(256, 160);
    ASSERT_TRUE(changed.Ok());
    std::vector<uint8_t> whole(pixels_.size());
    RedrawWholeFrame();
    int differing = 0, ticks = explode ? 330 : 220;  // a whole show and the start of the next
    for (int tick = 0; tick < ticks && differing < 3; ++tick) {
      ShowTick(nullptr);
      changed.UseFirst();
      DrawFrame();
      ReadFramePixels(whole.data());
      changed.UseSecond();
      DrawChangedFrame();
      ReadFramePixels(pixels_.data());
      if (pixels_ != whole) {
        ++differing;
        ADD_FAILURE() << "explode " << explode << ", tick " << tick << ", state " << ShowState;
      }
    }
    changed.UseFirst();
    if (!explode) TearDown();  // the last one is the fixture's
  }
}

TEST(DamageTest, WhatIsDrawnAgainFollowsTheBackBuffersAge) {
  const PixelRect whole{0, 0, 100, 80}, now{40, 30, 10, 10};
  DamageHistory history = {};
  const struct {
    const char* what;
    int32_t age;
    PixelRect want;
  } before_any[] = {{"nothing drawn yet", 1, whole}, {"unknown contents", 0, whole}};
  for (const auto& c : before_any) {
    const PixelRect got = DamageSince(history, c.age, now, whole);
    EXPECT_TRUE(got.x == c.want.x && got.width == c.want.width && got.height == c.want.height) << c.what;
  }
  for (const PixelRect& r : {PixelRect{0, 0, 5, 5}, PixelRect{90, 70, 10, 10}, PixelRect{42, 0, 0, 0}}) {
    RememberCubeRect(&history, r);  // the newest last: an empty one, then top right, then bottom left
  }
  const struct {
    int32_t age;
    PixelRect want;
  } cases[] = {{1, now},  // the last frame's cube was nowhere
               {2, {40, 30, 60, 50}},
               {3, {0, 0, 100, 80}},
               {4, whole},  // further back than remembered
               {-1, whole}};
  for (const auto& c : cases) {
    const PixelRect got = DamageSince(history, c.age, now, whole);
    EXPECT_EQ(got.x, c.want.x) << c.age;
    EXPECT_EQ(got.y, c.want.y) << c.age;
    EXPECT_EQ(got.width, c.want.width) << c.age;
    EXPECT_EQ(got.height, c.want.height) << c.age;
  }
}

TEST_F(FrameTest, TicksWithRealFramesAllocateNothing) {
  SaverSettings.Explode = 1;
  Start(64, 48);
  SaverSettings.Explode = 1;
  // The first shows let the driver compile and cache what it needs (Mesa
  // allocates while it does); after that a tick allocates nothing at all.
  for (ShowDrawFunction draw : {DrawFrame, DrawChangedFrame}) {
    for (int k = 0; k < 700; ++k) ShowTick(draw);
    const long before = AllocationCount();
    for (int k = 0; k < 700; ++k) ShowTick(draw);  // two more whole shows, every state
    EXPECT_EQ(AllocationCount() - before, 0);
  }
}

}  // namespace
