// A pointer for tests on a wlroots compositor (sway): a virtual pointer
// driven by lines on stdin, each done before "ok" is printed.
//   move DX DY   a relative move, in pixels
//   to X Y W H   to the place X, Y of the outputs' layout, W x H in all
//   button       a left button press and release
// It ends at the end of its input.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {
zwlr_virtual_pointer_manager_v1* Manager = nullptr;
wl_seat* Seat = nullptr;

void Global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    Manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !Seat) {
    Seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  }
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener = {Global, GlobalRemove};
}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return std::fprintf(stderr, "wl_pointer: no compositor\n"), 1;
  wl_registry_add_listener(wl_display_get_registry(display), &kListener, nullptr);
  wl_display_roundtrip(display);
  if (!Manager) return std::fprintf(stderr, "wl_pointer: no virtual pointer manager\n"), 1;
  zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(Manager, Seat);
  wl_display_roundtrip(display);
  std::printf("ok\n");
  std::fflush(stdout);
  char line[128];
  uint32_t time = 1;
  while (std::fgets(line, sizeof line, stdin)) {
    int dx = 0, dy = 0;
    unsigned x = 0, y = 0, width = 0, height = 0;
    if (std::sscanf(line, "move %d %d", &dx, &dy) == 2) {
      zwlr_virtual_pointer_v1_motion(pointer, time++, wl_fixed_from_int(dx), wl_fixed_from_int(dy));
    } else if (std::sscanf(line, "to %u %u %u %u", &x, &y, &width, &height) == 4) {
      zwlr_virtual_pointer_v1_motion_absolute(pointer, time++, x, y, width, height);
    } else if (std::strncmp(line, "button", 6) == 0) {
      zwlr_virtual_pointer_v1_button(pointer, time++, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
      zwlr_virtual_pointer_v1_frame(pointer);
      zwlr_virtual_pointer_v1_button(pointer, time++, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
    }
    zwlr_virtual_pointer_v1_frame(pointer);
    if (wl_display_roundtrip(display) < 0) return 1;
    std::printf("ok\n");
    std::fflush(stdout);
  }
  return 0;  // the pointer goes with the connection
}
