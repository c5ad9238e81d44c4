#include "saver/lock_indicator_wayland.h"

#include <dlfcn.h>
#include <pango/pangocairo.h>

#include "render/gl_compat.h"
#include "render/rate_overlay.h"
#include "shell/saver_run.h"

namespace {

// Pango and Cairo (with GLib under them, some twenty libraries and a few
// MiB) are loaded when a session is locked, not linked: the show anywhere
// else, under XScreenSaver above all, carries none of them.
// clang-format off
#define QUARLO_TEXT_CALLS(X)                                                                     \
  X(cairo_image_surface_create) X(cairo_create) X(cairo_status) X(cairo_set_source_rgb)          \
  X(cairo_surface_flush) X(cairo_image_surface_get_stride) X(cairo_image_surface_get_data)       \
  X(cairo_destroy) X(cairo_surface_destroy) X(pango_cairo_create_layout)                         \
  X(pango_font_description_from_string) X(pango_layout_set_font_description)                     \
  X(pango_layout_set_text) X(pango_layout_get_pixel_size) X(pango_cairo_update_layout)           \
  X(pango_cairo_show_layout) X(pango_font_description_free) X(g_object_unref)
// clang-format on
struct TextCalls {
#define QUARLO_TEXT_FIELD(name) decltype(&::name) name;
  QUARLO_TEXT_CALLS(QUARLO_TEXT_FIELD)
#undef QUARLO_TEXT_FIELD
};
TextCalls Text = {};

// Once; the library stays loaded (GLib's types can't be unloaded).
bool LoadText() {
  static void* const library = dlopen("libpangocairo-1.0.so.0", RTLD_NOW | RTLD_LOCAL);
  if (!library) return false;
  bool found = true;
#define QUARLO_TEXT_FIND(name) \
  found = (Text.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name))) && found;
  QUARLO_TEXT_CALLS(QUARLO_TEXT_FIND)
#undef QUARLO_TEXT_FIND
  return found;
}

// Words set at twice their size on screen, white, alpha premultiplied.
struct TextImage {
  GLuint name;
  int32_t width, height;
};
enum { kUser, kCapsLock, kChecking, kWrong, kMark, kTexts };
TextImage Texts[kTexts] = {};

// The box, in points (times the surface's scale in pixels).
enum { kBoxWidth = 360, kBoxHeight = 112, kMarkStep = 14, kMostMarks = 22 };

TextImage SetText(const char* text, const char* font) {
  TextImage image = {};
  cairo_surface_t* probe = Text.cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* measure = Text.cairo_create(probe);
  PangoLayout* layout = Text.pango_cairo_create_layout(measure);
  PangoFontDescription* description = Text.pango_font_description_from_string(font);
  Text.pango_layout_set_font_description(layout, description);
  Text.pango_layout_set_text(layout, text, -1);
  int width = 0, height = 0;
  Text.pango_layout_get_pixel_size(layout, &width, &height);
  cairo_surface_t* surface = Text.cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = Text.cairo_create(surface);
  if (width > 0 && height > 0 && Text.cairo_status(cr) == CAIRO_STATUS_SUCCESS) {
    Text.cairo_set_source_rgb(cr, 1, 1, 1);
    Text.pango_cairo_update_layout(cr, layout);
    Text.pango_cairo_show_layout(cr, layout);
    Text.cairo_surface_flush(surface);
    glGenTextures(1, &image.name);
    glBindTexture(GL_TEXTURE_2D, image.name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, Text.cairo_image_surface_get_stride(surface) / 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                 Text.cairo_image_surface_get_data(surface));
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    image.width = width;
    image.height = height;
  }
  Text.cairo_destroy(cr);
  Text.cairo_surface_destroy(surface);
  Text.pango_font_description_free(description);
  Text.g_object_unref(layout);
  Text.cairo_destroy(measure);
  Text.cairo_surface_destroy(probe);
  return image;
}

void Quad(float x, float y, float width, float height) {
  glBegin(GL_QUADS);
  glTexCoord2f(0, 1);
  glVertex2f(x, y);
  glTexCoord2f(1, 1);
  glVertex2f(x + width, y);
  glTexCoord2f(1, 0);
  glVertex2f(x + width, y + height);
  glTexCoord2f(0, 0);
  glVertex2f(x, y + height);
  glEnd();
}

// A text centred on `middle`, its top at `top` (pixels from the bottom).
void DrawText(const TextImage& text, float middle, float top, float scale) {
  if (!text.name) return;
  const float width = text.width * scale / 2, height = text.height * scale / 2;
  glBindTexture(GL_TEXTURE_2D, text.name);
  Quad(middle - width / 2, top - height, width, height);
}

}  // namespace

bool MakeLockIndicator(const char* user) {
  if (!LoadText()) {
    SayProblem("the lock's words can't be set: %s", "no Pango with Cairo (libpangocairo-1.0.so.0)");
    return false;
  }
  const char* const words[kTexts] = {user, "Caps Lock", "Checking\u2026", "Wrong password",
                                     "\u25CF"};
  const char* const fonts[kTexts] = {"Sans Bold 26", "Sans 20", "Sans 22", "Sans 22", "Sans 20"};
  for (int k = 0; k < kTexts; ++k) Texts[k] = SetText(words[k], fonts[k]);
  return Texts[kMark].name != 0;
}

void DropLockIndicator() {
  for (TextImage& text : Texts) {
    if (text.name) glDeleteTextures(1, &text.name);
    text = TextImage{};
  }
}

PixelRect LockIndicatorRect(int32_t width, int32_t height, int32_t scale) {
  scale = scale > 0 ? scale : 1;
  const int32_t box_width = kBoxWidth * scale, box_height = kBoxHeight * scale;
  const int32_t low = height * 15 / 100 - box_height / 2;  // under the cube
  return PixelRect{(width - box_width) / 2, low > 8 * scale ? low : 8 * scale, box_width,
                   box_height};
}

void DrawLockIndicator(int32_t width, int32_t height, int32_t scale) {
  const PixelRect box = LockIndicatorRect(width, height, scale);
  const float s = float(scale > 0 ? scale : 1), middle = float(box.x) + float(box.width) / 2;
  const float top = float(box.y + box.height);
  const SaverLockView& view = SaverLockShown;
  BeginPixelOverlay(width, height, GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, 0.65f);
  Quad(float(box.x), float(box.y), float(box.width), float(box.height));
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);  // the words' alpha is premultiplied
  glColor4f(1, 1, 1, 1);
  DrawText(Texts[kUser], middle, top - 10 * s, s);
  const int32_t marks = view.marks < kMostMarks ? view.marks : kMostMarks;
  for (int32_t k = 0; k < marks; ++k) {
    DrawText(Texts[kMark], middle + (float(k) - float(marks - 1) / 2) * kMarkStep * s, top - 42 * s,
             s);
  }
  if (view.checking || view.wrong) {
    if (view.wrong && !view.checking) glColor4f(1, 0.45f, 0.45f, 1);
    DrawText(Texts[view.checking ? kChecking : kWrong], middle, top - 64 * s, s);
    glColor4f(1, 1, 1, 1);
  }
  if (view.caps_lock) DrawText(Texts[kCapsLock], middle, top - 86 * s, s);
  EndPixelOverlay();
}
