// The costs the show pays: a scramble tick, a solve tick, a frame at
// 1024x768 drawn whole and drawn where it changed (headless, Mesa), and the
// start-up with a 6000x4000 picture on the front (bitmap, JPEG, PNG).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cube/model.h"
#include "cube/show.h"
#include "render/bitmap.h"
#include "render/cubies.h"
#include "render/frame.h"
#include "render/front_pieces.h"
#include "render/gl_context.h"
#include "render/gl_context_egl.h"
#include "render/logo.h"
#include "render/scene.h"
#include "render/textures.h"
#include "settings/settings.h"

namespace {

void BM_ScrambleTick(benchmark::State& state) {
  ResetShowForTesting();
  ResetCube();
  SaverSettings.Explode = 0;
  for (auto _ : state) {
    ShowState = SHOW_SCRAMBLE;
    ShowTick(nullptr);
  }
}
BENCHMARK(BM_ScrambleTick);

void BM_SolveTick(benchmark::State& state) {
  ResetShowForTesting();
  ResetCube();
  SaverSettings.Explode = 0;
  ShowState = SHOW_SCRAMBLE;
  ShowTick(nullptr);
  ShowState = SHOW_SOLVE;
  for (auto _ : state) {
    TurnAngle = 30;  // the next tick shows the move at 45 degrees
    ShowTick(nullptr);
  }
}
BENCHMARK(BM_SolveTick);

// A 1024x768 scene in the middle of a solve.
bool SetUpScene() {
  if (!CreateHeadlessContext(1024, 768)) return false;
  ResetShowForTesting();
  SaverSettings = SaverSettingsRecord{0, 0, kDefaultDisplacement, ""};
  BuildScene();
  StartShow(0);
  SetProjection(1024, 768);
  for (int k = 0; k < 80; ++k) ShowTick(nullptr);
  return true;
}

void TearDownScene() {
  DeleteCubieLists();
  FreeTextures();
  DestroyHeadlessContext();
}

void BM_DrawFrame(benchmark::State& state) {
  const bool changed_only = state.range(0) != 0;
  if (!SetUpScene()) {
    state.SkipWithError("no OpenGL context from EGL");
    return;
  }
  ViewDamage view = {};
  for (auto _ : state) {
    ShowTick(nullptr);  // the turn goes on, so every frame differs
    if (changed_only) {  // as the savers draw each view, over a buffer one frame behind
      MeasureCubies();
      DrawViewChanges(&view, PixelRect{0, 0, 1024, 768}, 1, PixelRect{});
      glFinish();
    } else {
      DrawFrame();
    }
  }
  TearDownScene();
}
BENCHMARK(BM_DrawFrame)->Arg(0)->Arg(1)->ArgName("changed_only")->Unit(benchmark::kMillisecond);

// A 6000x4000 24-bit bitmap of a busy pattern, and ImageMagick's JPEG and
// PNG of it; the path of the one asked for.
std::string LargePicture(const char* extension) {
  const std::string bmp = "/tmp/quarlo-bench-6000x4000.bmp";
  if (std::FILE* f = std::fopen(bmp.c_str(), "wb")) {
    const int w = 6000, h = 4000, row = w * 3;
    const unsigned image = unsigned(row) * h;
    unsigned char header[54] = {'B', 'M'};
    const auto put = [&](int at, unsigned v) {
      for (int k = 0; k < 4; ++k) header[at + k] = static_cast<unsigned char>(v >> (8 * k));
    };
    put(2, 54 + image);
    put(10, 54);
    put(14, 40);
    put(18, w);
    put(22, h);
    header[26] = 1;
    header[28] = 24;
    std::fwrite(header, 1, sizeof header, f);
    std::vector<unsigned char> line(row);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < row; ++x) line[x] = static_cast<unsigned char>(x * 7 + y * 3);
      std::fwrite(line.data(), 1, line.size(), f);
    }
    std::fclose(f);
  }
  if (std::string(extension) == "bmp") return bmp;
  const std::string other = "/tmp/quarlo-bench-6000x4000." + std::string(extension);
  const std::string command = "convert " + bmp + " -quality 90 " + other;
  return std::system(command.c_str()) == 0 ? other : "";
}

// The saver's window creation with Surface on: the picture read (or
// decoded) and cut into the nine front pieces; a bitmap, a JPEG, a PNG.
void BM_StartUpWithALargePicture(benchmark::State& state) {
  const char* extension = state.range(0) == 0 ? "bmp" : state.range(0) == 1 ? "jpg" : "png";
  const std::string path = LargePicture(extension);
  state.SetLabel(extension);
  SaverSettings = SaverSettingsRecord{1, 0, kDefaultDisplacement, ""};
  std::snprintf(SaverSettings.Texture, sizeof SaverSettings.Texture, "%s", path.c_str());
  for (auto _ : state) {
    MakeFrontPieces();
    FreeTextures();
    if (!SaverSettings.Surface) {
      state.SkipWithError("the picture could not be read");
      break;
    }
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_StartUpWithALargePicture)->Arg(0)->Arg(1)->Arg(2)->ArgName("format")
    ->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
