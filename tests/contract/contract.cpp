#include "contract/contract.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace qvl::contract {

namespace {

// How long an expectation may take to come true: toolkits answer input
// through their own queues, a window system and a screen reader's bus.
constexpr long long kPatienceMs = 3000;

Target TargetOf(const std::string& word) {
  const auto dot = word.find('.');
  if (dot == std::string::npos) return {word, {}};
  return {word.substr(0, dot), word.substr(dot + 1)};
}

MouseButton ButtonOf(const std::string& word) {
  return word == "right"    ? MouseButton::Right
         : word == "middle" ? MouseButton::Middle
                            : MouseButton::Left;
}

std::string Joined(const std::vector<std::string>& words, const char* separator) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : separator) + w;
  return out;
}

}  // namespace

std::string Step::Rest(std::size_t from) const {
  return Joined({words.begin() + std::min(from, words.size()), words.end()}, " ");
}

std::vector<Case> ReadCases(const std::string& path) {
  std::ifstream in(path);
  std::vector<Case> cases;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    Step step;
    step.line = number;
    std::istringstream words(line);
    for (std::string w; words >> w;) step.words.push_back(w);
    if (step.words.empty() || step.words[0][0] == '#') continue;
    if (step.words[0] == "case") {
      cases.push_back({step.Rest(1), {}});
    } else if (!cases.empty()) {
      cases.back().steps.push_back(step);
    }
  }
  return cases;
}

std::string CaseName(const Case& c) {
  std::string name;
  bool upper = true;
  for (char ch : c.title) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) {
      upper = true;
      continue;
    }
    name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch;
    upper = false;
  }
  return name;
}

std::string Report(const Runner& r) {
  std::string out;
  for (const std::string& f : r.failures()) out += "  failed: " + f + "\n";
  for (const std::string& s : r.skipped()) out += "  skipped: " + s + "\n";
  return out;
}

// Inputs are performed one per call, so that the toolkit handles each
// before the next; expectations are looked at again on every call until
// they hold or patience runs out.
bool Runner::Next() {
  if (done_ || busy_) return !done_;
  busy_ = true;
  while (at_ < case_.steps.size()) {
    const Step& s = case_.steps[at_];
    const std::string kind =
        s.words[0] == "expect" && s.words.size() > 1 ? "expect " + s.words[1] : s.words[0];
    bool cannot = false;
    for (const auto& [what, why] : driver_.Cannot()) {
      if (what != kind) continue;
      skipped_.push_back("line " + std::to_string(s.line) + " (" + s.Rest(0) + "): " + why);
      cannot = true;
    }
    if (cannot) {
      ++at_;
      continue;
    }
    if (kind == "wait" || s.words[0] == "expect") {
      if (waiting_since_ < 0) waiting_since_ = driver_.Ms();
      const long long waited = driver_.Ms() - waiting_since_;
      std::string seen;
      const bool over = kind == "wait" ? waited >= std::stoll(s.words.at(1)) : Holds(s, seen);
      if (!over && (kind == "wait" || waited < kPatienceMs)) break;
      waiting_since_ = -1;
      ++at_;
      if (over) continue;
      failures_.push_back("line " + std::to_string(s.line) + ": " + s.Rest(0) + " (seen: " + seen +
                          ")");
      at_ = case_.steps.size();  // the rest would only fail after it
      break;
    }
    // An input may start a loop of its own (a message box) on this very
    // call, from which the following steps are taken.
    ++at_;
    done_ = at_ >= case_.steps.size();
    busy_ = false;
    Do(s);
    return !done_;
  }
  done_ = at_ >= case_.steps.size();
  busy_ = false;
  return !done_;
}

void Runner::Do(const Step& s) {
  const std::string& verb = s.words[0];
  const auto arg = [&](std::size_t i) { return s.words.at(i); };
  if (verb == "start") {
    driver_.Start(s.words.size() > 2 ? std::stoi(arg(2)) : 0);
  } else if (verb == "click" && arg(1) == "box") {
    driver_.ClickBoxButton(std::stoi(arg(2)));
  } else if (verb == "click") {
    driver_.Click(TargetOf(arg(1)));
  } else if (verb == "press") {
    driver_.Press(TargetOf(arg(1)), ButtonOf(arg(2)));
  } else if (verb == "release") {
    driver_.Release(ButtonOf(arg(1)));
  } else if (verb == "move") {
    driver_.Move(std::stoi(arg(1)), std::stoi(arg(2)));
  } else if (verb == "key") {
    const std::string& chord = arg(1);
    const bool alt = chord.starts_with("Alt+"), shift = chord.starts_with("Shift+");
    driver_.Key({alt, shift, chord.substr(alt ? 4 : shift ? 6 : 0)});
  } else {
    failures_.push_back("line " + std::to_string(s.line) + ": no such step");
  }
}

bool Runner::Holds(const Step& s, std::string& seen) {
  const std::string& what = s.words.at(1);
  const auto arg = [&](std::size_t i) { return s.words.at(i); };
  if (what == "focus") {
    seen = driver_.Focus();
    return seen == arg(2);
  }
  if (what == "log") {
    seen = driver_.Text({"Board", "Log"});
    return seen == s.Rest(2);
  }
  if (what == "box" || (what == "no" && arg(2) == "box")) {
    const std::optional<SeenBox> box = driver_.Box();
    seen = box ? box->title + " " + Joined(box->buttons, ",") + " " + std::to_string(box->focus)
               : "no box";
    return seen == (what == "no" ? s.Rest(1) : s.Rest(2));
  }
  if (what == "windows") {
    seen = Joined(driver_.Windows(), " ");
    return seen == s.Rest(2);
  }
  if (what == "moved") {
    const PixelPoint d = driver_.Moved(arg(2));
    seen = std::to_string(d.x) + " " + std::to_string(d.y);
    return seen == s.Rest(3);
  }
  if (what == "told") {
    seen = std::to_string(driver_.Told(TargetOf(arg(2))));
    return seen == arg(3);
  }
  if (what == "name") {
    seen = driver_.Name(TargetOf(arg(2)));
    return seen == s.Rest(3);
  }
  if (what == "ink") {
    const PixelRect r{std::stoi(arg(3)), std::stoi(arg(4)), std::stoi(arg(5)), std::stoi(arg(6))};
    const bool inked = driver_.Ink(arg(2), r, std::stoul(arg(7), nullptr, 16));
    seen = inked ? "that colour" : "other colours";
    return inked;
  }
  seen = "no such expectation";
  return false;
}

}  // namespace qvl::contract
