// A pointer for the tests under Wayland compositors that accept one from a
// client: wlroots' virtual pointer (sway) or KWin's fake input.
//   vptr WIDTHxHEIGHT step...   steps: abs X Y | press B | release B | sleep MS
// with B one of left, middle, right. Each step is sent and acknowledged (a
// round trip) before the next.
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
    fprintf(stderr, "usage: vptr WIDTHxHEIGHT step...\n");
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
  for (int i = 2; i < argc; ++i) {
    const char* step = argv[i];
    const char* arg = i + 1 < argc ? argv[i + 1] : "";
    if (strcmp(step, "abs") == 0 && i + 2 < argc) {
      const unsigned x = (unsigned)atoi(argv[i + 1]), y = (unsigned)atoi(argv[i + 2]);
      i += 2;
      if (wlr) {
        zwlr_virtual_pointer_v1_motion_absolute(wlr, now_ms(), x, y, width, height);
        zwlr_virtual_pointer_v1_frame(wlr);
      } else {
        org_kde_kwin_fake_input_pointer_motion_absolute(kde, wl_fixed_from_int((int)x),
                                                        wl_fixed_from_int((int)y));
      }
    } else if (strcmp(step, "press") == 0 || strcmp(step, "release") == 0) {
      const uint32_t state = step[0] == 'p' ? WL_POINTER_BUTTON_STATE_PRESSED
                                            : WL_POINTER_BUTTON_STATE_RELEASED;
      ++i;
      if (wlr) {
        zwlr_virtual_pointer_v1_button(wlr, now_ms(), button_code(arg), state);
        zwlr_virtual_pointer_v1_frame(wlr);
      } else {
        org_kde_kwin_fake_input_button(kde, button_code(arg), state);
      }
    } else if (strcmp(step, "sleep") == 0) {
      ++i;
      const long ms = atol(arg);
      nanosleep(&(struct timespec){ms / 1000, (ms % 1000) * 1000000}, NULL);
    } else {
      fprintf(stderr, "vptr: unknown step %s\n", step);
      return 2;
    }
    if (wl_display_roundtrip(display) < 0) {
      fprintf(stderr, "vptr: the compositor closed the connection\n");
      return 1;
    }
  }
  wl_display_disconnect(display);
  return 0;
}
