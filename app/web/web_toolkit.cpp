#include "app/web/web_toolkit.h"

#include <algorithm>
#include <cmath>

#include "app/form.h"
#include "app/stacking.h"
#include "app/web/web_canvas.h"

namespace qvl {

namespace {

// Windows are laid out in CSS pixels, 15 twips each; the browser scales them
// to the device.
constexpr int kCssDpi = 96;
// The frame the page draws around a fixed dialog: a thin edge and a title bar.
constexpr int kEdge = 1, kTitle = 22;
// Where windows without a place of their own go: one below and right of the
// other, as a window system cascades new windows.
constexpr PixelPoint kFirstPlace{16, 16};
constexpr int kCascadeStep = 24, kCascadeSlots = 8;

using page::EventType;

// An activation the toolkit queues itself, when the window in front went:
// the focus comes back to the window that is now active.
constexpr int kGiveFocus = 1;

int DeviceDpi() {
  return std::max(1, static_cast<int>(std::lround(kCssDpi * page::DeviceScale())));
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

WebToolkit::WebToolkit() : dpi_(DeviceDpi()) {
  SetSystemColors();
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
  const PixelRect client = ClientRect(spec, kCssDpi);
  const bool dialog = spec.border == BorderStyle::FixedDialog;
  w.client = dialog ? PixelPoint{kEdge, kEdge + kTitle} : PixelPoint{};
  w.size = {client.width() + (dialog ? 2 * kEdge : 0),
            client.height() + (dialog ? 2 * kEdge + kTitle : 0)};
  // The surface in front of the labels stands behind every windowed
  // control (CreateControls stacks every second place).
  int behind = 0;
  for (int i : StackingOrder(spec)) behind += spec.controls[i].IsWindowed() ? 0 : 1;
  page::CreateWindow(w.id, dialog ? page::Frame::kDialog : page::Frame::kNone, form.Caption(),
                     client.width(), client.height(), kEdge, kTitle, 2 * behind + 1);
  CreateControls(w, {}, -1);
  PaintSurface(w);
  CoverLabels(w);
  PaintChrome(w);
  windows_[w.id] = std::move(owned);
  return &w;
}

// Created front first, so that screen readers meet them in focus order;
// stacked by the shared order.
void WebToolkit::CreateControls(Window& w, std::string_view container, int container_index) {
  const Form& form = *w.form;
  const FormSpec& spec = form.spec();
  const std::vector<int> order = StackingOrder(spec, container);
  int z = 2 * static_cast<int>(order.size());
  for (int i : order) {
    const Control& c = form.controls()[i];
    const ControlSpec& s = c.spec();
    const PixelRect b = Bounds(s, kCssDpi);
    const bool offscreen = Offstage(spec, s);
    switch (s.kind) {
      case ControlKind::Label: {
        page::CreateLabel(w.id, i, s.name, container_index, b.left, b.top, b.width(), b.height(), z,
                          offscreen);
        const WebFace face = FaceOf(s.font);
        const double wrap = (b.width() - face.size.indent) / face.scale;
        page::SetLabelFace(w.id, i, face.family, face.bold, face.size.em,
                           WebCss(Resolve(s.fore, ColorRole::Text)), face.scale, wrap,
                           face.size.raise, face.size.indent);
        page::SetText(w.id, i, c.Caption());
        break;
      }
      case ControlKind::CommandButton: {
        const WebFace face = FaceOf(s.font);
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
    z -= 2;
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
    for (const PixelRect& r : CoveredParts(*w.form, i, kCssDpi))
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

void WebToolkit::Place(Window& w) {
  if (const auto corner = ClientCorner(w.form->spec(), kCssDpi)) {
    MoveTo(w, {corner->x - w.client.x, corner->y - w.client.y});
    return;
  }
  const int slot = cascade_++ % kCascadeSlots;
  MoveTo(w, {kFirstPlace.x + slot * kCascadeStep, kFirstPlace.y + slot * kCascadeStep});
}

void WebToolkit::MoveTo(Window& w, PixelPoint at) {
  w.at = at;
  page::PlaceWindow(w.id, at.x, at.y);
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

void WebToolkit::StartTicker(Form& form, int interval_ms) {
  page::StartTicker(Of(form).id, interval_ms);
}

void WebToolkit::StopTicker(Form& form, int interval_ms) {
  page::StopTicker(Of(form).id, interval_ms);
}

// The window follows the pointer from the press that the runtime is
// handling, as a window system moves a window by its title bar.
void WebToolkit::DragWindow(Form& form, MouseButton button) {
  Window& w = Of(form);
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
  for (int i = 0; i < static_cast<int>(box.box.buttons.size()); ++i) {
    const BoxButton& b = box.box.buttons[i];
    box.keys.push_back({i, b.caption, true, false, b.answer == box.box.escape});
  }
  Window* owner_window = owner && owner->native ? &Of(*owner) : nullptr;
  box.owner = owner_window ? owner_window->id : 0;
  windows_[box.id] = std::move(owned);

  page::CreateWindow(box.id, page::Frame::kMessageBox, title, 0, 0, kEdge, kTitle);
  page::SetBoxText(box.id, text, static_cast<int>(style.icon));
  for (const KeyButton& b : box.keys) {
    page::AddBoxButton(box.id, b.id);
    const ShownCaption shown = ShowCaption(b.caption);
    page::SetText(box.id, b.id, shown.text, shown.key_at);
  }
  if (owner_window) {
    page::CentreWindow(box.id, owner_window->at.x + owner_window->size.x / 2,
                       owner_window->at.y + owner_window->size.y / 2);
  } else {
    page::CentreWindow(box.id, -1, -1);
  }
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
  const int answer = closed->answer       ? closed->answer
                     : closed->box.escape ? closed->box.escape
                                          : closed->box.buttons[closed->box.focus].answer;
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
  const FormSpec& spec = w.form->spec();
  const ControlSpec& s = spec.controls[control];
  PixelRect b = Bounds(s, kCssDpi);
  int dx = w.at.x + w.client.x, dy = w.at.y + w.client.y;
  if (!s.container.empty()) {
    const PixelRect in = Bounds(spec.controls[w.form->IndexOf(s.container)], kCssDpi);
    dx += in.left;
    dy += in.top;
  }
  return p.x >= b.left + dx && p.x < b.right + dx && p.y >= b.top + dy && p.y < b.bottom + dy;
}

void WebToolkit::Run() {
  while (!quit_) DispatchNext();
  page::ShowEnded();
}

void WebToolkit::DispatchNext() {
  page::Event e;
  if (!own_events_.empty()) {
    e = own_events_.front();
    own_events_.pop_front();
  } else {
    while (!page::NextEvent(e)) page::WaitForEvent();
  }
  Dispatch(e);
}

void WebToolkit::Dispatch(const page::Event& e) {
  if (e.type == EventType::kScaleChanged) {
    dpi_ = DeviceDpi();
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
        if (const auto to = drag_.Follow(pointer_)) MoveTo(w, *to);
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
      runtime.MouseDown(form, e.control, button);
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
        if (const auto to = drag_.Follow(pointer_)) MoveTo(w, *to);
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
      answer(ButtonForAccessKey(keys, static_cast<char>(e.a), e.b != 0, AccessKeys::AltOrBare));
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
