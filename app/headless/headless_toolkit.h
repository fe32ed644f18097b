// An in-memory toolkit for native tests: windows are records, timers fire
// when the test advances the virtual clock, window drags are recorded.
// Message boxes take scripted answers, or, given a `pump`, stay open and
// take keys and clicks by the shared rules until one answers them.
//
// What it cannot do: it has no pixels (nothing is painted) and no screen
// reader, and windows do not move (a drag is only recorded).
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/form.h"
#include "app/headless/recording_system.h"
#include "app/message_box.h"
#include "app/toolkit.h"

namespace qvl {

class HeadlessToolkit : public Toolkit {
 public:
  struct Window : NativeWindow {
    Form* form = nullptr;
    bool shown = false;
    std::map<int, std::string> texts;  // what the window shows, by control (-1: title)
    std::map<int, bool> visible;
    int focus = -1, looks_default = -1;
  };
  struct Box {
    std::string owner;  // form name, empty for none
    std::string text, title;
    int style;
  };

  explicit HeadlessToolkit(TestClock& clock) : clock_(&clock) {}

  NativeWindow* CreateWindowFor(Form& form) override;
  void ShowWindowFor(Form& form, bool first) override;
  void DestroyWindowFor(Form& form) override;
  void SetText(Form& form, int control, std::string_view text) override;
  void SetVisible(Form& form, int control, bool visible) override;
  void FocusControl(Form& form, int control) override { windows_.at(&form).focus = control; }
  void ShowDefault(Form& form, int control) override { windows_.at(&form).looks_default = control; }
  void StartTicker(Form& form, int interval_ms, int first_ms) override;
  void StopTicker(Form& form, int interval_ms) override;
  void DragWindow(Form& form, MouseButton button) override {
    drags.push_back({std::string(form.spec().name), button});
  }
  int ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                     const BoxStyle& style) override;
  void Quit() override { quit = true; }

  // Moves the clock on and fires every ticker that falls due, in time order
  // (tickers due together in the order they were started).
  void Advance(int ms);
  // A user's click on a control: a button's (which takes the focus), or a
  // label's press and release of the left button inside it.
  void Click(Form& form, std::string_view control, int member = -1);
  void Press(Form& form, std::string_view control, MouseButton button = MouseButton::Left);
  bool Key(Form& form, qvl::Key key) { return form.runtime().KeyDown(form, key); }
  bool TimerRunning(Form& form, std::string_view timer) const;

  const Window* WindowOf(const Form& form) const;

  // The form whose window takes keys (the last shown or pressed), unless a
  // box does; a press on a form's window makes it the active one.
  Form* active = nullptr;
  bool box_active = false;
  void Activate(Form& form);

  // Answers to message boxes, in order; OK when none is left. A hook runs
  // inside the box, as the events the box dispatches would.
  std::deque<int> answers;
  std::function<void(const Box&)> inside_box;
  // With no answer scripted and a pump, a box waits, running the pump (the
  // events a box's loop would dispatch) until it is answered or the pump
  // says nothing more will come.
  std::function<bool()> pump;
  struct OpenBox {
    Box seen;
    BoxDescription description;
    int focus;
    int answer = 0;
  };
  std::vector<OpenBox*> open_boxes;  // the latest last
  // Input to the latest box, as its buttons' keys and clicks.
  void BoxKey(qvl::Key key);
  void BoxTab(bool back);
  void BoxCharacter(char key, bool alt);
  void BoxClick(int button);

  struct Drag {
    std::string form;
    MouseButton button;
    friend bool operator==(const Drag&, const Drag&) = default;
  };
  std::vector<Box> boxes;
  std::vector<Drag> drags;
  int text_writes = 0;
  int ticks_fired = 0;                              // by every ticker
  std::map<std::pair<const Form*, int>, int> told;  // new texts, by form and control
  bool quit = false;

 private:
  struct Ticker {
    Form* form;
    int interval;
    long long due;
    long long order;
  };
  TestClock* clock_;
  std::map<const Form*, Window> windows_;
  std::vector<Ticker> tickers_;
  long long order_ = 0;
  std::vector<Form*> activated_;  // shown windows, the latest activated last
};

}  // namespace qvl
