// The saver on Wayland. Full screen: a layer surface on the overlay layer of
// every output, anchored to its four edges, that takes the keyboard; an
// output that comes gets one at once, one that goes (or whose surface the
// compositor closes) loses it. A key, a button, the pointer moved more than
// 4 pixels from the first place it was reported at (in the compositor's
// space, where xdg-output gives the outputs' places), the last surface
// closed, SIGTERM or SIGINT, or the compositor gone end the run with 0. A
// compositor without the layer shell gets one full-screen toplevel instead;
// -window gets an ordinary one, whose buffers follow the largest scale of
// the outputs it is on. -lock locks the session (ext-session-lock) with a
// lock surface on every output showing the same, and opens it only when
// the user's password is accepted.
#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string_view>

#include "ext-session-lock-v1-client-protocol.h"
#include "shell/gl_context_wayland.h"
#include "shell/lock_password_wayland.h"
#include "shell/pointer_wake.h"
#include "shell/saver_shell_wayland.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"
// The layer shell's C header names a parameter `namespace`.
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

wl_display* SaverWaylandDisplay = nullptr;


namespace {


// One surface slot: an output and its layer surface, or the one toplevel,
// which has the last slot to itself.
struct Slot {
  uint32_t name;  // the output's global name; 0: no output (free, or the toplevel)
  wl_output* output;
  zxdg_output_v1* xdg_output;
  int32_t scale;  // at least 1 once the slot is taken
  int32_t output_x, output_y;  // the output's place in the compositor's space
  bool logical;                // ... as xdg-output gives it, which wl_output's geometry may not
  uint64_t entered;            // the toplevel: the output slots it is on, a bit each
  wl_surface* surface;
  zwlr_layer_surface_v1* layer;
  ext_session_lock_surface_v1* lock_surface;
  xdg_surface* shell_surface;
  xdg_toplevel* toplevel;
  int32_t width, height;  // surface size, from the last configure
  bool configured;
  WaylandGLSurface gl;     // what the program's drawing made on the surface
};
Slot Slots[kMostSaverSurfaces] = {};
enum : int32_t { kWindowSlot = kMostSaverSurfaces - 1, kMostOutputs = kWindowSlot };
static_assert(kMostOutputs <= 64, "a toplevel's outputs are bits of 64");

wl_registry* Registry = nullptr;
wl_compositor* Compositor = nullptr;
wl_seat* Seat = nullptr;
wl_keyboard* Keyboard = nullptr;
wl_pointer* Pointer = nullptr;
zwlr_layer_shell_v1* LayerShell = nullptr;
xdg_wm_base* WmBase = nullptr;
zxdg_output_manager_v1* OutputManager = nullptr;
wl_shm* Shm = nullptr;  // none when the compositor offers no shared memory
ext_session_lock_manager_v1* LockManager = nullptr;

bool FullScreen = false;
// -lock: the lock asked for, whether the compositor said it holds, and
// where to say so (-f's parent waits for it).
bool Locking = false;
ext_session_lock_v1* Lock = nullptr;
bool Locked = false;
int LockedSignal = -1;
int32_t Result = SAVER_EXIT_ENDED;
int64_t LastKeyMs = 0;
int32_t WindowWidth = kSaverWindowWidth, WindowHeight = kSaverWindowHeight;  // -window's first size
bool Running = false;  // the surfaces are being made: outputs that come get theirs
bool Ended = false;
// The pointer, in the compositor's space, and where it was first reported.
bool HaveOrigin = false;
int32_t OriginX = 0, OriginY = 0;
Slot* PointerSlot = nullptr;

// The slot's size in buffer pixels, to the program; not drawn until configured.
void Configured(Slot* slot, int32_t width, int32_t height) {
  slot->width = width;
  slot->height = height;
  slot->configured = true;
  if (slot->surface) wl_surface_set_buffer_scale(slot->surface, slot->scale);
  SetSaverSurface(int32_t(slot - Slots), 0, 0, width * slot->scale, height * slot->scale,
                  slot->surface != nullptr);
  SaverSurfaces[slot - Slots].scale = slot->scale;
  PaintSaver();
}

// --- layer surfaces ---

void LayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                    uint32_t height) {
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  Configured(static_cast<Slot*>(data), int32_t(width), int32_t(height));
}
void DropSurface(int32_t i);
bool AnySurface() {
  for (const Slot& s : Slots) {
    if (s.surface) return true;
  }
  return false;
}
// The compositor took this surface away (its output is going, or off): the
// other outputs keep their show, and the run ends with the last.
void ClaimKeyboard();
void LayerClosed(void* data, zwlr_layer_surface_v1*) {
  DropSurface(int32_t(static_cast<Slot*>(data) - Slots));
  if (!AnySurface()) Ended = true;
  ClaimKeyboard();
}
const zwlr_layer_surface_v1_listener kLayerListener = {LayerConfigure, LayerClosed};

// --- toplevels ---

void ShellSurfaceConfigure(void*, xdg_surface* surface, uint32_t serial) {
  xdg_surface_ack_configure(surface, serial);
}
const xdg_surface_listener kShellSurfaceListener = {ShellSurfaceConfigure};

void ToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
  Slot* slot = static_cast<Slot*>(data);
  // 0 leaves the size to us: the last one, or the window's first.
  if (width <= 0) width = slot->configured ? slot->width : WindowWidth;
  if (height <= 0) height = slot->configured ? slot->height : WindowHeight;
  Configured(slot, width, height);
}
void ToplevelClose(void*, xdg_toplevel*) { Ended = true; }
void ToplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void ToplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}
const xdg_toplevel_listener kToplevelListener = {ToplevelConfigure, ToplevelClose, ToplevelBounds,
                                                 ToplevelCapabilities};

void Ping(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }

// --- the lock ---

void LockSurfaceConfigure(void* data, ext_session_lock_surface_v1* surface, uint32_t serial,
                          uint32_t width, uint32_t height) {
  ext_session_lock_surface_v1_ack_configure(surface, serial);
  Configured(static_cast<Slot*>(data), int32_t(width), int32_t(height));
}
const ext_session_lock_surface_v1_listener kLockSurfaceListener = {LockSurfaceConfigure};

void SessionLocked(void*, ext_session_lock_v1*) {
  Locked = true;
  if (LockedSignal >= 0) {  // -f: the parent ends, the lock holds
    const char byte = 1;
    const ssize_t ignored = write(LockedSignal, &byte, 1);
    (void)ignored;
    close(LockedSignal);
    LockedSignal = -1;
    const int quiet = open("/dev/null", O_WRONLY);  // the caller's stderr, let go too
    if (quiet >= 0) {
      dup2(quiet, STDERR_FILENO);
      close(quiet);
    }
  }
}
// Before `locked`: another locker holds the session, or the compositor won't
// lock. After it: the compositor ends the lock its own way; never a reason
// for this program to unlock.
void LockFinished(void*, ext_session_lock_v1*) {
  SayProblem(Locked ? "the compositor ended the lock" : "the compositor refused the lock: another "
                                                         "locker holds the session");
  if (!Locked) {
    ext_session_lock_v1_destroy(Lock);
    Lock = nullptr;
  }
  Result = SAVER_EXIT_CANNOT_RUN;
  Ended = true;
}
const ext_session_lock_v1_listener kLockListener = {SessionLocked, LockFinished};
const xdg_wm_base_listener kWmBaseListener = {Ping};

// A toplevel's buffers follow the largest scale of the outputs it is on.
void FollowWindowScale() {
  Slot& window = Slots[kWindowSlot];
  int32_t scale = 0;
  for (int32_t i = 0; i < kMostOutputs; ++i) {
    if (window.entered >> i & 1 && Slots[i].scale > scale) scale = Slots[i].scale;
  }
  if (scale == 0 || scale == window.scale) return;  // on no output: as it was
  window.scale = scale;
  if (window.configured) Configured(&window, window.width, window.height);
}
void SurfaceEnterOrLeave(void* data, wl_output* output, bool entered) {
  Slot* slot = static_cast<Slot*>(data);
  if (!slot->toplevel) return;
  for (int32_t i = 0; i < kMostOutputs; ++i) {
    if (!Slots[i].output || Slots[i].output != output) continue;
    slot->entered =
        entered ? slot->entered | uint64_t{1} << i : slot->entered & ~(uint64_t{1} << i);
  }
  FollowWindowScale();
}
void SurfaceEnter(void* data, wl_surface*, wl_output* output) {
  SurfaceEnterOrLeave(data, output, true);
}
void SurfaceLeave(void* data, wl_surface*, wl_output* output) {
  SurfaceEnterOrLeave(data, output, false);
}
const wl_surface_listener kSurfaceListener = {SurfaceEnter, SurfaceLeave};

// --- outputs ---

void OutputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                    const char*, const char*, int32_t) {
  Slot* slot = static_cast<Slot*>(data);
  if (slot->logical) return;  // wlroots says 0, 0 here for every output
  slot->output_x = x;
  slot->output_y = y;
}
void OutputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
void OutputDone(void* data, wl_output*) {
  Slot* slot = static_cast<Slot*>(data);
  if (slot->configured) Configured(slot, slot->width, slot->height);  // a new scale
  FollowWindowScale();
}
void OutputScale(void* data, wl_output*, int32_t factor) {
  static_cast<Slot*>(data)->scale = factor > 0 ? factor : 1;
}
void OutputName(void*, wl_output*, const char*) {}
void OutputDescription(void*, wl_output*, const char*) {}
const wl_output_listener kOutputListener = {OutputGeometry, OutputMode, OutputDone, OutputScale,
                                            OutputName, OutputDescription};

void LogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
  Slot* slot = static_cast<Slot*>(data);
  slot->output_x = x;
  slot->output_y = y;
  slot->logical = true;
}
void LogicalSize(void*, zxdg_output_v1*, int32_t, int32_t) {}
void LogicalDone(void*, zxdg_output_v1*) {}
void LogicalName(void*, zxdg_output_v1*, const char*) {}
void LogicalDescription(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener kLogicalListener = {LogicalPosition, LogicalSize, LogicalDone,
                                                  LogicalName, LogicalDescription};

void AskLogicalPlace(Slot* slot) {
  if (!OutputManager || !slot->output || slot->xdg_output) return;
  slot->xdg_output = zxdg_output_manager_v1_get_xdg_output(OutputManager, slot->output);
  zxdg_output_v1_add_listener(slot->xdg_output, &kLogicalListener, slot);
}

wl_surface* MakeSurface(Slot* slot) {
  slot->surface = wl_compositor_create_surface(Compositor);
  if (slot->surface) wl_surface_add_listener(slot->surface, &kSurfaceListener, slot);
  return slot->surface;
}

void MakeLayerSurface(Slot* slot) {
  if (!MakeSurface(slot)) return;
  slot->layer = zwlr_layer_shell_v1_get_layer_surface(
      LayerShell, slot->surface, slot->output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, kSaverAppId);
  zwlr_layer_surface_v1_add_listener(slot->layer, &kLayerListener, slot);
  zwlr_layer_surface_v1_set_size(slot->layer, 0, 0);
  zwlr_layer_surface_v1_set_anchor(slot->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                    ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                    ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
  zwlr_layer_surface_v1_set_exclusive_zone(slot->layer, -1);
  zwlr_layer_surface_v1_set_keyboard_interactivity(slot->layer, 1);
  wl_surface_commit(slot->surface);
}

void MakeToplevel(Slot* slot) {
  if (!MakeSurface(slot)) return;
  slot->shell_surface = xdg_wm_base_get_xdg_surface(WmBase, slot->surface);
  xdg_surface_add_listener(slot->shell_surface, &kShellSurfaceListener, slot);
  slot->toplevel = xdg_surface_get_toplevel(slot->shell_surface);
  xdg_toplevel_add_listener(slot->toplevel, &kToplevelListener, slot);
  xdg_toplevel_set_title(slot->toplevel, kSaverTitle);
  xdg_toplevel_set_app_id(slot->toplevel, kSaverAppId);
  if (FullScreen) xdg_toplevel_set_fullscreen(slot->toplevel, nullptr);
  wl_surface_commit(slot->surface);
}

void MakeLockSurface(Slot* slot) {
  if (!Lock || !slot->output || !MakeSurface(slot)) return;
  slot->lock_surface = ext_session_lock_v1_get_lock_surface(Lock, slot->surface, slot->output);
  ext_session_lock_surface_v1_add_listener(slot->lock_surface, &kLockSurfaceListener, slot);
}

// Takes down a slot's surface, what the drawing made on it first.
void DropSurface(int32_t i) {
  Slot& s = Slots[i];
  ReleaseWaylandSurface(&s.gl);
  if (PointerSlot == &s) PointerSlot = nullptr;
  if (s.layer) zwlr_layer_surface_v1_destroy(s.layer);
  if (s.lock_surface) ext_session_lock_surface_v1_destroy(s.lock_surface);
  if (s.toplevel) xdg_toplevel_destroy(s.toplevel);
  if (s.shell_surface) xdg_surface_destroy(s.shell_surface);
  if (s.surface) wl_surface_destroy(s.surface);
  s.layer = nullptr;
  s.lock_surface = nullptr;
  s.toplevel = nullptr;
  s.shell_surface = nullptr;
  s.surface = nullptr;
  s.configured = false;
  SetSaverSurface(i, 0, 0, 0, 0, 0);
}

void DropSlot(int32_t i) {
  DropSurface(i);
  if (Slots[i].xdg_output) zxdg_output_v1_destroy(Slots[i].xdg_output);
  if (Slots[i].output) wl_output_destroy(Slots[i].output);
  Slots[i] = Slot{};
  Slots[kWindowSlot].entered &= ~(uint64_t{1} << i);
}

// --- input ---

int64_t NowMilliseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

void EndOnInput() {
  if (FullScreen && !Locking) Ended = true;
}

// A position in the compositor's space; the first one is where moves count from.
void PointerAt(Slot* slot, wl_fixed_t x, wl_fixed_t y) {
  if (!slot || !FullScreen || Locking) return;
  const int32_t at_x = slot->output_x + wl_fixed_to_int(x + 128);
  const int32_t at_y = slot->output_y + wl_fixed_to_int(y + 128);
  if (!HaveOrigin) {
    HaveOrigin = true;
    OriginX = at_x;
    OriginY = at_y;
  } else if (PointerMoveWakes(at_x, at_y, OriginX, OriginY)) {
    Ended = true;
  }
}

void PointerEnter(void*, wl_pointer* pointer, uint32_t serial, wl_surface* surface, wl_fixed_t x,
                  wl_fixed_t y) {
  PointerSlot = nullptr;
  for (Slot& s : Slots) {
    if (s.surface && s.surface == surface) PointerSlot = &s;
  }
  if (FullScreen) wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);  // no cursor over the show
  PointerAt(PointerSlot, x, y);
}
void PointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) { PointerSlot = nullptr; }
void PointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
  PointerAt(PointerSlot, x, y);
}
void PointerButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
  if (state == WL_POINTER_BUTTON_STATE_PRESSED) EndOnInput();
}
void PointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void PointerFrame(void*, wl_pointer*) {}
void PointerAxisSource(void*, wl_pointer*, uint32_t) {}
void PointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void PointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
void PointerAxisValue120(void*, wl_pointer*, uint32_t, int32_t) {}
const wl_pointer_listener kPointerListener = {
    PointerEnter, PointerLeave,      PointerMotion,   PointerButton,       PointerAxis,
    PointerFrame, PointerAxisSource, PointerAxisStop, PointerAxisDiscrete, PointerAxisValue120};

void KeyboardKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t size) {
  if (!Locking) {
    close(fd);
  } else if (!TakeKeymap(fd, size)) {
    SayProblem(
        "the compositor's keymap can't be read; keys are read with the one before, or the default");
  }
}
void KeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void KeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void ShowLockState();
void KeyboardKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
  if (state != WL_KEYBOARD_KEY_STATE_PRESSED) return;
  if (!Locking) {
    EndOnInput();
    return;
  }
  const PasswordKey pressed = PressKey(key);
  LastKeyMs = NowMilliseconds();
  SaverLockShown.shown = 1;
  if (pressed != KEY_IGNORED) SaverLockShown.wrong = 0;
  ShowLockState();
}
void KeyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                       uint32_t locked, uint32_t group) {
  if (!Locking) return;
  TakeModifiers(depressed, latched, locked, group);
  ShowLockState();
}
void KeyboardRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboardListener = {KeyboardKeymap, KeyboardEnter,     KeyboardLeave,
                                                KeyboardKey,    KeyboardModifiers, KeyboardRepeat};

void SeatCapabilities(void*, wl_seat* seat, uint32_t capabilities) {
  const bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
  const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
  if (keyboard && !Keyboard) {
    Keyboard = wl_seat_get_keyboard(seat);
    wl_keyboard_add_listener(Keyboard, &kKeyboardListener, nullptr);
  } else if (!keyboard && Keyboard) {
    wl_keyboard_destroy(Keyboard);
    Keyboard = nullptr;
  }
  if (pointer && !Pointer) {
    Pointer = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(Pointer, &kPointerListener, nullptr);
  } else if (!pointer && Pointer) {
    wl_pointer_destroy(Pointer);
    Pointer = nullptr;
    PointerSlot = nullptr;
  }
}
void SeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeatListener = {SeatCapabilities, SeatName};

// --- globals ---

uint32_t Version(uint32_t offered, uint32_t most) { return offered < most ? offered : most; }

void AddOutput(uint32_t name, uint32_t version) {
  for (int32_t i = 0; i < kMostOutputs; ++i) {
    Slot& s = Slots[i];
    if (s.name) continue;
    s = Slot{};
    s.name = name;
    s.scale = 1;
    s.output = static_cast<wl_output*>(
        wl_registry_bind(Registry, name, &wl_output_interface, Version(version, 2)));
    wl_output_add_listener(s.output, &kOutputListener, &s);
    AskLogicalPlace(&s);
    if (Running && Locking) {
      MakeLockSurface(&s);
    } else if (Running && FullScreen && LayerShell) {
      MakeLayerSurface(&s);
    }
    return;
  }
  static bool said = false;
  if (!said) SayProblem("more than %d outputs; the saver shows on %d of them",
                          int(kMostOutputs), int(kMostOutputs));
  said = true;
}

void Global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
  const std::string_view which(interface);
  if (which == wl_compositor_interface.name) {
    Compositor = static_cast<wl_compositor*>(
        wl_registry_bind(registry, name, &wl_compositor_interface, Version(version, 4)));
  } else if (which == wl_seat_interface.name && !Seat) {
    Seat = static_cast<wl_seat*>(
        wl_registry_bind(registry, name, &wl_seat_interface, Version(version, 5)));
    wl_seat_add_listener(Seat, &kSeatListener, nullptr);
  } else if (which == wl_output_interface.name) {
    AddOutput(name, version);
  } else if (which == wl_shm_interface.name && !Shm) {
    Shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  } else if (which == zwlr_layer_shell_v1_interface.name) {
    LayerShell = static_cast<zwlr_layer_shell_v1*>(
        wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, Version(version, 4)));
  } else if (which == xdg_wm_base_interface.name) {
    WmBase = static_cast<xdg_wm_base*>(
        wl_registry_bind(registry, name, &xdg_wm_base_interface, Version(version, 2)));
    xdg_wm_base_add_listener(WmBase, &kWmBaseListener, nullptr);
  } else if (which == ext_session_lock_manager_v1_interface.name && !LockManager) {
    LockManager = static_cast<ext_session_lock_manager_v1*>(
        wl_registry_bind(registry, name, &ext_session_lock_manager_v1_interface, 1));
  } else if (which == zxdg_output_manager_v1_interface.name && !OutputManager) {
    OutputManager = static_cast<zxdg_output_manager_v1*>(
        wl_registry_bind(registry, name, &zxdg_output_manager_v1_interface, Version(version, 3)));
    for (int32_t i = 0; i < kMostOutputs; ++i) AskLogicalPlace(&Slots[i]);
  }
}

// The keyboard may have gone with an output's surface: asking for it again
// has the compositor give it to a surface that is left (sway keeps it
// nowhere until a layer surface commits such a request).
void ClaimKeyboard() {
  for (Slot& s : Slots) {
    if (!s.layer) continue;
    zwlr_layer_surface_v1_set_keyboard_interactivity(s.layer, 1);
    wl_surface_commit(s.surface);
  }
}

void GlobalRemove(void*, wl_registry*, uint32_t name) {
  for (int32_t i = 0; i < kMostOutputs; ++i) {
    if (Slots[i].name != name) continue;
    DropSlot(i);
    ClaimKeyboard();
  }
  FollowWindowScale();
}
const wl_registry_listener kRegistryListener = {Global, GlobalRemove};

// --- the drawing: one EGL context, current on each surface in turn ---

// Without a context nothing is ever shown: the compositor shows no surface
// without a buffer, so the run would go on unseen, ending on nothing.
bool MakeContext() {
  if (CreateWaylandContext(SaverWaylandDisplay, Shm)) return true;
  EndSaverRun(SAVER_EXIT_CANNOT_RUN);
  return false;
}
void DropContext() {
  for (Slot& s : Slots) ReleaseWaylandSurface(&s.gl);
  DestroyWaylandContext();
}
int32_t BeginSurface(int32_t i) {
  Slot& s = Slots[i];
  if (!s.surface) return -1;
  return UseWaylandSurface(&s.gl, s.surface, SaverSurfaces[i].width, SaverSurfaces[i].height);
}
void PresentSurface(int32_t i, int32_t x, int32_t y, int32_t width, int32_t height) {
  PresentWaylandSurface(&Slots[i].gl, x, y, width, height);
}
void EndFrame() {}
const SaverDrawing kDrawing = {MakeContext, DropContext, BeginSurface, PresentSurface, EndFrame};

// --- the loop ---

// Reads and handles what the compositor sent, waiting at most `timeout`
// milliseconds; false when the compositor is gone.
bool Dispatch(int32_t timeout) {
  wl_display* display = SaverWaylandDisplay;
  while (wl_display_prepare_read(display) != 0) {
    if (wl_display_dispatch_pending(display) < 0) return false;
  }
  if (wl_display_flush(display) < 0 && errno != EAGAIN) {
    wl_display_cancel_read(display);
    return false;
  }
  if (WaitForEvents(wl_display_get_fd(display), timeout)) {
    if (wl_display_read_events(display) < 0) return false;
  } else {
    wl_display_cancel_read(display);
  }
  return wl_display_dispatch_pending(display) >= 0;
}

void Synced(void* data, wl_callback* callback, uint32_t) {
  *static_cast<bool*>(data) = true;
  wl_callback_destroy(callback);
}
const wl_callback_listener kSyncListener = {Synced};

// A round trip that a signal cuts short: a compositor that accepts and
// never answers must not keep the run from ending.
enum class Trip { kDone, kSignal, kGone };
Trip RoundTrip() {
  bool done = false;
  wl_callback* callback = wl_display_sync(SaverWaylandDisplay);
  wl_callback_add_listener(callback, &kSyncListener, &done);
  while (!done) {
    if (SignalArrived()) return Trip::kSignal;
    if (!Dispatch(-1)) return Trip::kGone;
  }
  return Trip::kDone;
}

// The session opens only here, once the password was accepted, and the
// program ends with 0 once the compositor has answered after the unlock (a
// signal meanwhile doesn't cut that short: the watchdog still ends a run
// whose compositor never answers).
void Unlock() {
  if (!Lock || !Locked) return;  // accepted before the lock held: once it does
  ext_session_lock_v1_unlock_and_destroy(Lock);
  Lock = nullptr;
  Result =
      wl_display_roundtrip(SaverWaylandDisplay) >= 0 ? SAVER_EXIT_ENDED : SAVER_EXIT_CANNOT_RUN;
  Ended = true;
}

void ShowLockState() {
  SaverLockShown.marks = TypedCharacters();
  SaverLockShown.caps_lock = CapsLockOn();
}

// The check's end: the session opened, or "wrong" said; and the indicator
// gone 10 s after the last key.
void FollowPasswordCheck() {
  static PasswordCheck was = CHECK_NONE;
  const PasswordCheck now = PasswordCheckState();
  if (now == CHECK_ACCEPTED) Unlock();
  if (was == CHECK_RUNNING && now == CHECK_REFUSED) SaverLockShown.wrong = 1;
  was = now;
  SaverLockShown.checking = now == CHECK_RUNNING;
  ShowLockState();
  if (SaverLockShown.shown && !SaverLockShown.checking && NowMilliseconds() - LastKeyMs > 10000) {
    SaverLockShown.shown = 0;
  }
}

void TearDownAll() {
  for (int32_t i = 0; i < kMostSaverSurfaces; ++i) DropSlot(i);
  SaverSurfaceCount = 0;
  if (Keyboard) wl_keyboard_destroy(Keyboard);
  if (Pointer) wl_pointer_destroy(Pointer);
  if (Seat) wl_seat_destroy(Seat);
  if (LayerShell) zwlr_layer_shell_v1_destroy(LayerShell);
  if (WmBase) xdg_wm_base_destroy(WmBase);
  if (OutputManager) zxdg_output_manager_v1_destroy(OutputManager);
  if (Lock && !Locked)
    ext_session_lock_v1_destroy(Lock);  // once locked, only the password opens it
  Lock = nullptr;
  if (LockManager) ext_session_lock_manager_v1_destroy(LockManager);
  if (Compositor) wl_compositor_destroy(Compositor);
  if (Shm) wl_shm_destroy(Shm);
  if (Registry) wl_registry_destroy(Registry);
  Keyboard = nullptr;
  Pointer = nullptr;
  Seat = nullptr;
  LayerShell = nullptr;
  WmBase = nullptr;
  OutputManager = nullptr;
  LockManager = nullptr;
  Compositor = nullptr;
  Shm = nullptr;
  Registry = nullptr;
}

// The lock, a lock surface on every output; false, having said why, when
// the compositor offers no way to lock. Never anything that a locker's end
// would open, as an overlay with the input held would be.
bool MakeLock() {
  if (!LockManager) {
    SayProblem("the compositor offers no ext-session-lock-v1 to lock the session with; use its own "
               "locker (swaylock on sway before 1.8, the desktop's lock on GNOME)");
    return false;
  }
  if (const char* problem = OpenPasswordField()) {
    SayProblem("%s", problem);
    return false;
  }
  SaverLockShown.user = LockedUserName();
  Lock = ext_session_lock_manager_v1_lock(LockManager);
  ext_session_lock_v1_add_listener(Lock, &kLockListener, nullptr);
  for (Slot& s : Slots) MakeLockSurface(&s);
  return true;
}

// The surfaces of the mode; false, having said why, when there can be none.
bool MakeSurfaces() {
  if (!Compositor) {
    SayProblem("the Wayland compositor offers no wl_compositor");
    return false;
  }
  if (Locking) return MakeLock();
  if (FullScreen && LayerShell) {
    for (Slot& s : Slots) {
      if (s.output) MakeLayerSurface(&s);
    }
    return true;
  }
  if (!WmBase) {
    SayProblem("the Wayland compositor offers neither the layer shell nor xdg-shell");
    return false;
  }
  if (FullScreen) {
    SayProblem("the compositor has no layer shell (zwlr_layer_shell_v1); the saver runs in one "
               "full-screen window");
  }
  Slots[kWindowSlot] = Slot{};
  Slots[kWindowSlot].scale = 1;
  MakeToplevel(&Slots[kWindowSlot]);
  return true;
}

}  // namespace


int32_t RunWaylandSaver(wl_display* display, const SaverArguments& arguments, int locked_signal) {
  SaverWaylandDisplay = display;
  SaverDrawingInUse = &kDrawing;
  Locking = arguments.mode == MODE_LOCK;
  FullScreen = arguments.mode == MODE_FULL_SCREEN || Locking;
  LockedSignal = locked_signal;
  Result = SAVER_EXIT_ENDED;
  SaverSignalExit = Locking ? SAVER_EXIT_CANNOT_RUN : SAVER_EXIT_ENDED;
  const SaverGeometry& geometry = arguments.geometry;
  WindowWidth = geometry.has_size ? geometry.width : kSaverWindowWidth;
  WindowHeight = geometry.has_size ? geometry.height : kSaverWindowHeight;
  CatchEndingSignals();
  Registry = wl_display_get_registry(display);
  wl_registry_add_listener(Registry, &kRegistryListener, nullptr);
  Trip trip = RoundTrip();  // the globals,
  if (trip == Trip::kDone) trip = RoundTrip();  // and what the outputs say of themselves
  if (trip == Trip::kGone) {
    SayProblem("the Wayland compositor went away before it answered");
    Result = SAVER_EXIT_CANNOT_RUN;
  } else if (trip == Trip::kSignal) {
    Result = SaverSignalExit;
  } else {
    CubeSaverProc(SAVER_CREATE);
    Running = true;
    if (MakeSurfaces()) {
      // What the compositor sent is read after every tick: frames slower than
      // the tick must not keep input (or the compositor's end) waiting.
      while (!Ended && !SaverRunEnding(&Result)) {
        if (SignalArrived()) {
          Result = SaverSignalExit;
          break;
        }
        if (SaverTimerDue()) CubeSaverProc(SAVER_TIMER);
        if (Locking) FollowPasswordCheck();
        if (!Dispatch(MillisecondsToTick())) {  // the compositor is gone
          if (Locking) Result = SAVER_EXIT_CANNOT_RUN;  // and the lock with it, not opened by us
          break;
        }
      }
    } else {
      Result = SAVER_EXIT_CANNOT_RUN;
    }
    DestroySaver();
  }
  if (Locking) ClosePasswordField();
  TearDownAll();
  wl_display_disconnect(display);
  SaverWaylandDisplay = nullptr;
  Running = Ended = HaveOrigin = Locked = false;
  SaverLockShown = SaverLockView{};
  return Result;
}
