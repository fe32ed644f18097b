#include "app/form.h"

#include <algorithm>
#include <utility>

#include "app/captions.h"
#include "app/errors.h"
#include "app/geometry.h"
#include "app/stacking.h"

namespace qvl {

namespace {
constexpr int kStyleCritical = 16;
}

Control::Control(Form& form, int index)
    : form_(&form),
      index_(index),
      caption_(spec().caption),
      visible_(spec().visible),
      enabled_(spec().enabled) {}

const ControlSpec& Control::spec() const {
  return form_->spec().controls[index_];
}

// The text is copied into the caption's own storage, which a caption
// rewritten every tick keeps: no allocation once the text has been seen.
// A label that is never seen is not told its new text: toolkits read an
// offstage label's caption from the form when a screen reader asks.
void Control::SetCaption(std::string_view text) {
  if (text == caption_) return;
  caption_.assign(text);
  form_->runtime().Changed();
  const ControlSpec& s = spec();
  if (!form_->native || (s.kind == ControlKind::Label && Offstage(form_->spec(), s))) return;
  form_->runtime().toolkit_->SetText(*form_, index_, caption_);
}

double Control::Number() const {
  return TextToNumber(caption_);
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  form_->runtime().Changed();
  form_->runtime().VisibilityChanged(*form_, index_);
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  form_->runtime().Changed();
  if (spec().kind == ControlKind::Timer) form_->runtime().TimersChanged(*form_);
}

Form::Form(Runtime& runtime, const FormSpec& spec)
    : runtime_(&runtime), spec_(&spec), caption_(spec.caption) {
  controls_.reserve(spec.controls.size());
  for (int i = 0; i < static_cast<int>(spec.controls.size()); ++i) {
    controls_.emplace_back(*this, i);
    if (spec.controls[i].kind == ControlKind::Timer) timers_.push_back(i);
  }
  quiet_.resize(timers_.size());
}

Form::~Form() = default;

void Form::SetCaption(std::string_view text) {
  if (text == caption_) return;
  caption_.assign(text);
  runtime_->Changed();
  if (native) runtime_->toolkit_->SetText(*this, -1, caption_);
}

bool Form::CanBeSeen(int control) const {
  if (control < 0 || control >= static_cast<int>(controls_.size())) return false;
  const Control& c = controls_[control];
  if (!c.Visible()) return false;
  const std::string_view container = c.spec().container;
  return container.empty() || CanBeSeen(IndexOf(container));
}

std::vector<KeyButton> Form::KeyButtonsNow() const {
  std::vector<KeyButton> out;
  for (int i : TabOrder(*spec_)) {
    const ControlSpec& s = spec_->controls[i];
    out.push_back({i, controls_[i].Caption(), CanBeSeen(i), s.is_default, s.is_cancel});
  }
  return out;
}

int Form::IndexOf(std::string_view name, int member) const {
  const auto& c = spec_->controls;
  for (int i = 0; i < static_cast<int>(c.size()); ++i)
    if (c[i].name == name && c[i].array_index == member) return i;
  return -1;
}

Control& Form::operator[](std::string_view name) {
  return Member(name, -1);
}

Control& Form::Member(std::string_view name, int member) {
  const int i = IndexOf(name, member);
  // A name that the table lacks is a fault of the program, caught by tests.
  if (i < 0) throw RuntimeError(438, "Object doesn't support this property or method");
  return controls_[i];
}

Runtime::Runtime(Toolkit& toolkit, System& system, const AppFacts& facts)
    : toolkit_(&toolkit), system_(&system), facts_(facts) {}

Runtime::~Runtime() {
  for (auto& f : forms_) Close(*f);
}

void Runtime::Close(Form& form) {
  std::erase_if(held_, [&](const Held& h) { return h.form == &form; });
  if (!form.native) return;
  toolkit_->DestroyWindowFor(form);
  form.native = nullptr;
}

template <class Fn>
void Runtime::Guarded(Form& form, Fn&& fn) {
  if (Quiet(form)) return;
  Form* outer = active_;
  active_ = &form;
  ++depth_;
  std::string report;
  try {
    fn();
  } catch (const RuntimeError& e) {
    report = UnhandledErrorText(e.number(), e.what());
  } catch (const std::exception& e) {
    report = UnhandledErrorText(51, std::string("Internal error: ") + e.what());
  }
  if (!report.empty() && !ended_ && !failing_) {
    failing_ = true;
    MsgBox(report, kStyleCritical);
    End();
  }
  --depth_;
  active_ = outer;
}

void Runtime::Show(Form& form) {
  if (Quiet(form)) return;
  Changed();
  const bool first = !form.loaded_;
  if (first) {
    form.loaded_ = true;
    form.native = toolkit_->CreateWindowFor(form);
    Guarded(form, [&] { form.OnLoad(); });
    if (Quiet(form)) return;
    TimersChanged(form);  // timers run from the moment the form is loaded
  }
  toolkit_->ShowWindowFor(form, first);
  if (first) MoveFocus(form, FirstFocus(form.KeyButtonsNow()));
}

// The focus leaves a control that can no longer be seen.
void Runtime::VisibilityChanged(Form& form, int control) {
  if (!form.native) return;
  toolkit_->SetVisible(form, control, form.controls_[control].Visible());
  if (form.focus_ >= 0) MoveFocus(form, FocusAfterChange(form.KeyButtonsNow(), form.focus_));
}

void Runtime::MoveFocus(Form& form, int control) {
  if (!form.native) return;
  if (control != form.focus_ && control >= 0) toolkit_->FocusControl(form, control);
  form.focus_ = control;
  const int look = DefaultLook(form.KeyButtonsNow(), control);
  if (look != form.looks_default_) toolkit_->ShowDefault(form, look);
  form.looks_default_ = look;
}

void Runtime::TimersChanged(Form& form) {
  if (!form.native || !form.loaded_) return;
  std::vector<int> wanted;
  for (const Control& c : form.controls_)
    if (c.spec().kind == ControlKind::Timer && c.Enabled() && c.spec().interval > 0 &&
        std::find(wanted.begin(), wanted.end(), c.spec().interval) == wanted.end())
      wanted.push_back(c.spec().interval);
  for (int interval : form.tickers_)
    if (std::find(wanted.begin(), wanted.end(), interval) == wanted.end())
      toolkit_->StopTicker(form, interval);
  for (int interval : wanted)
    if (std::find(form.tickers_.begin(), form.tickers_.end(), interval) == form.tickers_.end())
      toolkit_->StartTicker(form, interval, interval);
  form.tickers_ = std::move(wanted);
}

// Timers of one interval share one ticker, so the process wakes once per
// interval, not once per timer; they fire in declaration order, and a timer
// that an earlier one disables in the same tick does not fire. A countdown
// ticks ten times a second but its text changes once: the other nine runs
// would rewrite what is there, and are skipped where the form says that is
// safe.
void Runtime::Tick(Form& form, int interval_ms) {
  // A held ticker's first tick ends its hold: it goes on at its interval.
  std::erase_if(held_, [&](const Held& h) { return h.form == &form && h.interval == interval_ms; });
  ++depth_;  // the form outlives the loop even if a handler unloads it
  // When every timer ends the tick quiet, no run changed anything, so each
  // one's reading still holds: none can do anything before the second read
  // changes, or something else does.
  bool idle = form.TimersFollowFormsAndClock(), any = false, clock = false;
  // Ten times a second: only the timers are looked at, not every control.
  for (std::size_t k = 0; k < form.timers_.size(); ++k) {
    if (Quiet(form)) break;
    Control& c = form.controls_[form.timers_[k]];
    if (c.spec().interval != interval_ms || !c.Enabled()) continue;
    any = true;
    std::optional<Form::QuietRun>& quiet = form.quiet_[k];
    if (!quiet || quiet->changes != changes_ ||
        (quiet->read_clock && !(system_->Now() == quiet->clock))) {
      const std::uint64_t before = changes_;
      ClockReading reading;
      ClockReading* outer = std::exchange(reading_, &reading);  // a box's loop nests ticks
      Guarded(form, [&] { form.OnEvent(c, Event::Timer); });
      reading_ = outer;
      if (form.TimersFollowFormsAndClock() && changes_ == before && reading.steady)
        quiet = Form::QuietRun{changes_, reading.read, reading.value};
      else
        quiet.reset();
    }
    idle = idle && quiet.has_value();
    clock = clock || (quiet && quiet->read_clock);
  }
  if (idle && any && !Quiet(form)) Hold(form, interval_ms, clock);
  --depth_;
  Collect();
}

// Held until the clock's next second if a timer reads it, else until a change.
void Runtime::Hold(Form& form, int interval_ms, bool clock) {
  toolkit_->StopTicker(form, interval_ms);
  if (clock) toolkit_->StartTicker(form, interval_ms, system_->MsToNextSecond());
  held_.push_back({&form, interval_ms});
}

void Runtime::ReleaseHeld() {
  for (const Held& h : std::exchange(held_, {})) {
    const auto& running = h.form->tickers_;
    if (!h.form->native || std::find(running.begin(), running.end(), h.interval) == running.end())
      continue;
    toolkit_->StopTicker(*h.form, h.interval);
    toolkit_->StartTicker(*h.form, h.interval, h.interval);
  }
}

LocalTime Runtime::Now() {
  const LocalTime now = system_->Now();
  if (reading_ && !reading_->read) {
    reading_->read = true;
    reading_->value = now;
  } else if (reading_ && !(reading_->value == now)) {
    reading_->steady = false;
  }
  return now;
}

// The pointer now belongs to the move, so the press makes no Click.
void Runtime::DragWindow(Form& form) {
  Changed();
  form.clicks_.Cancel();
  if (form.native) toolkit_->DragWindow(form, pressing_);
}

void Runtime::Unload(Form& form) {
  if (!form.alive()) return;
  Changed();
  form.alive_ = false;
  Close(form);
  Collect();
  if (!ended_ && Forms().empty()) toolkit_->Quit();
}

void Runtime::WindowClosed(Form& form) {
  if (!ended_) Unload(form);
}

void Runtime::End() {
  if (ended_) return;
  Changed();
  ended_ = true;
  for (auto& f : forms_) {
    f->alive_ = false;
    Close(*f);
  }
  toolkit_->Quit();
  Collect();
}

int Runtime::MsgBox(std::string_view text, int style, std::string_view title) {
  Changed();  // whatever runs while the box waits, and its answer
  if (title.empty()) title = facts_.title;
  Form* owner = active_ && active_->alive() && active_->native ? active_ : nullptr;
  return toolkit_->ShowMessageBox(owner, text, title, DecodeBoxStyle(style));
}

void Runtime::Dispatch(Form& form, int control, Event event) {
  if (control < 0 || control >= static_cast<int>(form.controls_.size()) || Quiet(form)) return;
  Changed();
  Guarded(form, [&] { form.OnEvent(form.controls_[control], event); });
  Collect();
}

void Runtime::ButtonClicked(Form& form, int control) {
  Dispatch(form, control, Event::Click);
}

void Runtime::MouseDown(Form& form, int control, MouseButton button) {
  form.clicks_.Press(control, button);
  pressing_ = button;
  Dispatch(form, control, Event::MouseDown);
  pressing_ = MouseButton::Left;
}

void Runtime::MouseUp(Form& form, int control, MouseButton button, bool inside) {
  if (form.clicks_.Release(control, button, inside)) Dispatch(form, control, Event::Click);
}

void Runtime::PointerLost(Form& form) {
  form.clicks_.Cancel();
}

bool Runtime::KeyDown(Form& form, Key key) {
  const int button = ButtonForKey(form.KeyButtonsNow(), key, form.focus_);
  if (button < 0) return false;
  Dispatch(form, button, Event::Click);
  return true;
}

void Runtime::TabDown(Form& form, bool back) {
  const int next = NextFocus(form.KeyButtonsNow(), form.focus_, back);
  if (next >= 0) MoveFocus(form, next);
}

bool Runtime::CharacterDown(Form& form, char key, bool alt) {
  const int button = ButtonForAccessKey(form.KeyButtonsNow(), key, alt, AccessKeys::WithAlt);
  if (button < 0) return false;
  MoveFocus(form, button);
  Dispatch(form, button, Event::Click);
  return true;
}

void Runtime::FocusIn(Form& form, int control) {
  if (Quiet(form)) return;
  form.focus_ = control;  // the toolkit moved it there itself
  MoveFocus(form, control);
}

// The focus comes back to where it was when the window is activated again.
void Runtime::Activated(Form& form) {
  if (Quiet(form)) return;
  const int focus = FocusAfterChange(form.KeyButtonsNow(), form.focus_);
  form.focus_ = -1;  // so that the toolkit is told again
  MoveFocus(form, focus);
}

std::vector<Form*> Runtime::Forms() const {
  std::vector<Form*> out;
  for (const auto& f : forms_)
    if (f->alive()) out.push_back(f.get());
  return out;
}

// Forms unloaded while one of their handlers still runs are freed once no
// handler is running any more.
void Runtime::Collect() {
  if (depth_ > 0) return;
  std::erase_if(forms_, [](const auto& f) { return !f->alive(); });
}

}  // namespace qvl
