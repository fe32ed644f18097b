#include "app/qt/wayland_compositor.h"

#include <wayland-client.h>

#include <cstring>

namespace qvl {

namespace {

struct Offered {
  bool decoration_manager = false;
  bool gtk_shell = false;
};

void Global(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
  auto* offered = static_cast<Offered*>(data);
  if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0) offered->decoration_manager = true;
  // Only mutter offers GTK's shell interface.
  if (std::strcmp(interface, "gtk_shell1") == 0) offered->gtk_shell = true;
}

void GlobalRemove(void*, wl_registry*, uint32_t) {}

WaylandCompositor Ask() {
  WaylandCompositor facts;
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return facts;
  Offered offered;
  static const wl_registry_listener listener = {Global, GlobalRemove};
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &listener, &offered);
  if (wl_display_roundtrip(display) >= 0) {
    facts.decorates = offered.decoration_manager;
    facts.ends_any_move = !offered.gtk_shell;
  }
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return facts;
}

}  // namespace

const WaylandCompositor& Compositor() {
  static const WaylandCompositor facts = Ask();
  return facts;
}

}  // namespace qvl
