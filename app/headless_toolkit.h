// An in-memory toolkit for native tests: windows are records, the clock is
// set by the test, timers fire when the test advances time, and everything
// that would leave the program (message boxes, web pages, programs started,
// window drags) is recorded. Message boxes take scripted answers.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/calendar.h"
#include "app/form.h"
#include "app/toolkit.h"

namespace qvl {

// A scripted registry: keys by path under a root, values with raw bytes.
class ScriptedRegistry : public Advapi32 {
 public:
  struct Value {
    std::uint32_t type;
    std::string bytes;  // stored as given, terminating zeros included
  };
  void SetValue(const std::string& key, const std::string& name, Value value) {
    keys_[key][name] = std::move(value);
  }
  void AddKey(const std::string& key) { keys_[key]; }
  void DenyOpen(const std::string& key) { denied_.insert(key); }

  long RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t options, std::uint32_t sam,
                     RegKey* result) override;
  long RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t* reserved,
                        std::uint32_t* type, unsigned char* data,
                        std::uint32_t* byte_count) override;
  long RegCloseKey(RegKey key) override;

  // What the code under test did.
  struct Call {
    std::string function, key_or_value;
    std::uint32_t sam = 0, buffer_size = 0;
  };
  std::vector<Call> calls;
  int open_keys() const { return static_cast<int>(open_.size()); }

 private:
  std::map<std::string, std::map<std::string, Value>> keys_;
  std::set<std::string> denied_;
  std::map<RegKey, std::string> open_;
  RegKey next_ = 0x100;
};

class HeadlessToolkit : public Toolkit {
 public:
  struct Window {
    Form* form;
    bool shown = false;
    std::map<int, std::string> texts;  // what the window shows, by control (-1: title)
    std::map<int, bool> visible;
  };
  struct Box {
    std::string owner;  // form name, empty for none
    std::string text, title;
    int style;
  };
  struct TimerState {
    Form* form;
    int control;
    int interval;
    long long due;
    long long order;
  };

  void CreateWindowFor(Form& form) override;
  void ShowWindowFor(Form& form) override;
  void DestroyWindowFor(Form& form) override;
  void SetText(Form& form, int control, std::string_view text) override;
  void SetVisible(Form& form, int control, bool visible) override;
  void SetTimer(Form& form, int control, int interval_ms, bool enabled) override;
  void DragWindow(Form& form) override { drags.push_back(std::string(form.spec().name)); }
  int ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                     int style) override;
  LocalTime Now() override;
  void OpenAddress(std::string_view address) override { addresses.emplace_back(address); }
  bool StartProgram(std::string_view path) override;
  bool IsOrdinaryFile(std::string_view path) override { return files.count(std::string(path)) > 0; }
  Advapi32& Registry() override { return registry; }
  void Quit() override { quit = true; }

  // The clock: a set moment plus the time advanced since.
  void SetClock(const LocalTime& t);
  // Moves the clock and fires every timer that falls due, in time order.
  void Advance(int ms);
  // Fires one timer of a form at once, as its tick would.
  void Fire(Form& form, std::string_view timer);
  void Click(Form& form, std::string_view control, int member = -1);
  void Raise(Form& form, std::string_view control, Event event);
  bool TimerRunning(Form& form, std::string_view timer) const;

  const Window* WindowOf(const Form& form) const;

  // Answers to message boxes, in order; 1 (OK) when none is left. A hook
  // runs inside the box, as the events the box dispatches would.
  std::deque<int> answers;
  std::function<void(const Box&)> inside_box;

  std::vector<Box> boxes;
  std::vector<std::string> addresses;
  std::vector<std::string> drags;
  std::vector<std::string> started;
  std::set<std::string> startable;  // programs that StartProgram accepts
  std::set<std::string> files;      // ordinary files that exist
  ScriptedRegistry registry;
  int text_writes = 0;
  bool quit = false;

 private:
  Runtime& RuntimeOf(Form& form) { return form.runtime(); }
  std::map<const Form*, Window> windows_;
  std::vector<TimerState> timers_;
  long long base_seconds_ = 0;  // clock, seconds since 1970-01-01 local
  long long now_ms_ = 0;        // elapsed since SetClock
  long long order_ = 0;
};

}  // namespace qvl
