#include "render_args.h"

#include <cstdio>
#include <cstring>

#include "decimal.h"

namespace {

const char kUsage[] =
    "usage: quarlo-render --seed N --tick T [--size WxH] [--explode] [--displacement D]\n"
    "                     [--texture FILE] [--every K] --out FILE.png|DIR";

// The frame size and distance are bounded so that nothing silly reaches EGL.
constexpr uint64_t kMaxEdge = 8192;
constexpr uint64_t kMaxDisplacement = 100000;

bool Fail(char* error, size_t size, const char* what, const char* arg) {
  std::snprintf(error, size, "quarlo-render: %s%s%s\n%s", what, arg ? ": " : "", arg ? arg : "",
                kUsage);
  return false;
}

bool ParseSize(const char* text, int32_t* width, int32_t* height) {
  const char* x = text ? std::strchr(text, 'x') : nullptr;
  if (!x || x == text || std::strlen(x) > 16 || static_cast<size_t>(x - text) > 16) return false;
  char left[17];
  std::memcpy(left, text, static_cast<size_t>(x - text));
  left[x - text] = '\0';
  uint64_t w = 0, h = 0;
  if (!ParseDecimal(left, kMaxEdge, &w) || !ParseDecimal(x + 1, kMaxEdge, &h) || !w || !h)
    return false;
  *width = static_cast<int32_t>(w);
  *height = static_cast<int32_t>(h);
  return true;
}

}  // namespace

bool ParseRenderArgs(int argc, const char* const* argv, RenderOptions* o, char* error,
                     size_t error_size) {
  *o = RenderOptions{0, 0, 640, 480, false, 60, nullptr, 0, nullptr};
  bool have_seed = false, have_tick = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--explode") == 0) {
      o->explode = true;
      continue;
    }
    static const char* const kValued[] = {"--seed", "--tick", "--size", "--displacement",
                                          "--texture", "--every", "--out"};
    bool known = false;
    for (const char* name : kValued) known = known || std::strcmp(arg, name) == 0;
    if (!known) return Fail(error, error_size, "unknown argument", arg);
    if (i + 1 >= argc) return Fail(error, error_size, "missing value after", arg);
    const char* text = argv[++i];
    uint64_t v = 0;
    if (std::strcmp(arg, "--seed") == 0) {
      if (!ParseDecimal(text, 0xFFFFFFFFu, &v))
        return Fail(error, error_size, "--seed takes a whole number from 0 to 4294967295", text);
      o->seed = static_cast<uint32_t>(v);
      have_seed = true;
    } else if (std::strcmp(arg, "--tick") == 0) {
      if (!ParseDecimal(text, 0x7FFFFFFF, &v))
        return Fail(error, error_size, "--tick takes a whole number from 0 to 2147483647", text);
      o->tick = static_cast<int64_t>(v);
      have_tick = true;
    } else if (std::strcmp(arg, "--size") == 0) {
      if (!ParseSize(text, &o->width, &o->height))
        return Fail(error, error_size, "--size takes WxH, each from 1 to 8192", text);
    } else if (std::strcmp(arg, "--displacement") == 0) {
      if (!ParseDecimal(text, kMaxDisplacement, &v) || v == 0)
        return Fail(error, error_size, "--displacement takes a whole number from 1 to 100000",
                    text);
      o->displacement = static_cast<int32_t>(v);
    } else if (std::strcmp(arg, "--every") == 0) {
      if (!ParseDecimal(text, 0x7FFFFFFF, &v) || v == 0)
        return Fail(error, error_size, "--every takes a whole number from 1 to 2147483647", text);
      o->every = static_cast<int64_t>(v);
    } else if (std::strcmp(arg, "--texture") == 0) {
      if (!*text || std::strlen(text) > 259)
        return Fail(error, error_size, "--texture takes a path of 1 to 259 characters", nullptr);
      o->texture = text;
    } else {
      if (!*text) return Fail(error, error_size, "--out takes a path", nullptr);
      o->out = text;
    }
  }
  if (!have_seed) return Fail(error, error_size, "--seed is required", nullptr);
  if (!have_tick) return Fail(error, error_size, "--tick is required", nullptr);
  if (!o->out) return Fail(error, error_size, "--out is required", nullptr);
  return true;
}
