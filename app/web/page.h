// The page, as the web toolkit reaches it: DOM updates out, queued input in.
// Every call here is a short piece of JavaScript (page.cpp) over the page
// side in toolkit.js. The page queues what the user did and gives the
// program a turn (WebToolkit::Turn), in which it takes the events one at a
// time; a box's loop instead waits for the page to wake it.
#pragma once

#include <string_view>

namespace qvl::page {

// What the page queues, and the numbers the page shares (bridge.def).
#define QVL_EVENT(name, number) k##name = number,
#define QVL_NUMBER(name, value)
enum class EventType : int {
#include "app/web/bridge.def"
};
#undef QVL_EVENT
#undef QVL_NUMBER
#define QVL_EVENT(name, number)
#define QVL_NUMBER(name, value) constexpr int k##name = value;
#include "app/web/bridge.def"
#undef QVL_EVENT
#undef QVL_NUMBER

struct Event {
  EventType type;
  int window;   // -1: no window had the focus (keys)
  int control;  // -1: the window itself
  int a, b, c;
};

// Takes the next queued event, if any, without waiting.
bool NextEvent(Event& event);
// Suspends the program until an event is queued (a box's loop only).
void WaitForEvent();

// Device pixels per CSS pixel.
double DeviceScale();
// Whether the primary pointer is a finger (a touch screen).
bool CoarsePointer();
// The part of the page's desktop that can be seen, in CSS pixels of the
// desktop, which scrolls where windows are larger than the screen.
void VisibleArea(int& left, int& top, int& right, int& bottom);
// A system colour of the page's scheme, as CSS variable --sys-<index>.
void SetSystemColor(int index, unsigned rgb);

// Windows, by the toolkit's number, created hidden. A dialog has a drawn
// edge `edge` pixels wide and a title bar `title` high with its caption and
// a close button; otherwise there is no frame at all. A message box is a
// dialog whose text and buttons CSS lays out.
enum class Frame { kNone = kFrameNone, kDialog = kFrameDialog, kMessageBox = kFrameMessageBox };
// A form's window has two surfaces: one behind its labels (control -1) and
// one in front of them (kOverlay), stacked at `overlay_z` among the
// client area's controls.
void CreateWindow(int window, Frame frame, std::string_view caption, int client_width,
                  int client_height, int edge, int title, int overlay_z = 0);
void PlaceWindow(int window, int left, int top);
// A message box's outer size, once its text and buttons are in.
void MeasureWindow(int window, int& width, int& height);
void ShowWindow(int window, int z);
void SetActive(int window, bool active);
void SetCaption(int window, std::string_view caption);
// Behind a modal box: the window takes no input.
void SetBlocked(int window, bool blocked);
void DestroyWindow(int window);

// Controls, in CSS pixels inside `container` (-1: the client area), each
// stacked by `z` among its siblings; `offscreen`: wholly outside what can be
// seen, so hidden from screen readers. `name` is the form's name for it.
void CreateLabel(int window, int control, std::string_view name, int container, int left, int top,
                 int width, int height, int z, bool offscreen);
// A label's face: squeezed to `scale` of its width and wrapped in `wrap`
// pixels before the squeeze; its lines start `raise` above the label's top,
// `indent` right of its left edge.
void SetLabelFace(int window, int control, std::string_view family, bool bold, int em,
                  std::string_view color, double scale, double wrap, int raise, int indent);
void CreateButton(int window, int control, std::string_view name, int container, int left, int top,
                  int width, int height, int z, bool offscreen, std::string_view family, bool bold,
                  int em);
// A frame or picture box: a surface of its own, holding its controls.
void CreateChrome(int window, int control, std::string_view name, int container, int left, int top,
                  int width, int height, int z);
// A message box's text, icon (0 none, 1 critical, 2 question, 3
// exclamation, 4 information) and buttons, in order.
void SetBoxText(int window, std::string_view text, int icon);
void AddBoxButton(int window, int control);
// A label's text, or a button's with its access key at `key_at` (-1: none).
void SetText(int window, int control, std::string_view text, int key_at = -1);
void SetVisible(int window, int control, bool visible);
// The parts of a label where its text does not show (labels in front of it
// cover them): `count` rectangles, each left, top, right and bottom in its
// own pixels, that do not overlap.
void SetLabelCover(int window, int control, const int* edges, int count);
void Focus(int window, int control);
void SetDefaultLook(int window, int control, bool on);

// Surfaces, the form's (control -1 or kOverlay) or a frame's or picture
// box's, in device pixels: fills, slanted lines and pictures.
void SizeSurface(int window, int control, int width, int height);
void Fill(int window, int control, int left, int top, int right, int bottom, unsigned rgb);
void Line(int window, int control, int x1, int y1, int x2, int y2, int pen, unsigned rgb);
void Picture(int window, int control, int left, int top, int right, int bottom,
             std::string_view file);

// One ticker per window and interval, queueing kTick until stopped.
void StartTicker(int window, int interval_ms, int first_ms);
void StopTicker(int window, int interval_ms);

// The local date and time: year, month, day, hour, minute, second.
void LocalNow(int (&parts)[6]);
int MsToNextSecond();
// Opens an address in a new tab.
void OpenTab(std::string_view address);
// The program has ended: the page says so.
void ShowEnded();
// Loads the page again, as the new release; the first window's place is
// handed over to the new page, which reads it back with KeptPlace.
void SwitchRelease(int left, int top);
bool KeptPlace(int& left, int& top);

}  // namespace qvl::page
