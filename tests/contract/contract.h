// The toolkit contract: the cases of cases.txt, read once and run against
// one toolkit at a time. A toolkit joins by giving the runner a Driver: real
// input to its real windows, and what those windows show, read back the way
// a user or a screen reader would. The runner decides nothing about the
// toolkit: it performs each step and waits for each expectation.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/geometry.h"
#include "app/interaction.h"

namespace qvl::contract {

struct Step {
  std::vector<std::string> words;  // the line, split at blanks
  int line = 0;
  std::string Rest(std::size_t from) const;  // the words from `from` on, joined again
};
struct Case {
  std::string title;
  std::vector<Step> steps;
};
// The cases of a file in the format cases.txt describes.
std::vector<Case> ReadCases(const std::string& path);

// A control by the name "Form.Control".
struct Target {
  std::string form, control;
};

// A key, as "Tab", "Shift+Tab", "Enter", "Escape", "Alt+<c>" or "<c>".
struct Chord {
  bool alt = false, shift = false;
  std::string key;  // "Tab", "Enter", "Escape" or one character
};

// An open message box as shown: its title, its buttons' captions from left
// to right (with "&" before an access key), and which one has the focus.
struct SeenBox {
  std::string title;
  std::vector<std::string> buttons;
  int focus = -1;
};

class Driver {
 public:
  virtual ~Driver() = default;
  // What this toolkit cannot be asked, by the step's first words ("expect
  // ink"), each with the reason; the runner skips those steps and says so.
  virtual std::vector<std::pair<std::string, std::string>> Cannot() const { return {}; }

  // A new program showing Board, whose Box button opens a box of `style`;
  // and its end.
  virtual void Start(int box_style) = 0;
  virtual void Finish() = 0;

  virtual void Click(const Target& t) = 0;
  virtual void ClickBoxButton(int n) = 0;
  virtual void Press(const Target& t, MouseButton button) = 0;
  virtual void Release(MouseButton button) = 0;
  virtual void Move(int dx, int dy) = 0;  // pixels at 96 DPI
  // To the active window.
  virtual void Key(const Chord& chord) = 0;

  virtual std::string Focus() = 0;  // "Form.Control", or what else has it
  virtual std::string Text(const Target& t) = 0;
  virtual std::optional<SeenBox> Box() = 0;
  virtual std::vector<std::string> Windows() = 0;         // the active one first
  virtual PixelPoint Moved(const std::string& form) = 0;  // since first shown, at 96 DPI
  virtual int Told(const Target& t) = 0;
  virtual std::string Name(const Target& t) = 0;
  virtual bool Ink(const std::string& form, const PixelRect& twips, unsigned rgb) = 0;
  virtual long long Ms() = 0;  // a clock for waits and patience
};

// One case against one driver. The driver calls Next whenever its toolkit
// can run code (from a timer, also inside a message box's own loop) until it
// returns false, then ends the program.
class Runner {
 public:
  Runner(Driver& driver, const Case& c) : driver_(driver), case_(c) {}
  bool Next();
  bool done() const { return done_; }
  const std::vector<std::string>& failures() const { return failures_; }
  const std::vector<std::string>& skipped() const { return skipped_; }

 private:
  void Do(const Step& s);
  bool Holds(const Step& s, std::string& seen);

  Driver& driver_;
  const Case& case_;
  std::size_t at_ = 0;
  long long waiting_since_ = -1;
  bool busy_ = false, done_ = false;
  std::vector<std::string> failures_, skipped_;
};

// How a test names a case in its reports.
inline void PrintTo(const Case& c, std::ostream* out) {
  *out << c.title;
}

// A case's name for a test: its words, capitalised and run together.
std::string CaseName(const Case& c);
// The failures and skipped steps of a finished case, for the test's report.
std::string Report(const Runner& r);

}  // namespace qvl::contract
