// A headless Wayland compositor for the lock screen's tests (no compositor
// packaged here offers ext-session-lock-v1). It shows nothing and has no
// input devices: it keeps each lock surface's last buffer and types keys
// through an xkb keymap when the test says so.
//
//   lock_compositor [--layout XKB_LAYOUT] [--output WxH[@SCALE]]...
//
// It prints "socket NAME", then answers each line on stdin with one line,
// "ok ..." or "error ...". Outputs are numbered from 0 in the order made.
//   type TEXT           each character's key, with Shift where the layout needs it
//                       (as with Caps Lock off: with it on, letters swap case)
//   key [ctrl+]KEYSYM   one key (Return, BackSpace, Escape, Caps_Lock, ...), with Ctrl
//                       held for ctrl+: "key ctrl+u"
//   shot N FILE         output N's last lock-surface buffer as a binary PPM: "ok WxH"
//   state               unlocked|locking|locked|locked-no-client
//   add-output WxH[@S]  "ok N"
//   remove-output N
// It ends on SIGTERM or the end of its input.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-server.h>
#include <xkbcommon/xkbcommon.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "ext-session-lock-v1-server-protocol.h"

namespace {

struct LockSurface;

struct Surface {
  wl_resource* resource = nullptr;
  wl_resource* pending = nullptr;  // the buffer attached, till the commit
  bool attached = false, has_role = false, has_buffer = false;
  int pending_scale = 1, scale = 1;
  int width = 0, height = 0;    // the last buffer's, in pixels
  std::vector<uint8_t> pixels;  // a copy of it for lock surfaces, as wl_shm holds it
  wl_list pending_frames;
  LockSurface* lock_surface = nullptr;
};

struct Lock {
  wl_resource* resource = nullptr;
  bool locked_sent = false;
};

struct Output {
  int index, width, height, scale;
  wl_global* global = nullptr;
  bool removed = false;  // kept, so that clients' wl_output objects stay valid
  LockSurface* lock_surface = nullptr;  // the holder's, if any
};

struct LockSurface {
  wl_resource* resource = nullptr;
  Surface* surface = nullptr;
  Output* output = nullptr;  // while it is the holder's and the output lives
  uint32_t serial = 0, width = 0, height = 0;
  bool acked = false;
};

wl_display* Display;
std::vector<std::unique_ptr<Output>> Outputs;
Lock* Holder = nullptr;  // the lock of the client that may unlock
bool SessionLocked = false;
Surface* Focus = nullptr;
wl_list Keyboards;  // every client's wl_keyboard
xkb_keymap* Keymap;
xkb_state* KeyState;
int KeymapFd = -1;
uint32_t KeymapSize = 0;
xkb_keycode_t ShiftKey;

uint32_t NowMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return uint32_t(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

template <typename T>
T* Data(wl_resource* resource) {
  return static_cast<T*>(wl_resource_get_user_data(resource));
}

template <typename... Args>
void Ignore(wl_client*, wl_resource*, Args...) {}
void DestroyResource(wl_client*, wl_resource* resource) { wl_resource_destroy(resource); }
void Unlink(wl_resource* resource) { wl_list_remove(wl_resource_get_link(resource)); }

// A new object for a request (short of memory, a test compositor gives up).
wl_resource* Create(wl_client* client, const wl_interface* interface, int version, uint32_t id,
                    const void* implementation, void* data, wl_resource_destroy_func_t gone) {
  wl_resource* resource = wl_resource_create(client, interface, version, id);
  if (!resource) std::abort();
  wl_resource_set_implementation(resource, implementation, data, gone);
  return resource;
}

template <const wl_interface* Interface, auto Implementation>
void Bind(wl_client* client, void*, uint32_t version, uint32_t id) {
  Create(client, Interface, int(version), id, Implementation, nullptr, nullptr);
}

// --- Keyboard focus and keys ---

// Calls send for each wl_keyboard of the focused surface's client; how many.
template <typename Send>
int ToFocus(Send send) {
  int count = 0;
  wl_resource* keyboard;
  wl_resource_for_each(keyboard, &Keyboards) {
    if (Focus && wl_resource_get_client(keyboard) == wl_resource_get_client(Focus->resource)) {
      send(keyboard);
      ++count;
    }
  }
  return count;
}

void SendModifiers(wl_resource* keyboard) {
  wl_keyboard_send_modifiers(keyboard, wl_display_next_serial(Display),
                             xkb_state_serialize_mods(KeyState, XKB_STATE_MODS_DEPRESSED),
                             xkb_state_serialize_mods(KeyState, XKB_STATE_MODS_LATCHED),
                             xkb_state_serialize_mods(KeyState, XKB_STATE_MODS_LOCKED),
                             xkb_state_serialize_layout(KeyState, XKB_STATE_LAYOUT_EFFECTIVE));
}

void Enter(wl_resource* keyboard) {
  wl_array keys;
  wl_array_init(&keys);
  wl_keyboard_send_enter(keyboard, wl_display_next_serial(Display), Focus->resource, &keys);
  wl_array_release(&keys);
  SendModifiers(keyboard);
}

// Keys go to a lock surface of the holder's: the focused one while it stays,
// else the first output's.
void Refocus() {
  if (Focus && Focus->lock_surface && Focus->lock_surface->output) return;
  Surface* next = nullptr;
  for (auto& output : Outputs) {
    if (!next && output->lock_surface) next = output->lock_surface->surface;
  }
  if (next == Focus) return;
  ToFocus([](wl_resource* keyboard) {
    wl_keyboard_send_leave(keyboard, wl_display_next_serial(Display), Focus->resource);
  });
  Focus = next;
  ToFocus(Enter);
}

// Presses or releases a key (an xkb keycode); whether a client got it.
bool SendKey(xkb_keycode_t code, bool down) {
  uint32_t serial = wl_display_next_serial(Display), time = NowMs();
  int got = ToFocus([&](wl_resource* keyboard) {
    wl_keyboard_send_key(keyboard, serial, time, code - 8,
                         down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  });
  if (xkb_state_update_key(KeyState, code, down ? XKB_KEY_DOWN : XKB_KEY_UP)) {
    ToFocus(SendModifiers);
  }
  return got > 0;
}

// A key and the keys held for it (Shift for its second level).
struct Stroke {
  xkb_keycode_t code = 0;
  std::vector<xkb_keycode_t> held;
};

// The held keys pressed, then the key; all released in the other order.
bool Tap(const Stroke& stroke) {
  std::vector<xkb_keycode_t> keys = stroke.held;
  keys.push_back(stroke.code);
  bool got = true;
  for (xkb_keycode_t key : keys) got = SendKey(key, true) && got;
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) got = SendKey(*key, false) && got;
  return got;
}

// The first key that gives the keysym at its first level, or with Shift at
// its second.
Stroke FindKey(xkb_keysym_t sym) {
  xkb_keycode_t last = xkb_keymap_max_keycode(Keymap);
  for (xkb_level_index_t level = 0; level < 2; ++level) {
    for (xkb_keycode_t code = xkb_keymap_min_keycode(Keymap); sym && code <= last; ++code) {
      const xkb_keysym_t* syms;
      if (xkb_keymap_key_get_syms_by_level(Keymap, code, 0, level, &syms) == 1 && syms[0] == sym) {
        return level ? Stroke{code, {ShiftKey}} : Stroke{code, {}};
      }
    }
  }
  return {};
}

std::string Type(const std::string& text) {
  std::vector<Stroke> strokes;  // all found before any is sent
  std::mbstate_t state{};
  for (size_t at = 0, used; at < text.size(); at += used) {
    wchar_t point = 0;
    used = std::mbrtowc(&point, text.data() + at, text.size() - at, &state);
    if (used == 0 || used > text.size() - at) return "error not UTF-8 text";
    strokes.push_back(FindKey(xkb_utf32_to_keysym(uint32_t(point))));
    if (!strokes.back().code) return "error no key types " + text.substr(at, used);
  }
  bool got = true;
  for (const Stroke& stroke : strokes) got = Tap(stroke) && got;
  return got ? "ok" : "error no client has the keyboard focus";
}

std::string Key(std::string name) {
  Stroke stroke;
  if (name.rfind("ctrl+", 0) == 0 && name.size() > 5) {
    stroke.held.push_back(FindKey(XKB_KEY_Control_L).code);
    name.erase(0, 5);
  }
  stroke.code = FindKey(xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS)).code;
  if (!stroke.code) return "error no key " + name;
  return Tap(stroke) ? "ok" : "error no client has the keyboard focus";
}

// --- The session lock ---

void Detach(LockSurface* lock_surface) {
  if (lock_surface->output) lock_surface->output->lock_surface = nullptr;
  lock_surface->output = nullptr;
}

// `locked` goes out once every output shows a buffer of the holder's.
void CheckLocked() {
  if (!Holder || Holder->locked_sent) return;
  for (auto& output : Outputs) {
    LockSurface* lock_surface = output->lock_surface;
    if (!output->removed && !(lock_surface && lock_surface->surface->has_buffer)) return;
  }
  ext_session_lock_v1_send_locked(Holder->resource);
  Holder->locked_sent = true;
}

void LockSurfaceGone(wl_resource* resource) {
  auto* lock_surface = Data<LockSurface>(resource);
  if (lock_surface->surface) lock_surface->surface->lock_surface = nullptr;
  Detach(lock_surface);
  delete lock_surface;
  Refocus();
}

void AckConfigure(wl_client*, wl_resource* resource, uint32_t serial) {
  auto* lock_surface = Data<LockSurface>(resource);
  if (lock_surface->acked || serial != lock_surface->serial) {
    return wl_resource_post_error(resource, EXT_SESSION_LOCK_SURFACE_V1_ERROR_INVALID_SERIAL,
                                  "serial %u acks no configure", serial);
  }
  lock_surface->acked = true;
}

const struct ext_session_lock_surface_v1_interface kLockSurface = {DestroyResource, AckConfigure};

void CommitLockSurface(LockSurface* lock_surface) {
  const Surface& surface = *lock_surface->surface;
  wl_resource* resource = lock_surface->resource;
  if (!lock_surface->acked) {
    wl_resource_post_error(resource, EXT_SESSION_LOCK_SURFACE_V1_ERROR_COMMIT_BEFORE_FIRST_ACK,
                           "commit before the first ack_configure");
  } else if (!surface.has_buffer) {
    wl_resource_post_error(resource, EXT_SESSION_LOCK_SURFACE_V1_ERROR_NULL_BUFFER, "no buffer");
  } else if (uint32_t(surface.width) != lock_surface->width * surface.scale ||
             uint32_t(surface.height) != lock_surface->height * surface.scale) {
    wl_resource_post_error(resource, EXT_SESSION_LOCK_SURFACE_V1_ERROR_DIMENSIONS_MISMATCH,
                           "a %dx%d buffer at scale %d for %ux%u", surface.width, surface.height,
                           surface.scale, lock_surface->width, lock_surface->height);
  } else {
    CheckLocked();
  }
}

void GetLockSurface(wl_client* client, wl_resource* resource, uint32_t id,
                    wl_resource* surface_resource, wl_resource* output_resource) {
  auto* surface = Data<Surface>(surface_resource);
  auto* output = Data<Output>(output_resource);
  bool shown = Data<Lock>(resource) == Holder && !output->removed;
  if (surface->has_role) {
    return wl_resource_post_error(resource, EXT_SESSION_LOCK_V1_ERROR_ROLE, "has a role");
  }
  if (surface->has_buffer || (surface->attached && surface->pending)) {
    return wl_resource_post_error(resource, EXT_SESSION_LOCK_V1_ERROR_ALREADY_CONSTRUCTED,
                                  "has a buffer");
  }
  if (shown && output->lock_surface) {
    return wl_resource_post_error(resource, EXT_SESSION_LOCK_V1_ERROR_DUPLICATE_OUTPUT,
                                  "output %d has a lock surface", output->index);
  }
  auto* lock_surface = new LockSurface;
  lock_surface->resource = Create(client, &ext_session_lock_surface_v1_interface, 1, id,
                                  &kLockSurface, lock_surface, LockSurfaceGone);
  surface->has_role = true;
  surface->lock_surface = lock_surface;
  lock_surface->surface = surface;
  if (shown) output->lock_surface = lock_surface, lock_surface->output = output;
  lock_surface->width = uint32_t(output->width / output->scale);
  lock_surface->height = uint32_t(output->height / output->scale);
  lock_surface->serial = wl_display_next_serial(Display);
  ext_session_lock_surface_v1_send_configure(lock_surface->resource, lock_surface->serial,
                                             lock_surface->width, lock_surface->height);
  Refocus();
}

void DestroyLock(wl_client*, wl_resource* resource) {
  if (Data<Lock>(resource)->locked_sent) {
    return wl_resource_post_error(resource, EXT_SESSION_LOCK_V1_ERROR_INVALID_DESTROY,
                                  "destroy after locked");
  }
  wl_resource_destroy(resource);
}

void UnlockAndDestroy(wl_client*, wl_resource* resource) {
  if (!Data<Lock>(resource)->locked_sent) {
    return wl_resource_post_error(resource, EXT_SESSION_LOCK_V1_ERROR_INVALID_UNLOCK,
                                  "unlock before locked");
  }
  SessionLocked = false;
  wl_resource_destroy(resource);
}

// A holder gone any other way than by unlocking (destroyed before locked,
// or its client gone) leaves the session locked for the next locker.
void LockGone(wl_resource* resource) {
  if (Data<Lock>(resource) == Holder) {
    for (auto& output : Outputs) {
      if (output->lock_surface) Detach(output->lock_surface);
    }
    Holder = nullptr;
  }
  delete Data<Lock>(resource);
  Refocus();
}

const struct ext_session_lock_v1_interface kLock = {DestroyLock, GetLockSurface, UnlockAndDestroy};

void NewLock(wl_client* client, wl_resource*, uint32_t id) {
  auto* lock = new Lock;
  lock->resource = Create(client, &ext_session_lock_v1_interface, 1, id, &kLock, lock, LockGone);
  if (Holder) return ext_session_lock_v1_send_finished(lock->resource);
  Holder = lock;
  SessionLocked = true;
  CheckLocked();
}

const struct ext_session_lock_manager_v1_interface kLockManager = {DestroyResource, NewLock};

// --- Surfaces ---

void Attach(wl_client*, wl_resource* resource, wl_resource* buffer, int32_t, int32_t) {
  auto* surface = Data<Surface>(resource);
  surface->attached = true;
  surface->pending = buffer;
}

void Frame(wl_client* client, wl_resource* resource, uint32_t id) {
  wl_resource* callback = Create(client, &wl_callback_interface, 1, id, nullptr, nullptr, Unlink);
  wl_list* frames = &Data<Surface>(resource)->pending_frames;
  wl_list_insert(frames->prev, wl_resource_get_link(callback));
}

void SetBufferScale(wl_client*, wl_resource* resource, int32_t scale) {
  if (scale < 1) {
    return wl_resource_post_error(resource, WL_SURFACE_ERROR_INVALID_SCALE, "scale %d", scale);
  }
  Data<Surface>(resource)->pending_scale = scale;
}

// The pixels are copied (for lock surfaces, whose pictures the test asks
// for) and the buffer given back at once.
void TakeBuffer(Surface* surface, wl_resource* buffer) {
  wl_shm_buffer* shm = wl_shm_buffer_get(buffer);  // wl_shm makes every buffer here
  surface->width = wl_shm_buffer_get_width(shm);
  surface->height = wl_shm_buffer_get_height(shm);
  if (surface->lock_surface) {
    size_t row = size_t(surface->width) * 4, stride = size_t(wl_shm_buffer_get_stride(shm));
    surface->pixels.resize(row * size_t(surface->height));
    wl_shm_buffer_begin_access(shm);
    auto* data = static_cast<const uint8_t*>(wl_shm_buffer_get_data(shm));
    for (size_t y = 0; y < size_t(surface->height); ++y) {
      std::memcpy(&surface->pixels[y * row], data + y * stride, row);
    }
    wl_shm_buffer_end_access(shm);
  }
  wl_buffer_send_release(buffer);
}

void Commit(wl_client*, wl_resource* resource) {
  auto* surface = Data<Surface>(resource);
  if (surface->attached) {
    surface->attached = false;
    surface->has_buffer = surface->pending != nullptr;
    if (surface->pending) TakeBuffer(surface, surface->pending);
    surface->pending = nullptr;
  }
  surface->scale = surface->pending_scale;
  // Every commit is shown at once: nothing is drawn here, and the lockers
  // draw on their own ticks (swap interval 0), not on these callbacks.
  wl_resource *callback, *next;
  wl_resource_for_each_safe(callback, next, &surface->pending_frames) {
    wl_callback_send_done(callback, NowMs());
    wl_resource_destroy(callback);
  }
  if (surface->lock_surface) CommitLockSurface(surface->lock_surface);
}

void SurfaceGone(wl_resource* resource) {
  auto* surface = Data<Surface>(resource);
  wl_resource *callback, *next;
  wl_resource_for_each_safe(callback, next, &surface->pending_frames) wl_resource_destroy(callback);
  if (LockSurface* lock_surface = surface->lock_surface) {
    lock_surface->surface = nullptr;
    Detach(lock_surface);
  }
  if (Focus == surface) Focus = nullptr;
  delete surface;
  Refocus();
}

const struct wl_surface_interface kSurface = {DestroyResource, Attach, Ignore, Frame, Ignore,
                                              Ignore, Commit, Ignore, SetBufferScale, Ignore,
                                              nullptr};
const struct wl_region_interface kRegion = {DestroyResource, Ignore, Ignore};

void CreateSurface(wl_client* client, wl_resource* compositor, uint32_t id) {
  auto* surface = new Surface;
  wl_list_init(&surface->pending_frames);
  surface->resource = Create(client, &wl_surface_interface, wl_resource_get_version(compositor),
                             id, &kSurface, surface, SurfaceGone);
}

void CreateRegion(wl_client* client, wl_resource*, uint32_t id) {
  Create(client, &wl_region_interface, 1, id, &kRegion, nullptr, nullptr);
}

const struct wl_compositor_interface kCompositor = {CreateSurface, CreateRegion};
const struct wl_subsurface_interface kSubsurface = {DestroyResource, Ignore, Ignore,
                                                    Ignore,          Ignore, Ignore};

// Subsurfaces (swaylock draws its indicator in one) are taken but never shown.
void GetSubsurface(wl_client* client, wl_resource* resource, uint32_t id, wl_resource* surface,
                   wl_resource*) {
  if (Data<Surface>(surface)->has_role) {
    return wl_resource_post_error(resource, WL_SUBCOMPOSITOR_ERROR_BAD_SURFACE, "has a role");
  }
  Data<Surface>(surface)->has_role = true;
  Create(client, &wl_subsurface_interface, 1, id, &kSubsurface, nullptr, nullptr);
}

const struct wl_subcompositor_interface kSubcompositor = {DestroyResource, GetSubsurface};

// --- Seat and outputs ---

const struct wl_keyboard_interface kKeyboard = {DestroyResource};

void GetKeyboard(wl_client* client, wl_resource* seat, uint32_t id) {
  wl_resource* keyboard = Create(client, &wl_keyboard_interface, wl_resource_get_version(seat), id,
                                 &kKeyboard, nullptr, Unlink);
  wl_list_insert(&Keyboards, wl_resource_get_link(keyboard));
  wl_keyboard_send_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, KeymapFd, KeymapSize);
  if (Focus && wl_resource_get_client(Focus->resource) == client) Enter(keyboard);
}

void NoDevice(wl_client*, wl_resource* seat, uint32_t) {
  wl_resource_post_error(seat, WL_SEAT_ERROR_MISSING_CAPABILITY, "the seat has only a keyboard");
}

const struct wl_seat_interface kSeat = {NoDevice, GetKeyboard, NoDevice, DestroyResource};

void BindSeat(wl_client* client, void*, uint32_t version, uint32_t id) {
  wl_resource* seat =
      Create(client, &wl_seat_interface, int(version), id, &kSeat, nullptr, nullptr);
  wl_seat_send_capabilities(seat, WL_SEAT_CAPABILITY_KEYBOARD);
}

const struct wl_output_interface kOutput = {DestroyResource};

void BindOutput(wl_client* client, void* data, uint32_t version, uint32_t id) {
  auto* output = static_cast<Output*>(data);
  wl_resource* resource =
      Create(client, &wl_output_interface, int(version), id, &kOutput, output, nullptr);
  wl_output_send_geometry(resource, 0, 0, 0, 0, WL_OUTPUT_SUBPIXEL_UNKNOWN, "Quarlo", "test",
                          WL_OUTPUT_TRANSFORM_NORMAL);
  wl_output_send_mode(resource, WL_OUTPUT_MODE_CURRENT | WL_OUTPUT_MODE_PREFERRED, output->width,
                      output->height, 60000);
  if (version < WL_OUTPUT_SCALE_SINCE_VERSION) return;
  wl_output_send_scale(resource, output->scale);
  wl_output_send_done(resource);
}

// An output of WxH pixels at an integer scale that divides both; null for a
// size that cannot be read.
Output* AddOutput(const char* size) {
  int width = 0, height = 0, scale = 1, used = 0;
  if (std::sscanf(size, "%dx%d%n@%d%n", &width, &height, &used, &scale, &used) < 2 || size[used] ||
      width < 1 || height < 1 || scale < 1 || scale > 8 || width % scale || height % scale) {
    return nullptr;
  }
  Outputs.push_back(std::make_unique<Output>(Output{int(Outputs.size()), width, height, scale}));
  Outputs.back()->global =
      wl_global_create(Display, &wl_output_interface, 4, Outputs.back().get(), BindOutput);
  return Outputs.back().get();
}

// --- Commands ---

Output* OutputNumbered(const std::string& number) {
  char* end = nullptr;
  long index = std::strtol(number.c_str(), &end, 10);
  bool known = !number.empty() && index >= 0 && index < long(Outputs.size());
  return known && (*end == ' ' || !*end) && !Outputs[size_t(index)]->removed
             ? Outputs[size_t(index)].get()
             : nullptr;
}

std::string Shot(const std::string& arguments) {
  Output* output = OutputNumbered(arguments);
  size_t space = arguments.find(' ');
  if (!output || space == std::string::npos) return "error shot N FILE, N an output";
  if (!output->lock_surface || !output->lock_surface->surface->has_buffer) {
    return "error no lock surface buffer";
  }
  const Surface& surface = *output->lock_surface->surface;
  std::string ppm = "P6\n" + std::to_string(surface.width) + " " + std::to_string(surface.height) +
                    "\n255\n";
  for (size_t at = 0; at < surface.pixels.size(); at += 4) {  // B, G, R, X in memory
    ppm += {char(surface.pixels[at + 2]), char(surface.pixels[at + 1]), char(surface.pixels[at])};
  }
  FILE* file = std::fopen(arguments.c_str() + space + 1, "wb");
  bool written = file && std::fwrite(ppm.data(), 1, ppm.size(), file) == ppm.size();
  if (!file || std::fclose(file) != 0 || !written) return "error cannot write the file";
  return "ok " + std::to_string(surface.width) + "x" + std::to_string(surface.height);
}

std::string State() {
  return !SessionLocked        ? "unlocked"
         : !Holder             ? "locked-no-client"
         : Holder->locked_sent ? "locked"
                               : "locking";
}

std::string Run(const std::string& line) {
  size_t space = line.find(' ');
  std::string verb = line.substr(0, space);
  std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
  if (verb == "type") return Type(rest);
  if (verb == "key") return Key(rest);
  if (verb == "shot") return Shot(rest);
  if (verb == "state") return State();
  if (verb == "add-output") {
    Output* output = AddOutput(rest.c_str());
    return output ? "ok " + std::to_string(output->index) : "error no output size " + rest;
  }
  if (verb != "remove-output") return "error unknown command " + verb;
  Output* output = OutputNumbered(rest);
  if (!output) return "error no output " + rest;
  wl_global_remove(output->global);  // destroyed with the display: a late bind still finds it
  output->removed = true;
  if (output->lock_surface) Detach(output->lock_surface);
  Refocus();
  CheckLocked();
  return "ok";
}

int ReadCommands(int fd, uint32_t, void*) {
  static std::string input;
  char chunk[4096];
  ssize_t got = read(fd, chunk, sizeof chunk);
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return 0;
  if (got <= 0) return wl_display_terminate(Display), 0;
  input.append(chunk, size_t(got));
  for (size_t end; (end = input.find('\n')) != std::string::npos;) {
    std::printf("%s\n", Run(input.substr(0, end)).c_str());
    std::fflush(stdout);
    input.erase(0, end + 1);
    wl_display_flush_clients(Display);
  }
  return 0;
}

int Quit(int, void*) { return wl_display_terminate(Display), 0; }

// The keymap as clients get it (its text in a sealed memfd), and its Shift.
bool MakeKeymap(const char* layout) {
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  xkb_rule_names names{};
  names.layout = layout;
  Keymap = context ? xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS)
                   : nullptr;
  if (!Keymap) return false;
  KeyState = xkb_state_new(Keymap);
  ShiftKey = FindKey(XKB_KEY_Shift_L).code;
  char* text = xkb_keymap_get_as_string(Keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
  KeymapSize = uint32_t(std::strlen(text) + 1);
  KeymapFd = memfd_create("keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  bool written = KeymapFd >= 0 && write(KeymapFd, text, KeymapSize) == ssize_t(KeymapSize) &&
                 fcntl(KeymapFd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE) == 0;
  std::free(text);
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  std::setlocale(LC_CTYPE, "C.UTF-8");  // for reading the text to type
  Display = wl_display_create();
  wl_list_init(&Keyboards);
  const char* layout = nullptr;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    bool has_value = i + 1 < argc;
    if (option == "--layout" && has_value) {
      layout = argv[++i];
    } else if (!(option == "--output" && has_value && AddOutput(argv[++i]))) {
      std::fprintf(stderr,
                   "usage: lock_compositor [--layout XKB_LAYOUT] [--output WxH[@SCALE]]...\n");
      return 2;
    }
  }
  if (!MakeKeymap(layout)) return std::fprintf(stderr, "lock_compositor: no keymap\n"), 1;
  wl_display_init_shm(Display);
  wl_global_create(Display, &wl_compositor_interface, 4, nullptr,
                   Bind<&wl_compositor_interface, &kCompositor>);
  wl_global_create(Display, &wl_subcompositor_interface, 1, nullptr,
                   Bind<&wl_subcompositor_interface, &kSubcompositor>);
  wl_global_create(Display, &ext_session_lock_manager_v1_interface, 1, nullptr,
                   Bind<&ext_session_lock_manager_v1_interface, &kLockManager>);
  wl_global_create(Display, &wl_seat_interface, 7, nullptr, BindSeat);
  const char* name = wl_display_add_socket_auto(Display);
  if (!name) return std::fprintf(stderr, "lock_compositor: cannot make the socket\n"), 1;
  std::printf("socket %s\n", name);
  std::fflush(stdout);
  wl_event_loop* loop = wl_display_get_event_loop(Display);
  wl_event_loop_add_fd(loop, 0, WL_EVENT_READABLE, ReadCommands, nullptr);
  wl_event_loop_add_signal(loop, SIGTERM, Quit, nullptr);
  wl_display_run(Display);
  wl_display_destroy_clients(Display);
  wl_display_destroy(Display);
  return 0;
}
