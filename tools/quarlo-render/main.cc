// quarlo-render: runs the cube show headless and writes frames as PNG.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cube/model.h"
#include "cube/show.h"
#include "render/bitmap.h"
#include "render/cubies.h"
#include "render/frame.h"
#include "render/front_pieces.h"
#include "render/gl_context_egl.h"
#include "render/scene.h"
#include "render/textures.h"
#include "render_args.h"
#include "png_writer.h"
#include "settings/settings.h"

namespace {

int Fail(const char* what, const char* detail) {
  std::fprintf(stderr, "quarlo-render: %s%s%s\n", what, detail ? ": " : "", detail ? detail : "");
  return 2;
}

bool PrepareOutput(const RenderOptions& o) {
  if (o.every == 0) return true;
  if (mkdir(o.out, 0777) == 0 || errno == EEXIST) {
    struct stat st;
    return stat(o.out, &st) == 0 && S_ISDIR(st.st_mode);
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  RenderOptions o;
  char error[512];
  if (!ParseRenderArgs(argc, argv, &o, error, sizeof error)) {
    std::fprintf(stderr, "%s\n", error);
    return 2;
  }
  if (!PrepareOutput(o)) return Fail("cannot make the output directory", o.out);
  SaverSettings.Explode = o.explode;
  SaverSettings.Displacement = o.displacement;
  if (o.texture) {
    SaverSettings.Surface = 1;
    std::snprintf(SaverSettings.Texture, sizeof SaverSettings.Texture, "%s", o.texture);
    MakeFrontPieces();  // as the saver does at window creation
    if (!SaverSettings.Surface) {
      std::fprintf(stderr, "quarlo-render: the picture %s can't be shown: %s\n", o.texture,
                   PictureProblemText(FrontPictureProblem));
      return 2;
    }
  }
  if (!CreateHeadlessContext(o.width, o.height)) return Fail("no OpenGL context from EGL", nullptr);
  BuildScene();
  StartShow(o.seed);  // the seed given, not the clock, so a run can be repeated
  SetProjection(o.width, o.height);

  std::vector<uint8_t> pixels(static_cast<size_t>(o.width) * o.height * 4);
  std::vector<char> path(std::strlen(o.out) + 32);
  int status = 0;
  for (int64_t tick = 0; tick <= o.tick && status == 0; ++tick) {
    if (tick == 0) {
      DrawFrame();  // the picture before the first tick
    } else {
      ShowTick(DrawFrame);
    }
    const bool wanted = o.every ? tick % o.every == 0 : tick == o.tick;
    if (!wanted) continue;
    ReadFramePixels(pixels.data());
    const char* target = o.out;
    if (o.every) {
      std::snprintf(path.data(), path.size(), "%s/frame-%06lld.png", o.out,
                    static_cast<long long>(tick));
      target = path.data();
    }
    if (!WritePng(target, o.width, o.height, pixels.data()))
      status = Fail("cannot write", target);
  }
  DeleteCubieLists();
  FreeTextures();
  DestroyHeadlessContext();
  return status;
}
