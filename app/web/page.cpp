#include "app/web/page.h"

#include <emscripten.h>

// The one bridge: each block hands its arguments to the page side
// (Module.qvl, toolkit.js) and does nothing else. Texts cross as a pointer
// and a length.

// clang-format off
EM_JS(int, js_next_event, (int* out), { return Module.qvl.next(out); });
EM_JS(void, js_wait_event, (), { Asyncify.handleSleep(Module.qvl.wait); });
EM_JS(double, js_device_scale, (), { return Module.qvl.deviceScale(); });
EM_JS(int, js_coarse_pointer, (), { return Module.qvl.coarsePointer(); });
EM_JS(void, js_visible_area, (int* out), { Module.qvl.visibleArea(out); });
EM_JS(void, js_system_color, (int index, unsigned rgb), { Module.qvl.systemColor(index, rgb); });
EM_JS(void, js_create_window, (int w, int frame, const char* caption, int n, int cw, int ch, int edge, int title, int overlay_z), {
  Module.qvl.createWindow(w, frame, UTF8ToString(caption, n), cw, ch, edge, title, overlay_z);
});
EM_JS(void, js_place_window, (int w, int left, int top), { Module.qvl.place(w, left, top); });
EM_JS(void, js_measure_window, (int w, int* out), { Module.qvl.measure(w, out); });
EM_JS(void, js_show_window, (int w, int z), { Module.qvl.show(w, z); });
EM_JS(void, js_set_active, (int w, int on), { Module.qvl.setActive(w, on); });
EM_JS(void, js_set_caption, (int w, const char* text, int n), { Module.qvl.setCaption(w, UTF8ToString(text, n)); });
EM_JS(void, js_set_blocked, (int w, int on), { Module.qvl.setBlocked(w, on); });
EM_JS(void, js_destroy_window, (int w), { Module.qvl.destroy(w); });
EM_JS(void, js_create_label, (int w, int c, const char* name, int n, int container, int l, int t, int wd, int ht, int z, int offscreen), {
  Module.qvl.createLabel(w, c, UTF8ToString(name, n), container, l, t, wd, ht, z, offscreen);
});
EM_JS(void, js_label_face, (int w, int c, const char* family, int n, int bold, int em, const char* color, int m, double scale, double wrap, int raise, int indent), {
  Module.qvl.labelFace(w, c, UTF8ToString(family, n), bold, em, UTF8ToString(color, m), scale, wrap, raise, indent);
});
EM_JS(void, js_create_button, (int w, int c, const char* name, int n, int container, int l, int t, int wd, int ht, int z, int offscreen, const char* family, int m, int bold, int em), {
  Module.qvl.createButton(w, c, UTF8ToString(name, n), container, l, t, wd, ht, z, offscreen, UTF8ToString(family, m), bold, em);
});
EM_JS(void, js_create_chrome, (int w, int c, const char* name, int n, int container, int l, int t, int wd, int ht, int z), {
  Module.qvl.createChrome(w, c, UTF8ToString(name, n), container, l, t, wd, ht, z);
});
EM_JS(void, js_box_text, (int w, const char* text, int n, int icon), { Module.qvl.boxText(w, UTF8ToString(text, n), icon); });
EM_JS(void, js_add_box_button, (int w, int c), { Module.qvl.addBoxButton(w, c); });
EM_JS(void, js_set_text, (int w, int c, const char* text, int n, int key_at), { Module.qvl.setText(w, c, UTF8ToString(text, n), key_at); });
EM_JS(void, js_set_visible, (int w, int c, int on), { Module.qvl.setVisible(w, c, on); });
EM_JS(void, js_label_cover, (int w, int c, const int* edges, int count), {
  Module.qvl.labelCover(w, c, HEAP32.subarray(edges >> 2, (edges >> 2) + 4 * count));
});
EM_JS(void, js_focus, (int w, int c), { Module.qvl.focus(w, c); });
EM_JS(void, js_default_look, (int w, int c, int on), { Module.qvl.defaultLook(w, c, on); });
EM_JS(void, js_size_surface, (int w, int c, int width, int height), { Module.qvl.sizeSurface(w, c, width, height); });
EM_JS(void, js_fill, (int w, int c, int l, int t, int r, int b, unsigned rgb), { Module.qvl.fill(w, c, l, t, r, b, rgb); });
EM_JS(void, js_line, (int w, int c, int x1, int y1, int x2, int y2, int pen, unsigned rgb), { Module.qvl.line(w, c, x1, y1, x2, y2, pen, rgb); });
EM_JS(void, js_picture, (int w, int c, int l, int t, int r, int b, const char* file, int n), { Module.qvl.picture(w, c, l, t, r, b, UTF8ToString(file, n)); });
EM_JS(void, js_start_ticker, (int w, int ms, int first), {
  Module.qvl.startTicker(w, ms, first);
});
EM_JS(void, js_stop_ticker, (int w, int ms), { Module.qvl.stopTicker(w, ms); });
EM_JS(void, js_local_now, (int* parts), { Module.qvl.localNow(parts); });
EM_JS(int, js_ms_to_next_second, (), { return Module.qvl.msToNextSecond(); });
EM_JS(void, js_open_tab, (const char* address, int n), { Module.qvl.openTab(UTF8ToString(address, n)); });
EM_JS(void, js_show_ended, (), { Module.qvl.ended(); });
EM_JS(void, js_switch_release, (int left, int top), { Module.qvl.switchRelease(left, top); });
EM_JS(int, js_kept_place, (int* out), { return Module.qvl.keptPlace(out); });
// clang-format on

namespace qvl::page {

namespace {
int Size(std::string_view s) {
  return static_cast<int>(s.size());
}
}  // namespace

bool NextEvent(Event& event) {
  int raw[6];
  if (!js_next_event(raw)) return false;
  event = {static_cast<EventType>(raw[0]), raw[1], raw[2], raw[3], raw[4], raw[5]};
  return true;
}

void WaitForEvent() {
  js_wait_event();
}

double DeviceScale() {
  return js_device_scale();
}

bool CoarsePointer() {
  return js_coarse_pointer();
}

void VisibleArea(int& left, int& top, int& right, int& bottom) {
  int area[4];
  js_visible_area(area);
  left = area[0];
  top = area[1];
  right = area[2];
  bottom = area[3];
}

void SetSystemColor(int index, unsigned rgb) {
  js_system_color(index, rgb);
}

void CreateWindow(int window, Frame frame, std::string_view caption, int client_width,
                  int client_height, int edge, int title, int overlay_z) {
  js_create_window(window, static_cast<int>(frame), caption.data(), Size(caption), client_width,
                   client_height, edge, title, overlay_z);
}

void PlaceWindow(int window, int left, int top) {
  js_place_window(window, left, top);
}

void MeasureWindow(int window, int& width, int& height) {
  int size[2];
  js_measure_window(window, size);
  width = size[0];
  height = size[1];
}

void ShowWindow(int window, int z) {
  js_show_window(window, z);
}

void SetActive(int window, bool active) {
  js_set_active(window, active);
}

void SetCaption(int window, std::string_view caption) {
  js_set_caption(window, caption.data(), Size(caption));
}

void SetBlocked(int window, bool blocked) {
  js_set_blocked(window, blocked);
}

void DestroyWindow(int window) {
  js_destroy_window(window);
}

void CreateLabel(int window, int control, std::string_view name, int container, int left, int top,
                 int width, int height, int z, bool offscreen) {
  js_create_label(window, control, name.data(), Size(name), container, left, top, width, height, z,
                  offscreen);
}

void SetLabelFace(int window, int control, std::string_view family, bool bold, int em,
                  std::string_view color, double scale, double wrap, int raise, int indent) {
  js_label_face(window, control, family.data(), Size(family), bold, em, color.data(), Size(color),
                scale, wrap, raise, indent);
}

void CreateButton(int window, int control, std::string_view name, int container, int left, int top,
                  int width, int height, int z, bool offscreen, std::string_view family, bool bold,
                  int em) {
  js_create_button(window, control, name.data(), Size(name), container, left, top, width, height, z,
                   offscreen, family.data(), Size(family), bold, em);
}

void CreateChrome(int window, int control, std::string_view name, int container, int left, int top,
                  int width, int height, int z) {
  js_create_chrome(window, control, name.data(), Size(name), container, left, top, width, height,
                   z);
}

void SetBoxText(int window, std::string_view text, int icon) {
  js_box_text(window, text.data(), Size(text), icon);
}

void AddBoxButton(int window, int control) {
  js_add_box_button(window, control);
}

void SetText(int window, int control, std::string_view text, int key_at) {
  js_set_text(window, control, text.data(), Size(text), key_at);
}

void SetVisible(int window, int control, bool visible) {
  js_set_visible(window, control, visible);
}

void SetLabelCover(int window, int control, const int* edges, int count) {
  js_label_cover(window, control, edges, count);
}

void Focus(int window, int control) {
  js_focus(window, control);
}

void SetDefaultLook(int window, int control, bool on) {
  js_default_look(window, control, on);
}

void SizeSurface(int window, int control, int width, int height) {
  js_size_surface(window, control, width, height);
}

void Fill(int window, int control, int left, int top, int right, int bottom, unsigned rgb) {
  js_fill(window, control, left, top, right, bottom, rgb);
}

void Line(int window, int control, int x1, int y1, int x2, int y2, int pen, unsigned rgb) {
  js_line(window, control, x1, y1, x2, y2, pen, rgb);
}

void Picture(int window, int control, int left, int top, int right, int bottom,
             std::string_view file) {
  js_picture(window, control, left, top, right, bottom, file.data(), Size(file));
}

void StartTicker(int window, int interval_ms, int first_ms) {
  js_start_ticker(window, interval_ms, first_ms);
}

void StopTicker(int window, int interval_ms) {
  js_stop_ticker(window, interval_ms);
}

void LocalNow(int (&parts)[6]) {
  js_local_now(parts);
}

int MsToNextSecond() {
  return js_ms_to_next_second();
}

void OpenTab(std::string_view address) {
  js_open_tab(address.data(), Size(address));
}

void ShowEnded() {
  js_show_ended();
}

void SwitchRelease(int left, int top) {
  js_switch_release(left, top);
}

bool KeptPlace(int& left, int& top) {
  int place[2];
  if (!js_kept_place(place)) return false;
  left = place[0];
  top = place[1];
  return true;
}

}  // namespace qvl::page
