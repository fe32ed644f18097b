#include "app/headless_toolkit.h"

#include <algorithm>
#include <cstring>

namespace qvl {

namespace {
constexpr long kSuccess = 0, kFileNotFound = 2, kAccessDenied = 5, kMoreData = 234;
}

long ScriptedRegistry::RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t,
                                     std::uint32_t sam, RegKey* result) {
  calls.push_back({"RegOpenKeyExA", sub_key, sam, 0});
  if (root != kHkeyLocalMachine || !keys_.count(sub_key)) return kFileNotFound;
  if (denied_.count(sub_key)) return kAccessDenied;
  *result = next_++;
  open_[*result] = sub_key;
  return kSuccess;
}

long ScriptedRegistry::RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t*,
                                        std::uint32_t* type, unsigned char* data,
                                        std::uint32_t* byte_count) {
  calls.push_back({"RegQueryValueExA", value_name, 0, *byte_count});
  const auto k = open_.find(key);
  if (k == open_.end()) return 6;  // ERROR_INVALID_HANDLE
  const auto& values = keys_[k->second];
  const auto v = values.find(value_name);
  if (v == values.end()) return kFileNotFound;
  const auto size = static_cast<std::uint32_t>(v->second.bytes.size());
  if (size > *byte_count) {
    *byte_count = size;
    return kMoreData;
  }
  *type = v->second.type;
  std::memcpy(data, v->second.bytes.data(), size);
  *byte_count = size;
  return kSuccess;
}

long ScriptedRegistry::RegCloseKey(RegKey key) {
  calls.push_back({"RegCloseKey", open_.count(key) ? open_[key] : "?", 0, 0});
  return open_.erase(key) ? kSuccess : 6;
}

void HeadlessToolkit::CreateWindowFor(Form& form) {
  Window w{&form, false, {}, {}};
  w.texts[-1] = form.Caption();
  for (auto& c : form.controls()) {
    w.texts[c.index()] = c.Caption();
    w.visible[c.index()] = c.Visible();
  }
  windows_[&form] = std::move(w);
  form.native = &windows_[&form];
}

void HeadlessToolkit::ShowWindowFor(Form& form) {
  windows_.at(&form).shown = true;
}

void HeadlessToolkit::DestroyWindowFor(Form& form) {
  std::erase_if(timers_, [&](const TimerState& t) { return t.form == &form; });
  windows_.erase(&form);
  form.native = nullptr;
}

void HeadlessToolkit::SetText(Form& form, int control, std::string_view text) {
  ++text_writes;
  windows_.at(&form).texts[control] = std::string(text);
}

void HeadlessToolkit::SetVisible(Form& form, int control, bool visible) {
  windows_.at(&form).visible[control] = visible;
}

void HeadlessToolkit::SetTimer(Form& form, int control, int interval_ms, bool enabled) {
  std::erase_if(timers_,
                [&](const TimerState& t) { return t.form == &form && t.control == control; });
  if (enabled && interval_ms > 0)
    timers_.push_back({&form, control, interval_ms, now_ms_ + interval_ms, order_++});
}

int HeadlessToolkit::ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                                    int style) {
  boxes.push_back({owner ? std::string(owner->spec().name) : std::string(), std::string(text),
                   std::string(title), style});
  if (inside_box) inside_box(boxes.back());
  if (answers.empty()) return 1;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

LocalTime HeadlessToolkit::Now() {
  return CivilFromSeconds(base_seconds_ + now_ms_ / 1000);
}

bool HeadlessToolkit::StartProgram(std::string_view path) {
  if (!startable.count(std::string(path))) return false;
  started.emplace_back(path);
  return true;
}

void HeadlessToolkit::SetClock(const LocalTime& t) {
  base_seconds_ = SecondsFromLocal(t);
  for (auto& timer : timers_) timer.due -= now_ms_;
  now_ms_ = 0;
}

void HeadlessToolkit::Advance(int ms) {
  const long long end = now_ms_ + ms;
  for (;;) {
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
      return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    if (next == timers_.end() || next->due > end) break;
    now_ms_ = next->due;
    next->due += next->interval;
    next->order = order_++;
    Form* form = next->form;
    const int control = next->control;
    form->runtime().Dispatch(*form, control, Event::Timer);
  }
  now_ms_ = end;
}

void HeadlessToolkit::Fire(Form& form, std::string_view timer) {
  if (TimerRunning(form, timer)) Raise(form, timer, Event::Timer);
}

void HeadlessToolkit::Click(Form& form, std::string_view control, int member) {
  form.runtime().Dispatch(form, form.IndexOf(control, member), Event::Click);
}

void HeadlessToolkit::Raise(Form& form, std::string_view control, Event event) {
  form.runtime().Dispatch(form, form.IndexOf(control), event);
}

bool HeadlessToolkit::TimerRunning(Form& form, std::string_view timer) const {
  const int i = form.IndexOf(timer);
  return std::any_of(timers_.begin(), timers_.end(),
                     [&](const TimerState& t) { return t.form == &form && t.control == i; });
}

const HeadlessToolkit::Window* HeadlessToolkit::WindowOf(const Form& form) const {
  const auto it = windows_.find(&form);
  return it == windows_.end() ? nullptr : &it->second;
}

}  // namespace qvl
