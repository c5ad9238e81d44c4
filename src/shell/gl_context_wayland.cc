#include "shell/gl_context_wayland.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include "shell/extension_list.h"
#include "shell/saver_run.h"

#ifndef GL_PACK_INVERT_MESA
#define GL_PACK_INVERT_MESA 0x8758
#endif

namespace {

EGLDisplay Display = EGL_NO_DISPLAY;
EGLConfig Config = nullptr;
EGLContext Context = EGL_NO_CONTEXT;
bool BufferAge = false;
PFNEGLSWAPBUFFERSWITHDAMAGEKHRPROC SwapWithDamage = nullptr;

// Our own presentation: shared memory from the compositor, framebuffers
// from OpenGL (entry points looked up, as GL 1.1 has none).
wl_shm* Shm = nullptr;
bool OwnBuffers = false;
bool PackInvert = false;
PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers = nullptr;
PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;

// A 32-bit config without alpha whose colour is 8 bits a channel: the
// XRGB8888 buffers a compositor shows by copying, neither blended nor
// converted from 10 bits (which Mesa lists first).
bool ChooseConfig() {
  const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                           EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 16, EGL_RENDERABLE_TYPE,
                           EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig configs[64];
  EGLint count = 0;
  if (!eglChooseConfig(Display, wanted, configs, 64, &count) || count < 1) return false;
  Config = configs[0];
  for (EGLint i = count - 1; i >= 0; --i) {  // the first that fits wins
    EGLint red = 0, alpha = 1;
    eglGetConfigAttrib(Display, configs[i], EGL_RED_SIZE, &red);
    eglGetConfigAttrib(Display, configs[i], EGL_ALPHA_SIZE, &alpha);
    if (red == 8 && alpha == 0) Config = configs[i];
  }
  return true;
}

template <typename F>
bool Find(F* entry, const char* name) {
  *entry = reinterpret_cast<F>(eglGetProcAddress(name));
  return *entry != nullptr;
}

bool FindFramebufferCalls() {
  return Find(&GenFramebuffers, "glGenFramebuffers") &&
         Find(&DeleteFramebuffers, "glDeleteFramebuffers") &&
         Find(&BindFramebuffer, "glBindFramebuffer") &&
         Find(&FramebufferRenderbuffer, "glFramebufferRenderbuffer") &&
         Find(&CheckFramebufferStatus, "glCheckFramebufferStatus") &&
         Find(&GenRenderbuffers, "glGenRenderbuffers") &&
         Find(&DeleteRenderbuffers, "glDeleteRenderbuffers") &&
         Find(&BindRenderbuffer, "glBindRenderbuffer") &&
         Find(&RenderbufferStorage, "glRenderbufferStorage");
}

bool Fail(const char* why) {
  SayProblem("no OpenGL on the Wayland display: %s", why);
  DestroyWaylandContext();
  return false;
}

// --- our own buffers ---

void Released(void* data, wl_buffer*) { static_cast<WaylandShmBuffer*>(data)->held = false; }
const wl_buffer_listener kBufferListener = {Released};

bool IsEmpty(const int32_t rect[4]) { return rect[2] <= 0 || rect[3] <= 0; }

void DropOwnBuffers(WaylandGLSurface* gl) {
  for (WaylandShmBuffer& b : gl->shm) {
    if (b.buffer) wl_buffer_destroy(b.buffer);
    b = WaylandShmBuffer{};
  }
  gl->shown = 0;
  if (gl->mapping) munmap(gl->mapping, size_t(gl->mapped_bytes));
  gl->mapping = nullptr;
  gl->mapped_bytes = 0;
  if (gl->framebuffer) DeleteFramebuffers(1, &gl->framebuffer);
  if (gl->color) DeleteRenderbuffers(1, &gl->color);
  if (gl->depth) DeleteRenderbuffers(1, &gl->depth);
  gl->framebuffer = gl->color = gl->depth = 0;
}

// Two XRGB8888 buffers of width x height in one shared-memory pool.
bool MakeShmBuffers(WaylandGLSurface* gl, int32_t width, int32_t height) {
  const int64_t one = int64_t{width} * height * 4;
  if (one * 2 > INT32_MAX) return false;
  const int fd = memfd_create("quarlo-frame", MFD_CLOEXEC);
  if (fd < 0) return false;
  void* mapping = MAP_FAILED;
  if (ftruncate(fd, one * 2) == 0) {
    mapping = mmap(nullptr, size_t(one * 2), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  if (mapping == MAP_FAILED) {
    close(fd);
    return false;
  }
  gl->mapping = mapping;
  gl->mapped_bytes = int32_t(one * 2);
  wl_shm_pool* pool = wl_shm_create_pool(Shm, fd, int32_t(one * 2));
  for (int k = 0; k < 2; ++k) {
    WaylandShmBuffer& b = gl->shm[k];
    b.buffer = wl_shm_pool_create_buffer(pool, int32_t(one * k), width, height, width * 4,
                                         WL_SHM_FORMAT_XRGB8888);
    wl_buffer_add_listener(b.buffer, &kBufferListener, &b);
    b.pixels = static_cast<uint8_t*>(mapping) + one * k;
    b.stale[2] = width;  // nothing in it yet
    b.stale[3] = height;
  }
  wl_shm_pool_destroy(pool);
  close(fd);
  return true;
}

// A framebuffer that keeps the surface's last frame, with its depth buffer.
bool MakeFramebuffer(WaylandGLSurface* gl, int32_t width, int32_t height) {
  GenFramebuffers(1, &gl->framebuffer);
  GenRenderbuffers(1, &gl->color);
  GenRenderbuffers(1, &gl->depth);
  BindFramebuffer(GL_FRAMEBUFFER, gl->framebuffer);
  BindRenderbuffer(GL_RENDERBUFFER, gl->color);
  RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, gl->color);
  BindRenderbuffer(GL_RENDERBUFFER, gl->depth);
  RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
  FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, gl->depth);
  return CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

// The age of the frame kept, or -1.
int32_t UseOwnBuffers(WaylandGLSurface* gl, int32_t width, int32_t height) {
  bool made = false;
  if (!gl->framebuffer || width != gl->width || height != gl->height) {
    DropOwnBuffers(gl);
    if (!MakeShmBuffers(gl, width, height) || !MakeFramebuffer(gl, width, height)) {
      DropOwnBuffers(gl);
      return -1;
    }
    made = true;
  }
  gl->width = width;
  gl->height = height;
  BindFramebuffer(GL_FRAMEBUFFER, gl->framebuffer);
  return made ? 0 : 1;
}

// The rectangle (from the bottom left) of the kept frame into a buffer,
// whose rows run from the top.
void CopyOut(const WaylandGLSurface& gl, const WaylandShmBuffer& b, int32_t x, int32_t y,
             int32_t width, int32_t height) {
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, gl.width);
  uint8_t* top_left = b.pixels + (int64_t{gl.height - y - height} * gl.width + x) * 4;
  if (PackInvert) {
    glPixelStorei(GL_PACK_INVERT_MESA, 1);
    glReadPixels(x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, top_left);
    glPixelStorei(GL_PACK_INVERT_MESA, 0);
  } else {
    for (int32_t row = 0; row < height; ++row) {
      glReadPixels(x, y + height - 1 - row, width, 1, GL_BGRA, GL_UNSIGNED_BYTE,
                   top_left + int64_t{row} * gl.width * 4);
    }
  }
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
}

void PresentOwn(WaylandGLSurface* gl, int32_t x, int32_t y, int32_t width, int32_t height) {
  WaylandShmBuffer* free_buffer = nullptr;
  for (WaylandShmBuffer& b : gl->shm) {
    UniteRect(b.stale, x, y, width, height);
    if (!b.held && !free_buffer) free_buffer = &b;
  }
  if (!free_buffer) return;  // the compositor holds both: this waits for the next frame
  // What changed since the buffer the compositor shows: that buffer's stale part.
  const WaylandShmBuffer* shown = gl->shown ? &gl->shm[gl->shown - 1] : free_buffer;
  const int32_t damage[4] = {shown->stale[0], shown->stale[1], shown->stale[2], shown->stale[3]};
  if (gl->shown && IsEmpty(damage)) return;  // nothing changed since the buffer shown
  WaylandShmBuffer& b = *free_buffer;
  if (!IsEmpty(b.stale)) CopyOut(*gl, b, b.stale[0], b.stale[1], b.stale[2], b.stale[3]);
  b.stale[2] = b.stale[3] = 0;
  wl_surface_attach(gl->surface, b.buffer, 0, 0);
  if (wl_proxy_get_version(reinterpret_cast<wl_proxy*>(gl->surface)) >= 4) {
    wl_surface_damage_buffer(gl->surface, damage[0], gl->height - damage[1] - damage[3], damage[2],
                             damage[3]);
  } else {
    wl_surface_damage(gl->surface, 0, 0, INT32_MAX, INT32_MAX);
  }
  wl_surface_commit(gl->surface);
  b.held = true;
  gl->shown = int32_t(&b - gl->shm) + 1;
}

}  // namespace

bool CreateWaylandContext(wl_display* display, wl_shm* shm) {
  // The platform named, never guessed from the environment (EGL_PLATFORM).
  Display = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display, nullptr);
  if (Display == EGL_NO_DISPLAY || !eglInitialize(Display, nullptr, nullptr)) {
    Display = EGL_NO_DISPLAY;
    return Fail("EGL can't be had on it");
  }
  if (!eglBindAPI(EGL_OPENGL_API) || !ChooseConfig()) return Fail("EGL offers no desktop OpenGL config");
  Context = eglCreateContext(Display, Config, EGL_NO_CONTEXT, nullptr);
  // Current at once, on no surface yet, so that lists and textures can be
  // made before the first output is drawn.
  if (Context == EGL_NO_CONTEXT ||
      !eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, Context)) {
    return Fail("EGL made no context");
  }
  const char* extensions = eglQueryString(Display, EGL_EXTENSIONS);
  BufferAge = ExtensionListed(extensions, "EGL_EXT_buffer_age");
  SwapWithDamage = nullptr;
  if (ExtensionListed(extensions, "EGL_KHR_swap_buffers_with_damage")) {
    SwapWithDamage = reinterpret_cast<PFNEGLSWAPBUFFERSWITHDAMAGEKHRPROC>(
        eglGetProcAddress("eglSwapBuffersWithDamageKHR"));
  } else if (ExtensionListed(extensions, "EGL_EXT_swap_buffers_with_damage")) {
    SwapWithDamage = reinterpret_cast<PFNEGLSWAPBUFFERSWITHDAMAGEKHRPROC>(
        eglGetProcAddress("eglSwapBuffersWithDamageEXT"));
  }
  Shm = shm;
  OwnBuffers = Shm && !(BufferAge && SwapWithDamage) && FindFramebufferCalls();
  PackInvert = ExtensionListed(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)),
                               "GL_MESA_pack_invert");
  return true;
}

void DestroyWaylandContext() {
  if (Display == EGL_NO_DISPLAY) return;
  eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (Context != EGL_NO_CONTEXT) eglDestroyContext(Display, Context);
  eglTerminate(Display);
  Display = EGL_NO_DISPLAY;
  Context = EGL_NO_CONTEXT;
  OwnBuffers = false;
}

int32_t UseWaylandSurface(WaylandGLSurface* gl, wl_surface* surface, int32_t width, int32_t height) {
  if (Context == EGL_NO_CONTEXT || width <= 0 || height <= 0) return -1;
  gl->surface = surface;
  if (OwnBuffers) return UseOwnBuffers(gl, width, height);
  bool made = false;
  if (!gl->window) {
    gl->window = wl_egl_window_create(surface, width, height);
    if (!gl->window) return -1;
    gl->egl_surface = eglCreateWindowSurface(Display, Config,
                                             reinterpret_cast<EGLNativeWindowType>(gl->window), nullptr);
    if (gl->egl_surface == EGL_NO_SURFACE) {
      ReleaseWaylandSurface(gl);
      return -1;
    }
    made = true;
  } else if (width != gl->width || height != gl->height) {
    wl_egl_window_resize(gl->window, width, height, 0, 0);
  }
  gl->width = width;
  gl->height = height;
  if (!eglMakeCurrent(Display, gl->egl_surface, gl->egl_surface, Context)) return -1;
  if (made) eglSwapInterval(Display, 0);  // a hidden output must not hold up the tick
  EGLint age = 0;
  if (!BufferAge || !eglQuerySurface(Display, gl->egl_surface, EGL_BUFFER_AGE_EXT, &age)) age = 0;
  return age;
}

void PresentWaylandSurface(WaylandGLSurface* gl, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (gl->framebuffer) {
    PresentOwn(gl, x, y, width, height);
    return;
  }
  if (!gl->egl_surface) return;
  EGLint rect[4] = {x, y, width, height};
  if (SwapWithDamage && width > 0 && height > 0) {
    SwapWithDamage(Display, gl->egl_surface, rect, 1);
  } else {
    eglSwapBuffers(Display, gl->egl_surface);
  }
}

void ReleaseWaylandSurface(WaylandGLSurface* gl) {
  if (gl->framebuffer && Display != EGL_NO_DISPLAY) BindFramebuffer(GL_FRAMEBUFFER, 0);
  if (Display != EGL_NO_DISPLAY) DropOwnBuffers(gl);
  if (gl->egl_surface && Display != EGL_NO_DISPLAY) {
    if (eglGetCurrentSurface(EGL_DRAW) == gl->egl_surface) {
      eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, Context);
    }
    eglDestroySurface(Display, gl->egl_surface);
  }
  if (gl->window) wl_egl_window_destroy(gl->window);
  *gl = WaylandGLSurface{};
}
