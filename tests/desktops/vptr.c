// A pointer for the tests under Wayland compositors that accept one from a
// client: wlroots' virtual pointer (sway) or KWin's fake input.
//   vptr WIDTHxHEIGHT
// reads steps, one a line: "abs X Y", "press B" or "release B", with B one
// of left, middle, right. Each is sent and acknowledged (a round trip), then
// answered with a line "ok". One connection throughout, since a compositor
// lets go of the buttons of a pointer whose client leaves.
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

static struct zwlr_virtual_pointer_manager_v1* wlr_manager;
static struct org_kde_kwin_fake_input* kde;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
  (void)data;
  if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
    wlr_manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
  else if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
    kde = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
}

static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
  (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener listener = {global, global_remove};

static uint32_t now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

static uint32_t button_code(const char* name) {
  if (strcmp(name, "right") == 0) return BTN_RIGHT;
  if (strcmp(name, "middle") == 0) return BTN_MIDDLE;
  return BTN_LEFT;
}

int main(int argc, char** argv) {
  unsigned width = 0, height = 0;
  if (argc < 2 || sscanf(argv[1], "%ux%u", &width, &height) != 2) {
    fprintf(stderr, "usage: vptr WIDTHxHEIGHT < steps\n");
    return 2;
  }
  struct wl_display* display = wl_display_connect(NULL);
  if (!display) {
    fprintf(stderr, "vptr: no Wayland display\n");
    return 1;
  }
  wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
  wl_display_roundtrip(display);
  struct zwlr_virtual_pointer_v1* wlr = NULL;
  if (wlr_manager) {
    wlr = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(wlr_manager, NULL);
  } else if (kde) {
    org_kde_kwin_fake_input_authenticate(kde, "vptr", "end-to-end tests");
  } else {
    fprintf(stderr, "vptr: the compositor offers no virtual pointer\n");
    return 1;
  }
  char line[128];
  while (fgets(line, sizeof line, stdin)) {
    char step[16] = "", arg[16] = "";
    int x = 0, y = 0;
    if (sscanf(line, "abs %d %d", &x, &y) == 2) {
      if (wlr) {
        zwlr_virtual_pointer_v1_motion_absolute(wlr, now_ms(), (uint32_t)x, (uint32_t)y, width,
                                                height);
        zwlr_virtual_pointer_v1_frame(wlr);
      } else {
        org_kde_kwin_fake_input_pointer_motion_absolute(kde, wl_fixed_from_int(x),
                                                        wl_fixed_from_int(y));
      }
    } else if (sscanf(line, "%15s %15s", step, arg) == 2 &&
               (strcmp(step, "press") == 0 || strcmp(step, "release") == 0)) {
      const uint32_t state =
          step[0] == 'p' ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED;
      if (wlr) {
        zwlr_virtual_pointer_v1_button(wlr, now_ms(), button_code(arg), state);
        zwlr_virtual_pointer_v1_frame(wlr);
      } else {
        org_kde_kwin_fake_input_button(kde, button_code(arg), state);
      }
    } else {
      fprintf(stderr, "vptr: unknown step %s", line);
      return 2;
    }
    if (wl_display_roundtrip(display) < 0) {
      fprintf(stderr, "vptr: the compositor closed the connection\n");
      return 1;
    }
    printf("ok\n");
    fflush(stdout);
  }
  wl_display_disconnect(display);
  return 0;
}
