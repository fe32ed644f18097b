#include "app/web/web_toolkit.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>

#include "app/form.h"
#include "app/placement.h"
#include "app/stacking.h"
#include "app/web/web_canvas.h"

namespace qvl {

namespace {

// Windows are laid out in CSS pixels, 15 twips each with a mouse; the browser
// scales them to the device. On a touch screen every form is laid out at the
// one larger scale that makes each of their buttons a target for a finger.
constexpr int kCssDpi = 96;
constexpr int kTouchTarget = 24;
// The frame the page draws around a fixed dialog: a thin edge and a title bar
// (at 96 DPI; its close button is as wide as it is high).
constexpr int kEdge = 1, kTitle = 22;
// How much of a title strip stays in the page, at the least: room for a
// finger to take it again.
constexpr int kGrip = 48;
// Where windows without a place of their own go: one below and right of the
// other, as a window system cascades new windows.
constexpr PixelPoint kFirstPlace{16, 16};
constexpr int kCascadeStep = 24, kCascadeSlots = 8;

using page::EventType;

// An activation the toolkit queues itself, when the window in front went:
// the focus comes back to the window that is now active.
constexpr int kGiveFocus = 1;

int LayoutDpi(std::span<const FormSpec* const> forms) {
  int dpi = kCssDpi;
  if (page::CoarsePointer())
    for (const FormSpec* form : forms) dpi = TargetDpi(*form, kTouchTarget, dpi);
  return dpi;
}

int DeviceDpi(int layout_dpi) {
  return std::max(1, static_cast<int>(std::lround(layout_dpi * page::DeviceScale())));
}

// The desktop as far as it can be seen: windows open there, and are kept
// there.
PixelRect VisibleArea() {
  PixelRect r;
  page::VisibleArea(r.left, r.top, r.right, r.bottom);
  return r;
}

PixelRect Shifted(PixelRect r, PixelPoint by) {
  return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

bool ButtonOf(int code, MouseButton& button) {
  switch (code) {
    case 0:
      button = MouseButton::Left;
      return true;
    case 1:
      button = MouseButton::Middle;
      return true;
    case 2:
      button = MouseButton::Right;
      return true;
    default:
      return false;
  }
}

}  // namespace

struct WebToolkit::Window : NativeWindow {
  int id = 0;
  Form* form = nullptr;  // none for a message box
  PixelPoint at;         // the outer corner on the page
  PixelPoint client;     // the client area's corner inside the window
  PixelPoint size;       // outer width and height
  PixelRect strip;       // what moves it, in its own pixels
  int z = 0;
  int focus = -1;
  int looks_default = -1;
  int boxes_over = 0;  // modal boxes that it owns, open
  // A message box: what it shows and answers, its buttons as the keyboard
  // rules see them, the window it blocks (0: every window), and the answer
  // once it is closed.
  BoxDescription box{};
  std::vector<KeyButton> keys;
  int owner = 0;
  int answer = 0;
};

WebToolkit::WebToolkit(std::span<const FormSpec* const> forms)
    : layout_dpi_(LayoutDpi(forms)),
      title_(MulDivRound(kTitle, layout_dpi_, kCssDpi)),
      dpi_(DeviceDpi(layout_dpi_)) {
  SetSystemColors();
  if (PixelPoint at; page::KeptPlace(at.x, at.y)) kept_ = at;
}

WebToolkit::~WebToolkit() = default;

WebToolkit::Window* WebToolkit::Find(int id) const {
  const auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : it->second.get();
}

WebToolkit::Window& WebToolkit::Of(const Form& form) const {
  return *static_cast<Window*>(form.native);
}

NativeWindow* WebToolkit::CreateWindowFor(Form& form) {
  auto owned = std::make_unique<Window>();
  Window& w = *owned;
  w.id = next_id_++;
  w.form = &form;
  const FormSpec& spec = form.spec();
  const PixelRect client = ClientRect(spec, layout_dpi_);
  const bool dialog = spec.border == BorderStyle::FixedDialog;
  w.client = dialog ? PixelPoint{kEdge, kEdge + title_} : PixelPoint{};
  w.size = {client.width() + (dialog ? 2 * kEdge : 0),
            client.height() + (dialog ? 2 * kEdge + title_ : 0)};
  // A dialog moves by its title bar; a borderless window by the label that
  // starts its drag, and until then it keeps some of itself in the page.
  w.strip = dialog ? PixelRect{0, 0, w.size.x - title_, kEdge + title_}
                   : PixelRect{0, 0, w.size.x, w.size.y};
  // The surface in front of the labels stands behind every windowed
  // control (CreateControls stacks every second place).
  int behind = 0;
  for (int i : StackingOrder(spec)) behind += spec.controls[i].IsWindowed() ? 0 : 1;
  page::CreateWindow(w.id, dialog ? page::Frame::kDialog : page::Frame::kNone, form.Caption(),
                     client.width(), client.height(), kEdge, title_, 2 * behind + 1);
  CreateControls(w, {}, -1);
  PaintSurface(w);
  CoverLabels(w);
  PaintChrome(w);
  windows_[w.id] = std::move(owned);
  return &w;
}

// Created in reading order, so that screen readers read the window from top
// to bottom; stacked by the shared order.
void WebToolkit::CreateControls(Window& w, std::string_view container, int container_index) {
  const Form& form = *w.form;
  const FormSpec& spec = form.spec();
  // Stacked every second place, so that the surface in front of the labels
  // fits between them and the windowed controls.
  std::vector<int> z_of(spec.controls.size());
  const std::vector<int> front_first = StackingOrder(spec, container);
  for (std::size_t n = 0; n < front_first.size(); ++n)
    z_of[front_first[n]] = 2 * static_cast<int>(front_first.size() - n);
  for (int i : ReadingOrder(spec, container)) {
    const Control& c = form.controls()[i];
    const ControlSpec& s = c.spec();
    const PixelRect b = Bounds(s, layout_dpi_);
    const bool offscreen = Offstage(spec, s);
    const int z = z_of[i];
    switch (s.kind) {
      case ControlKind::Label: {
        page::CreateLabel(w.id, i, s.name, container_index, b.left, b.top, b.width(), b.height(), z,
                          offscreen);
        const WebFace face = FaceOf(s.font, layout_dpi_);
        // The text's box in the label's own pixels, wrapped before the squeeze.
        const PixelRect text = TextBox({0, 0, b.width(), b.height()}, face.size);
        page::SetLabelFace(w.id, i, face.family, face.bold, face.size.em,
                           WebCss(Resolve(s.fore, ColorRole::Text)), face.scale,
                           text.width() / face.scale, -text.top, text.left);
        page::SetText(w.id, i, c.Caption());
        break;
      }
      case ControlKind::CommandButton: {
        const WebFace face = FaceOf(s.font, layout_dpi_);
        page::CreateButton(w.id, i, s.name, container_index, b.left, b.top, b.width(), b.height(),
                           z, offscreen, face.family, face.bold, face.size.em);
        const ShownCaption shown = ShowCaption(c.Caption());
        page::SetText(w.id, i, shown.text, shown.key_at);
        break;
      }
      case ControlKind::Frame:
      case ControlKind::PictureBox:
        page::CreateChrome(w.id, i, s.name, container_index, b.left, b.top, b.width(), b.height(),
                           z);
        if (s.kind == ControlKind::Frame) CreateControls(w, s.name, i);
        break;
      default:
        continue;
    }
    if (!c.Visible()) page::SetVisible(w.id, i, false);
  }
}

// The surfaces, at the device's pixels so that every edge lands on one:
// behind the labels' texts, the form's background and the labels' own; in
// front of them, the lines and shapes.
void WebToolkit::PaintSurface(Window& w) {
  const PixelRect client = ClientRect(w.form->spec(), dpi_);
  for (const auto& [surface, layers] : {std::pair{-1, PlanLayers::BehindText},
                                        std::pair{page::kOverlay, PlanLayers::InFrontOfText}}) {
    page::SizeSurface(w.id, surface, client.width(), client.height());
    BuildPlan(*w.form, dpi_, client, plan_, layers);
    WebCanvas canvas(w.id, surface);
    canvas.Draw(plan_);
  }
}

// A label's text is the page's own, over the surface: it is cut where a
// label in front of it covers it, as the plan paints the one over the other.
void WebToolkit::CoverLabels(Window& w) {
  const auto& controls = w.form->spec().controls;
  std::vector<int> edges;
  for (int i = 0; i < static_cast<int>(controls.size()); ++i) {
    if (controls[i].kind != ControlKind::Label || !controls[i].container.empty()) continue;
    edges.clear();
    for (const PixelRect& r : CoveredParts(*w.form, i, layout_dpi_))
      edges.insert(edges.end(), {r.left, r.top, r.right, r.bottom});
    page::SetLabelCover(w.id, i, edges.data(), static_cast<int>(edges.size() / 4));
  }
}

void WebToolkit::PaintChrome(Window& w) {
  const auto& controls = w.form->spec().controls;
  for (int i = 0; i < static_cast<int>(controls.size()); ++i) {
    const ControlSpec& s = controls[i];
    if (s.kind != ControlKind::Frame && s.kind != ControlKind::PictureBox) continue;
    const PixelRect b = Bounds(s, dpi_);
    page::SizeSurface(w.id, i, b.width(), b.height());
    BuildChromePlan(s, dpi_, plan_);
    WebCanvas canvas(w.id, i);
    canvas.Draw(plan_);
  }
}

// Where the form asks, or cascaded; inside what can be seen of the page, as
// far as it fits. The first window of a new release stands where the old
// one stood.
void WebToolkit::Place(Window& w) {
  PixelPoint at;
  if (const auto corner = ClientCorner(w.form->spec(), layout_dpi_)) {
    at = {corner->x - w.client.x, corner->y - w.client.y};
  } else {
    const int slot = cascade_++ % kCascadeSlots;
    at = {kFirstPlace.x + slot * kCascadeStep, kFirstPlace.y + slot * kCascadeStep};
  }
  if (kept_) at = *kept_;
  kept_.reset();
  MoveTo(w, OpenInside(at, w.size, VisibleArea()));
}

// A message box stands in the middle of its owner, or of what can be seen of
// the page, and inside that.
void WebToolkit::PlaceBox(Window& box, const Window* owner) {
  page::MeasureWindow(box.id, box.size.x, box.size.y);
  box.strip = {0, 0, box.size.x - title_, kEdge + title_};
  const PixelRect area = VisibleArea();
  const PixelRect around = owner ? PixelRect{owner->at.x, owner->at.y, owner->at.x + owner->size.x,
                                             owner->at.y + owner->size.y}
                                 : area;
  const PixelPoint at{(around.left + around.right - box.size.x) / 2,
                      (around.top + around.bottom - box.size.y) / 2};
  MoveTo(box, OpenInside(at, box.size, area));
}

void WebToolkit::MoveTo(Window& w, PixelPoint at) {
  w.at = at;
  page::PlaceWindow(w.id, at.x, at.y);
}

void WebToolkit::KeepInPage(Window& w, PixelPoint at) {
  MoveTo(w, KeepReachable(at, w.strip, VisibleArea(), kGrip));
}

// A control's corner in its window's pixels: past the frame, and inside its
// container.
PixelPoint WebToolkit::Offset(const Window& w, int control) const {
  const FormSpec& spec = w.form->spec();
  PixelPoint at = w.client;
  if (const std::string_view in = spec.controls[control].container; !in.empty()) {
    const PixelRect b = Bounds(spec.controls[w.form->IndexOf(in)], layout_dpi_);
    at = {at.x + b.left, at.y + b.top};
  }
  return at;
}

bool WebToolkit::Activate(Window& w) {
  w.z = ++top_z_;
  page::ShowWindow(w.id, w.z);
  if (active_ == w.id) return false;
  if (Window* old = Find(active_)) page::SetActive(old->id, false);
  active_ = w.id;
  page::SetActive(w.id, true);
  return true;
}

// When the active window goes, the one in front of the others that takes
// input becomes active, as a window system does.
void WebToolkit::ActivateTopmost() {
  const Window* top = nullptr;
  for (const auto& [id, w] : windows_)
    if (!Blocked(*w) && !w->answer && (!top || w->z > top->z)) top = w.get();
  if (top) own_events_.push_back({EventType::kActivate, top->id, -1, kGiveFocus, 0, 0});
}

void WebToolkit::ShowWindowFor(Form& form, bool first) {
  Window& w = Of(form);
  if (first) Place(w);
  Activate(w);
}

void WebToolkit::DestroyWindowFor(Form& form) {
  const auto it = windows_.find(Of(form).id);
  if (it == windows_.end()) return;
  const int id = it->first;
  page::DestroyWindow(id);
  if (dragging_ == id) {
    drag_.Cancel();
    dragging_ = 0;
  }
  windows_.erase(it);
  if (active_ == id) {
    active_ = 0;
    ActivateTopmost();
  }
}

void WebToolkit::SetText(Form& form, int control, std::string_view text) {
  Window& w = Of(form);
  if (control < 0) return page::SetCaption(w.id, text);
  if (form.spec().controls[control].kind == ControlKind::CommandButton) {
    const ShownCaption shown = ShowCaption(text);
    return page::SetText(w.id, control, shown.text, shown.key_at);
  }
  page::SetText(w.id, control, text);
}

void WebToolkit::SetVisible(Form& form, int control, bool visible) {
  Window& w = Of(form);
  const ControlKind kind = form.spec().controls[control].kind;
  if (kind != ControlKind::Line && kind != ControlKind::Shape && kind != ControlKind::Timer)
    page::SetVisible(w.id, control, visible);
  // Labels' backgrounds, lines and shapes are on the surfaces.
  if (kind == ControlKind::Label || kind == ControlKind::Line || kind == ControlKind::Shape)
    PaintSurface(w);
  if (kind == ControlKind::Label) CoverLabels(w);
}

void WebToolkit::FocusControl(Form& form, int control) {
  Window& w = Of(form);
  w.focus = control;
  page::Focus(w.id, control);
}

void WebToolkit::ShowDefault(Form& form, int control) {
  Window& w = Of(form);
  if (w.looks_default >= 0) page::SetDefaultLook(w.id, w.looks_default, false);
  if (control >= 0) page::SetDefaultLook(w.id, control, true);
  w.looks_default = control;
}

void WebToolkit::StartTicker(Form& form, int interval_ms, int first_ms) {
  page::StartTicker(Of(form).id, interval_ms, first_ms);
}

void WebToolkit::StopTicker(Form& form, int interval_ms) {
  page::StopTicker(Of(form).id, interval_ms);
}

// The window follows the pointer from the press that the runtime is
// handling, as a window system moves a window by its title bar.
void WebToolkit::DragWindow(Form& form, MouseButton button) {
  Window& w = Of(form);
  if (pressed_ >= 0)
    w.strip = Shifted(TitleStrip(form.spec(), pressed_, layout_dpi_), Offset(w, pressed_));
  drag_.Begin(button, pointer_, w.at);
  dragging_ = w.id;
}

// Modal to its owner (or to every window, with none): the other windows go
// on taking input and ticking while the nested loop waits for the answer.
int WebToolkit::ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                               const BoxStyle& style) {
  auto owned = std::make_unique<Window>();
  Window& box = *owned;
  box.id = next_id_++;
  box.box = Describe(style);
  box.keys = KeyButtonsOf(box.box);
  Window* owner_window = owner && owner->native ? &Of(*owner) : nullptr;
  box.owner = owner_window ? owner_window->id : 0;
  windows_[box.id] = std::move(owned);

  page::CreateWindow(box.id, page::Frame::kMessageBox, title, 0, 0, kEdge, title_);
  page::SetBoxText(box.id, text, static_cast<int>(style.icon));
  for (const KeyButton& b : box.keys) {
    page::AddBoxButton(box.id, b.id);
    const ShownCaption shown = ShowCaption(b.caption);
    page::SetText(box.id, b.id, shown.text, shown.key_at);
  }
  PlaceBox(box, owner_window);
  if (owner_window) {
    SetBlocked(*owner_window, true);
  } else {
    ++application_modal_;
    for (const auto& [id, w] : windows_)
      if (w->form) page::SetBlocked(id, true);
  }
  Activate(box);
  FocusBoxButton(box, box.box.focus);

  const int id = box.id;
  while (!quit_ && !Find(id)->answer) DispatchNext();
  Window* closed = Find(id);
  const int answer =
      closed->answer ? closed->answer : DismissedAnswer(closed->box, closed->box.focus);
  if (!closed->answer) AnswerBox(*closed, answer);
  windows_.erase(id);
  return answer;
}

void WebToolkit::SetBlocked(Window& w, bool blocked) {
  w.boxes_over += blocked ? 1 : -1;
  page::SetBlocked(w.id, w.boxes_over > 0 || application_modal_ > 0);
}

bool WebToolkit::Blocked(const Window& w) const {
  return w.form && (w.boxes_over > 0 || application_modal_ > 0);
}

// The box goes at once, even while a box opened after it still holds the
// loop that waits for it.
void WebToolkit::AnswerBox(Window& box, int answer) {
  box.answer = answer;
  page::DestroyWindow(box.id);
  if (box.owner) {
    if (Window* owner = Find(box.owner)) SetBlocked(*owner, false);
  } else {
    --application_modal_;
    for (const auto& [id, w] : windows_)
      if (w->form) page::SetBlocked(id, Blocked(*w));
  }
  if (active_ == box.id) {
    active_ = 0;
    if (Window* owner = Find(box.owner)) {
      own_events_.push_back({EventType::kActivate, owner->id, -1, kGiveFocus, 0, 0});
    } else {
      ActivateTopmost();
    }
  }
}

void WebToolkit::FocusBoxButton(Window& box, int button) {
  if (button < 0) return;
  if (box.looks_default >= 0) page::SetDefaultLook(box.id, box.looks_default, false);
  page::SetDefaultLook(box.id, button, true);
  box.looks_default = box.focus = button;
  page::Focus(box.id, button);
}

bool WebToolkit::Inside(const Window& w, int control, PixelPoint p) const {
  const PixelPoint in = Offset(w, control);
  const PixelRect b = Shifted(Bounds(w.form->spec().controls[control], layout_dpi_),
                              {w.at.x + in.x, w.at.y + in.y});
  return p.x >= b.left && p.x < b.right && p.y >= b.top && p.y < b.bottom;
}

namespace {
WebToolkit* g_running = nullptr;  // the toolkit whose turns the page calls for
}  // namespace

void WebToolkit::Run() {
  g_running = this;
  Turn();
}

// Everything that waits, one event at a time; then the program returns to
// the page until more comes. Only a box's loop suspends the program.
void WebToolkit::Turn() {
  page::Event e;
  while (!quit_ && NextWaiting(e)) {
    Dispatch(e);
    if (release_) SwitchWhenSafe();
  }
  if (quit_ && g_running == this) {
    g_running = nullptr;
    page::ShowEnded();
  }
}

bool WebToolkit::NextWaiting(page::Event& e) {
  if (own_events_.empty()) return page::NextEvent(e);
  e = own_events_.front();
  own_events_.pop_front();
  return true;
}

void WebToolkit::DispatchNext() {
  page::Event e;
  while (!NextWaiting(e)) page::WaitForEvent();
  Dispatch(e);
  if (release_) SwitchWhenSafe();
}

}  // namespace qvl

// The page calls this when it has queued something and the program is not
// waiting in a box's loop.
extern "C" EMSCRIPTEN_KEEPALIVE void qvl_turn() {
  if (qvl::g_running) qvl::g_running->Turn();
}

namespace qvl {

// A new release is loaded when it cannot cost the user anything: no message
// box waits for an answer, no window is being moved, and the first window is
// the only one open, so that the new page shows just what the old one did.
void WebToolkit::SwitchWhenSafe() {
  if (dragging_ || windows_.size() != 1) return;
  const Window& w = *windows_.begin()->second;
  if (!w.form) return;
  release_ = false;
  page::SwitchRelease(w.at.x, w.at.y);
}

void WebToolkit::Dispatch(const page::Event& e) {
  if (e.type == EventType::kRelease) {
    release_ = true;
    return;
  }
  // Where the desktop scrolls, a window can be scrolled to from its first
  // screen, whatever part of it is seen now.
  if (e.type == EventType::kResized) {
    const PixelRect seen = VisibleArea();
    const PixelRect first{0, 0, seen.width(), seen.height()};
    for (const auto& [id, w] : windows_) MoveTo(*w, KeepReachable(w->at, w->strip, first, kGrip));
    return;
  }
  if (e.type == EventType::kScaleChanged) {
    dpi_ = DeviceDpi(layout_dpi_);
    for (const auto& [id, w] : windows_)
      if (w->form) {
        PaintSurface(*w);
        PaintChrome(*w);
      }
    return;
  }
  Window* w = Find(e.window >= 0 ? e.window : active_);
  if (!w || w->answer) return;
  if (e.type == EventType::kTick) {
    if (w->form) w->form->runtime().Tick(*w->form, e.a);
    return;
  }
  if (Blocked(*w)) return;
  if (e.type == EventType::kMouseDown || e.type == EventType::kMouseUp ||
      e.type == EventType::kPointerMove) {
    pointer_ = {e.b, e.c};
  }
  if (e.control == page::kTitleBar) return TitleBarInput(*w, e);
  if (!w->form) return BoxInput(*w, e);
  FormInput(*w, e);
}

// A dialog's drawn title bar: a press activates the window, and the left
// button moves it, as a window system's title bar does.
void WebToolkit::TitleBarInput(Window& w, const page::Event& e) {
  MouseButton button;
  if (!ButtonOf(e.a, button) && e.type != EventType::kPointerMove) return;
  switch (e.type) {
    case EventType::kMouseDown:
      if (Activate(w) && w.form) w.form->runtime().Activated(*w.form);
      if (button == MouseButton::Left && !dragging_ && w.form) {
        drag_.Begin(button, pointer_, w.at);
        dragging_ = w.id;
      }
      break;
    case EventType::kMouseUp:
      if (dragging_ == w.id && drag_.Release(button)) dragging_ = 0;
      break;
    case EventType::kPointerMove:
      if (dragging_ == w.id)
        if (const auto to = drag_.Follow(pointer_)) KeepInPage(w, *to);
      break;
    default:
      break;
  }
}

// Input of a form's window goes to the runtime, which decides what it means.
// After a call into the runtime `w` may be gone.
void WebToolkit::FormInput(Window& w, const page::Event& e) {
  Form& form = *w.form;
  Runtime& runtime = form.runtime();
  MouseButton button = MouseButton::Left;
  switch (e.type) {
    case EventType::kClick:
      runtime.ButtonClicked(form, e.control);
      break;
    case EventType::kMouseDown:
      // While the window moves, the move has the pointer.
      if (dragging_ || !ButtonOf(e.a, button)) break;
      if (Activate(w)) runtime.Activated(form);
      pressed_ = e.control;
      runtime.MouseDown(form, e.control, button);
      pressed_ = -1;
      break;
    case EventType::kMouseUp:
      if (!ButtonOf(e.a, button)) break;
      if (dragging_) {
        if (drag_.Release(button)) dragging_ = 0;
        break;
      }
      runtime.MouseUp(form, e.control, button, Inside(w, e.control, pointer_));
      break;
    case EventType::kPointerMove:
      if (dragging_ == w.id)
        if (const auto to = drag_.Follow(pointer_)) KeepInPage(w, *to);
      break;
    case EventType::kPointerLost:
      if (dragging_ == w.id) {
        drag_.Cancel();
        dragging_ = 0;
      }
      runtime.PointerLost(form);
      break;
    case EventType::kKey:
      runtime.KeyDown(form, e.a ? Key::Escape : Key::Enter);
      break;
    case EventType::kCharacter:
      runtime.CharacterDown(form, static_cast<char>(e.a), e.b != 0);
      break;
    case EventType::kTab:
      runtime.TabDown(form, e.a != 0);
      break;
    case EventType::kFocusIn:
      w.focus = e.control;
      Activate(w);
      runtime.FocusIn(form, e.control);
      break;
    case EventType::kActivate:
      if (Activate(w) || e.a == kGiveFocus) runtime.Activated(form);
      break;
    case EventType::kClose:
      runtime.WindowClosed(form);
      break;
    default:
      break;
  }
}

// A message box's keys and buttons, by the same rules as a form's, for the
// buttons its style describes.
void WebToolkit::BoxInput(Window& box, const page::Event& e) {
  const KeyButtons keys = box.keys;
  const auto answer = [&](int button) {
    if (button >= 0) AnswerBox(box, box.box.buttons[button].answer);
  };
  switch (e.type) {
    case EventType::kClick:
      if (e.control >= 0 && e.control < static_cast<int>(keys.size())) answer(e.control);
      break;
    case EventType::kKey:
      answer(ButtonForKey(keys, e.a ? Key::Escape : Key::Enter, box.focus));
      break;
    case EventType::kClose:
      answer(ButtonForKey(keys, Key::Escape, box.focus));
      break;
    case EventType::kCharacter:
      answer(ButtonForAccessKey(keys, static_cast<char>(e.a), e.b != 0, kBoxAccessKeys));
      break;
    case EventType::kTab:
      FocusBoxButton(box, NextFocus(keys, box.focus, e.a != 0));
      break;
    case EventType::kFocusIn:
      if (e.control != box.focus) FocusBoxButton(box, e.control);
      Activate(box);
      break;
    case EventType::kActivate:
      Activate(box);
      page::Focus(box.id, box.focus);
      break;
    default:
      break;
  }
}

}  // namespace qvl
