// The form runtime: form instances built from their control tables, events
// dispatched one at a time, and the policy for errors no handler handles.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/app_facts.h"
#include "app/form_spec.h"
#include "app/interaction.h"
#include "app/system.h"
#include "app/toolkit.h"

namespace qvl {

class Form;
class HeadlessToolkit;
class Runtime;

// One control of a form instance: its design-time row plus the state that
// handlers may change.
class Control {
 public:
  Control(Form& form, int index);
  const ControlSpec& spec() const;
  std::string_view name() const { return spec().name; }
  int index() const { return index_; }
  Form& form() const { return *form_; }

  const std::string& Caption() const { return caption_; }
  // Writing the text it already holds does nothing, so ticks that rewrite
  // unchanged captions cost no repaint.
  void SetCaption(std::string_view text);
  double Number() const;  // the caption read as a number; a type mismatch if none

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  bool Enabled() const { return enabled_; }  // timers
  void SetEnabled(bool enabled);

 private:
  Form* form_;
  int index_;
  std::string caption_;
  bool visible_;
  bool enabled_;
};

class Form {
 public:
  Form(Runtime& runtime, const FormSpec& spec);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const FormSpec& spec() const { return *spec_; }
  Runtime& runtime() const { return *runtime_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view text);

  // Controls by name (the name of a control array's members is shared;
  // `member` picks one).
  Control& operator[](std::string_view name);
  Control& Member(std::string_view name, int member);
  std::vector<Control>& controls() { return controls_; }
  const std::vector<Control>& controls() const { return controls_; }
  int IndexOf(std::string_view name, int member = -1) const;  // -1 if absent

  bool alive() const { return alive_; }

  // A control can be seen when it and every container it sits in are visible.
  bool CanBeSeen(int control) const;
  // The buttons as the keyboard rules see them now, in tab order.
  std::vector<KeyButton> KeyButtonsNow() const;

  // The toolkit's window, while there is one; set and cleared by the runtime.
  NativeWindow* native = nullptr;

 protected:
  friend class Runtime;
  virtual void OnLoad() {}
  virtual void OnEvent(Control& control, Event event) = 0;
  // True for a form whose timers' handlers work from the forms and the
  // clock alone (whatever they keep of their own follows from those): its
  // timers are then skipped when they would do nothing (see Runtime::Tick).
  virtual bool TimersFollowFormsAndClock() const { return false; }

 private:
  Runtime* runtime_;
  const FormSpec* spec_;
  std::string caption_;
  std::vector<Control> controls_;
  std::vector<int> timers_;  // the timer controls, in declaration order
  // For each timer: what its last run depended on, when that run changed
  // nothing (see Runtime::Tick).
  struct QuietRun {
    std::uint64_t changes;
    bool read_clock;
    LocalTime clock;
  };
  std::vector<std::optional<QuietRun>> quiet_;
  std::vector<int> tickers_;  // intervals whose ticker runs
  bool loaded_ = false;
  bool alive_ = true;
  int focus_ = -1;  // the control with the keyboard focus
  int looks_default_ = -1;
  LabelClicks clicks_;
};

// A form's handlers as a table: control name, event, member function.
template <class F>
struct Handler {
  std::string_view control;
  Event event;
  void (F::*run)();
};

// Every handler names a control of the table, and a timer's handler is its
// Timer event; checked at compile time, so a misspelt name fails the build.
template <class F, std::size_t N, std::size_t M>
consteval bool HandlersMatch(const Handler<F> (&handlers)[N], const ControlSpec (&controls)[M]) {
  for (const auto& h : handlers) {
    bool found = false;
    for (const auto& c : controls)
      if (c.name == h.control)
        found = found || ((c.kind == ControlKind::Timer) == (h.event == Event::Timer));
    if (!found) return false;
  }
  return true;
}

template <class F, std::size_t N>
void RunHandler(const Handler<F> (&table)[N], F& form, const Control& control, Event event) {
  for (const auto& h : table)
    if (h.event == event && h.control == control.name()) return (form.*h.run)();
}

class Runtime {
 public:
  Runtime(Toolkit& toolkit, System& system, const AppFacts& facts);
  ~Runtime();

  const AppFacts& App() const { return facts_; }

  // New form: an instance with its design-time properties, not yet loaded.
  template <class F, class... Args>
  F& NewForm(Args&&... args) {
    auto form = std::make_unique<F>(*this, std::forward<Args>(args)...);
    F& ref = *form;
    forms_.push_back(std::move(form));
    Changed();
    return ref;
  }
  // Loads the form on its first showing (its Load handler runs), then shows
  // it as a modeless window with no owner, in front of the others.
  void Show(Form& form);
  // Closes the form's window and discards the instance.
  void Unload(Form& form);
  // Ends the program at once: every window closes, no handler runs again.
  void End();
  bool ended() const { return ended_; }

  // Modal message box; a box given no title bears the application title.
  int MsgBox(std::string_view text, int style = 0, std::string_view title = {});

  // The operating system, as the handlers reach it. Only the clock is read
  // without counting as a change (see Tick).
  LocalTime Now();
  void OpenAddress(std::string_view address) {
    Changed();
    system_->OpenAddress(address);
  }
  bool StartProgram(std::string_view path) {
    Changed();
    return system_->StartProgram(path);
  }
  bool IsOrdinaryFile(std::string_view path) {
    Changed();
    return system_->IsOrdinaryFile(path);
  }
  Registry& registry() {
    Changed();
    return system_->registry();
  }
  void DragWindow(Form& form);

  // Raw input from the toolkit; the runtime decides what it means. Handlers
  // run under the unhandled-error policy: an error is reported once in a
  // message box naming it, then the program ends; while that box is open no
  // handler of any form runs.
  //   A command button was clicked (by the pointer or the space bar). Every
  //   click is one Click, however soon it follows the last.
  void ButtonClicked(Form& form, int control);
  //   A mouse button went down or up on a label; `inside`: over that label.
  void MouseDown(Form& form, int control, MouseButton button);
  void MouseUp(Form& form, int control, MouseButton button, bool inside);
  //   The pointer was taken away from the form (a drag, another window).
  void PointerLost(Form& form);
  //   Enter or Escape; true if it pressed a button.
  bool KeyDown(Form& form, Key key);
  //   Tab or Shift+Tab: the focus moves by the form's tab order.
  void TabDown(Form& form, bool back);
  //   A character key, with or without Alt; true if it pressed the button
  //   of that access key.
  bool CharacterDown(Form& form, char key, bool alt);
  //   The keyboard focus moved to a control; the form's window was activated.
  void FocusIn(Form& form, int control);
  void Activated(Form& form);
  //   A form's ticker for `interval_ms` fired: its enabled timers of that
  //   interval run in declaration order. On a form whose timers follow the
  //   forms and the clock, a timer whose handler would do nothing is
  //   skipped: its last run changed nothing, nothing has changed since, and
  //   the clock reads as it did then. When all of them would, the ticker is
  //   held back until the clock's next second (or, if none reads the clock,
  //   until something changes), so the process does not wake for nothing.
  void Tick(Form& form, int interval_ms);
  //   The user closed a form's window (no handler runs on closing).
  void WindowClosed(Form& form);

  // Live forms, in creation order.
  std::vector<Form*> Forms() const;
  template <class F>
  std::vector<F*> FormsOf() const {
    std::vector<F*> out;
    for (const auto& f : forms_)
      if (auto* p = dynamic_cast<F*>(f.get()); p && p->alive()) out.push_back(p);
    return out;
  }

 private:
  friend class Control;
  friend class Form;
  friend class HeadlessToolkit;  // fires one timer at a time for tests
  void Collect();
  void Dispatch(Form& form, int control, Event event);
  void Close(Form& form);  // destroys the window, if there is one
  void MoveFocus(Form& form, int control);
  void VisibilityChanged(Form& form, int control);
  template <class Fn>
  void Guarded(Form& form, Fn&& fn);
  bool Quiet(const Form& form) const { return ended_ || failing_ || !form.alive(); }
  // Something a handler could see has changed, or may have: held tickers
  // run again.
  void Changed() {
    ++changes_;
    if (!held_.empty()) ReleaseHeld();
  }
  void Hold(Form& form, int interval_ms, bool clock);
  void ReleaseHeld();
  // A timer was enabled or disabled, or the form loaded: its tickers follow.
  void TimersChanged(Form& form);

  Toolkit* toolkit_;
  System* system_;
  AppFacts facts_;
  std::vector<std::unique_ptr<Form>> forms_;
  int depth_ = 0;  // handlers running (a modal box nests them)
  bool ended_ = false;
  bool failing_ = false;    // an unhandled error is being reported
  Form* active_ = nullptr;  // the form whose handler runs: owner of its message boxes
  MouseButton pressing_ = MouseButton::Left;  // the button of the press being handled
  std::uint64_t changes_ = 0;                 // counts Changed()
  // While a timer's handler runs: the clock as it read it.
  struct ClockReading {
    bool read = false;
    bool steady = true;  // every reading the same
    LocalTime value{};
  };
  ClockReading* reading_ = nullptr;
  struct Held {
    Form* form;
    int interval;
  };
  std::vector<Held> held_;  // tickers held back by Hold
};

}  // namespace qvl
