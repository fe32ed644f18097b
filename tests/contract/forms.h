// The forms the toolkit contract runs on: every kind of input and output a
// toolkit must carry, on two small windows. Their handlers write what they
// did into Board's Log label, which each toolkit shows as it shows any
// label: a test reads it there.
#pragma once

#include "app/form.h"

namespace qvl::contract {

// The two forms' tables, for a toolkit that lays out by every form it shows.
extern const FormSpec& kBoard;
extern const FormSpec& kOther;

class Board : public Form {
 public:
  // `box_style`: the style of the box its Box button opens.
  Board(Runtime& runtime, int box_style);
  void OnEvent(Control& control, Event event) override;
  // Its timers work from its labels and the clock.
  bool TimersFollowFormsAndClock() const override { return true; }
  void Write(std::string_view entry);

 private:
  int box_style_;
};

class Other : public Form {
 public:
  explicit Other(Runtime& runtime);
  void OnEvent(Control& control, Event event) override;
};

}  // namespace qvl::contract
