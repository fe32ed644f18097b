// What the Wayland compositor the program runs under does for its windows,
// read once from the interfaces it offers (Qt does not tell).
#pragma once

namespace qvl {

struct WaylandCompositor {
  // It draws the title bars of the windows that want one. Where it does not,
  // Qt's own title bar would offer maximise and minimise to every window.
  bool decorates = true;
  // It ends a move it runs for a window at the release of whichever button
  // began it. GNOME's (mutter) ends one only at the left button's release
  // (or the button the user resizes with): a move begun by the right button
  // went on with no button held.
  bool ends_any_move = true;
};

// Under the "wayland" platform only; asked once, on a connection of its own.
const WaylandCompositor& Compositor();

}  // namespace qvl
