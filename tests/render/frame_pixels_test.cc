// Frames drawn through a real (headless, Mesa) OpenGL context, checked pixel
// by pixel at points of the cubies, and drawn where they changed against
// drawn whole. (A PNG's frame against its bitmap's: the end-to-end tests.)
#include <EGL/egl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <vector>

#include "alloc_counter.h"
#include "bmp_builder.h"
#include "cube/model.h"
#include "cube/show.h"
#include "render/cubies.h"
#include "render/damage.h"
#include "render/dib_decode.h"
#include "render/frame.h"
#include "render/front_pieces.h"
#include "render/gl_context_egl.h"
#include "render/logo.h"
#include "render/scene.h"
#include "render/textures.h"
#include "settings/settings.h"

namespace {

using Rgb = uint32_t;  // 0xRRGGBB
const Rgb kBlue = 0x0000FF, kRed = 0xFF0000, kYellow = 0xFFFF00, kGreen = 0x00FF00, kClear = 0x008080;

std::set<Rgb> LogoColours() {
  PackedBitmap* logo = LoadLogoBitmap();
  std::vector<uint8_t> px(DecodedBytes(logo));
  DecodePackedBitmap(logo, px.data());
  FreePackedBitmap(logo);
  std::set<Rgb> colours;
  for (size_t i = 0; i < px.size(); i += 4) colours.insert(Rgb{px[i + 2]} << 16 | px[i + 1] << 8 | px[i]);
  return colours;
}

class FrameTest : public ::testing::Test {
 protected:
  void Start(int w, int h, int displacement = 60, const std::string& texture = "") {
    ResetShowForTesting();
    SaverSettings = SaverSettingsRecord{!texture.empty(), 0, displacement, ""};
    std::snprintf(SaverSettings.Texture, sizeof SaverSettings.Texture, "%s", texture.c_str());
    MakeFrontPieces();  // as the saver does
    ASSERT_EQ(SaverSettings.Surface, !texture.empty()) << PictureProblemText(FrontPictureProblem);
    ASSERT_TRUE(CreateHeadlessContext(w, h));
    BuildScene();
    ASSERT_NE(LogoTextureName, 0u);
    StartShow(0);
    SetProjection(w, h);
    width_ = w;
    height_ = h;
    pixels_.assign(size_t(w) * h * 4, 0);
  }
  void TearDown() override {
    DeleteCubieLists();
    FreeTextures();
    DestroyHeadlessContext();
  }
  void Tick(int n) {
    if (n == 0) DrawFrame();
    for (int k = 0; k < n; ++k) ShowTick(DrawFrame);
    ReadFramePixels(pixels_.data());
  }
  Rgb At(int x, int y_from_top) const {
    const uint8_t* p = &pixels_[(size_t(y_from_top) * width_ + x) * 4];
    return Rgb{p[0]} << 16 | p[1] << 8 | p[2];
  }
  // The pixel where a point of cubie i's own cube lands.
  Rgb AtCubie(int cubie, float x, float y, float z) const {
    const float point[3] = {x, y, z};
    double wx = 0, wy = 0;
    MeasureCubies();
    EXPECT_TRUE(CubiePointInWindow(cubie, point, width_, height_, &wx, &wy));
    return At(int(wx), height_ - 1 - int(wy));
  }
  std::vector<uint8_t> pixels_;
  int width_ = 0, height_ = 0;
};

TEST_F(FrameTest, FacesLogoAndClearColourWhereTheyBelong) {
  Start(320, 240);
  Tick(0);
  const struct { int cubie; float x, y, z; Rgb colour; } faces[] = {
      {4, 0, 0, 1, kBlue}, {0, 0, 0, 1, kBlue}, {1, 0, 1, 0, kRed}, {5, 1, 0, 0, kYellow}, {26, 1, 0, -0.5f, kYellow}};
  for (const auto& f : faces) EXPECT_EQ(AtCubie(f.cubie, f.x, f.y, f.z), f.colour) << f.cubie;
  for (size_t i = 0; i < pixels_.size(); i += 4) {  // left, bottom and back face away
    const Rgb c = At(int(i / 4 % 320), int(i / 4 / 320));
    ASSERT_TRUE(c != kGreen && c != 0xFF00FF && c != 0x00FFFF) << i / 4;
  }
  TearDown();
  Start(320, 240, 70);  // at 70 the tile fills a 4:3 view: no clear colour, nearly every tile colour
  Tick(0);
  const std::set<Rgb> logo = LogoColours();
  std::set<Rgb> seen;
  for (int y = 0; y < 240; y += 3) {
    for (int x = 0; x < 320; x += 3) seen.insert(At(x, y));
  }
  EXPECT_FALSE(seen.count(kClear));
  int tile_colours = 0;
  for (Rgb c : logo) tile_colours += int(seen.count(c));
  EXPECT_GE(tile_colours, int(logo.size()) - 2);
  TearDown();
  Start(480, 160, 70);  // 3:1: the clear colour at the sides
  Tick(0);
  EXPECT_TRUE(At(2, 80) == kClear && At(477, 80) == kClear && At(120, 80) != kClear);
}

TEST_F(FrameTest, ThePictureLiesUprightAndUnmirrored) {
  // In every ninth: red at the left, green at the right, blue added below.
  Start(320, 240, 30, WriteTempFile("halves.bmp", BuildPicture(60, 60, [](int x, int y) {
    return (x % 20 < 10 ? kRed : kGreen) | (y % 20 < 10 ? 0u : kBlue);
  })));
  Tick(0);
  for (int cubie : {0, 4, 8}) {
    EXPECT_EQ(AtCubie(cubie, -0.5f, 0.5f, 1), kRed) << cubie;
    EXPECT_EQ(AtCubie(cubie, 0.5f, 0.5f, 1), kGreen) << cubie;
    EXPECT_EQ(AtCubie(cubie, -0.5f, -0.5f, 1), kRed | kBlue) << cubie;
  }
  EXPECT_EQ(AtCubie(1, 0, 1, 0), kRed);  // the top keeps its colour
}

TEST_F(FrameTest, TurningLayersShowGreyAndExplodingCubiesFlyOut) {
  Start(320, 240, 30);
  Tick(0);
  const std::vector<uint8_t> solved = pixels_;
  Tick(39);  // the first solving turn, halfway: grey inside faces show
  ASSERT_TRUE(ShowState == SHOW_SOLVE && TurnAngle == 45);
  int newly_grey = 0;
  for (size_t i = 0; i < pixels_.size(); i += 4) newly_grey += pixels_[i] == 0x26 && pixels_[i + 1] == 0x26 && solved[i] != 0x26;
  EXPECT_GT(newly_grey, 300);
  TearDown();
  Start(320, 240, 60);
  SaverSettings.Explode = 1;
  Tick(20);
  ASSERT_TRUE(ShowState == SHOW_EXPLODE && ShowCounter == 20);
  // Each cubie flew along its slot's direction: the face centres are on cubies
  // again, where the cube no longer is.
  const std::set<Rgb> logo = LogoColours();
  EXPECT_EQ(AtCubie(4, 0, 0, 1), kBlue);
  EXPECT_EQ(AtCubie(0, 0, 1, 0), kRed);
  const float centre[3] = {0, 0, 1};
  double x = 0, y = 0;
  SaverSettings.Explode = 0;
  ShowState = SHOW_WAIT;  // where cubie 4's face was before it flew
  MeasureCubies();
  CubiePointInWindow(4, centre, 320, 240, &x, &y);
  EXPECT_TRUE(logo.count(At(int(x), 239 - int(y)))) << "the cube's old place is empty";
}

// A second pbuffer on the same context, so that a frame can be drawn whole
// on one and only where it changed on the other, tick by tick.
struct SecondSurface {
  EGLDisplay display = eglGetCurrentDisplay();
  EGLSurface first = eglGetCurrentSurface(EGL_DRAW), second = EGL_NO_SURFACE;
  EGLContext context = eglGetCurrentContext();
  SecondSurface(int w, int h) {
    EGLint id = 0, count = 0;
    eglQueryContext(display, context, EGL_CONFIG_ID, &id);
    const EGLint want[] = {EGL_CONFIG_ID, id, EGL_NONE}, size[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    EGLConfig config;
    if (eglChooseConfig(display, want, &config, 1, &count) && count == 1) second = eglCreatePbufferSurface(display, config, size);
  }
  ~SecondSurface() {
    Use(first);
    if (second != EGL_NO_SURFACE) eglDestroySurface(display, second);
  }
  void Use(EGLSurface surface) { eglMakeCurrent(display, surface, surface, context); }
};

// The frame drawn only where it changed, over a pbuffer that holds the frame
// `age` frames back, as a window's back buffers would.
ViewDamage View = {};
void DrawChanged(int32_t width, int32_t height, int32_t age) {
  MeasureCubies();
  DrawViewChanges(&View, PixelRect{0, 0, width, height}, age, PixelRect{});
  glFinish();
}

TEST_F(FrameTest, FramesDrawnWhereTheyChangedAreTheWholeFramesPixelForPixel) {
  const std::string picture = WriteTempFile(
      "changed.bmp", BuildPicture(48, 36, [](int x, int y) { return 0x3070D0u ^ (x * 5 + y * 3); }));
  for (const int32_t explode : {0, 1}) {
    for (const int32_t age : {1, 2}) {  // one back buffer, or two in turn
      Start(256, 160, 30, explode ? "" : picture);  // near: cubies fly past the eye
      SaverSettings.Explode = explode;
      SecondSurface buffers[2] = {SecondSurface(256, 160), SecondSurface(256, 160)};
      ASSERT_TRUE(buffers[0].second != EGL_NO_SURFACE && buffers[1].second != EGL_NO_SURFACE);
      std::vector<uint8_t> whole(pixels_.size());
      View = ViewDamage{};
      int differing = 0;
      for (int tick = 0; tick < (explode ? 330 : 220) && differing < 3; ++tick) {  // a show and more
        ShowTick(nullptr);
        buffers[0].Use(buffers[0].first);
        DrawFrame();
        ReadFramePixels(whole.data());
        const SecondSurface& drawn = buffers[age == 2 ? tick % 2 : 0];
        buffers[0].Use(drawn.second);
        DrawChanged(256, 160, tick < age ? 0 : age);
        ReadFramePixels(pixels_.data());
        if (pixels_ != whole) ADD_FAILURE() << "explode " << explode << ", age " << age << ", tick " << tick << ", state " << ShowState << ++differing;
      }
      buffers[0].Use(buffers[0].first);
      TearDown();
    }
  }
  Start(64, 48);  // the fixture's
}

TEST_F(FrameTest, TicksWithRealFramesAllocateNothing) {
  Start(64, 48);
  SaverSettings.Explode = 1;
  // The first shows let the driver compile and cache what it needs (Mesa
  // allocates while it does); after that a tick allocates nothing at all.
  View = ViewDamage{};
  const ShowDrawFunction changed = [] { DrawChanged(64, 48, 1); };
  for (ShowDrawFunction draw : {DrawFrame, changed}) {
    for (int k = 0; k < 700; ++k) ShowTick(draw);
    const long before = AllocationCount();
    for (int k = 0; k < 700; ++k) ShowTick(draw);  // two more whole shows, every state
    EXPECT_EQ(AllocationCount() - before, 0);
  }
}

}  // namespace
