#include "app/headless/headless_toolkit.h"

#include <algorithm>

#include "app/interaction.h"

namespace qvl {

NativeWindow* HeadlessToolkit::CreateWindowFor(Form& form) {
  Window& w = windows_[&form];
  w.form = &form;
  w.texts[-1] = form.Caption();
  for (auto& c : form.controls()) {
    w.texts[c.index()] = c.Caption();
    w.visible[c.index()] = c.Visible();
  }
  return &w;
}

void HeadlessToolkit::ShowWindowFor(Form& form, bool) {
  windows_.at(&form).shown = true;
  Activate(form);
}

void HeadlessToolkit::Activate(Form& form) {
  box_active = false;
  if (active == &form) return;
  active = &form;
  std::erase(activated_, &form);
  activated_.push_back(&form);
  form.runtime().Activated(form);
}

// The window that was active before takes over, as a window system does.
void HeadlessToolkit::DestroyWindowFor(Form& form) {
  std::erase_if(tickers_, [&](const Ticker& t) { return t.form == &form; });
  windows_.erase(&form);
  std::erase(activated_, &form);
  if (active != &form) return;
  active = nullptr;
  if (!activated_.empty()) Activate(*activated_.back());
}

void HeadlessToolkit::SetText(Form& form, int control, std::string_view text) {
  ++text_writes;
  ++told[{&form, control}];
  windows_.at(&form).texts[control] = std::string(text);
}

void HeadlessToolkit::SetVisible(Form& form, int control, bool visible) {
  windows_.at(&form).visible[control] = visible;
}

void HeadlessToolkit::StartTicker(Form& form, int interval_ms, int first_ms) {
  tickers_.push_back({&form, interval_ms, clock_->ms() + first_ms, order_++});
}

void HeadlessToolkit::StopTicker(Form& form, int interval_ms) {
  std::erase_if(tickers_,
                [&](const Ticker& t) { return t.form == &form && t.interval == interval_ms; });
}

int HeadlessToolkit::ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                                    const BoxStyle& style) {
  boxes.push_back({owner ? std::string(owner->spec().name) : std::string(), std::string(text),
                   std::string(title), EncodeBoxStyle(style)});
  if (inside_box) inside_box(boxes.back());
  if (!answers.empty() || !pump) {
    if (answers.empty()) return kOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  OpenBox box{boxes.back(), Describe(style), 0};
  box.focus = box.description.focus;
  open_boxes.push_back(&box);
  const bool was_active = box_active;
  box_active = true;
  while (!box.answer && pump()) {
  }
  open_boxes.pop_back();
  box_active = was_active && !open_boxes.empty();
  return box.answer ? box.answer : box.description.escape;
}

namespace {
void Answer(HeadlessToolkit::OpenBox& box, int button) {
  if (button >= 0) box.answer = box.description.buttons[button].answer;
}
}  // namespace

void HeadlessToolkit::BoxKey(qvl::Key key) {
  if (open_boxes.empty()) return;
  OpenBox& box = *open_boxes.back();
  Answer(box, ButtonForKey(KeyButtonsOf(box.description), key, box.focus));
}

void HeadlessToolkit::BoxTab(bool back) {
  if (open_boxes.empty()) return;
  OpenBox& box = *open_boxes.back();
  box.focus = NextFocus(KeyButtonsOf(box.description), box.focus, back);
}

void HeadlessToolkit::BoxCharacter(char key, bool alt) {
  if (open_boxes.empty()) return;
  OpenBox& box = *open_boxes.back();
  Answer(box, ButtonForAccessKey(KeyButtonsOf(box.description), key, alt, kBoxAccessKeys));
}

void HeadlessToolkit::BoxClick(int button) {
  if (open_boxes.empty()) return;
  box_active = true;
  if (button >= 0 && button < static_cast<int>(open_boxes.back()->description.buttons.size()))
    Answer(*open_boxes.back(), button);
}

void HeadlessToolkit::Advance(int ms) {
  const long long end = clock_->ms() + ms;
  for (;;) {
    auto next =
        std::min_element(tickers_.begin(), tickers_.end(), [](const auto& a, const auto& b) {
          return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
    if (next == tickers_.end() || next->due > end) break;
    clock_->AdvanceTo(next->due);
    next->due += next->interval;
    Form* form = next->form;
    const int interval = next->interval;
    ++ticks_fired;
    form->runtime().Tick(*form, interval);
  }
  clock_->AdvanceTo(end);
}

void HeadlessToolkit::Click(Form& form, std::string_view control, int member) {
  const int i = form.IndexOf(control, member);
  if (i < 0) return;
  if (form.spec().controls[i].kind != ControlKind::Label) {
    // A button that is clicked takes the focus first, as every toolkit's does.
    form.runtime().FocusIn(form, i);
    form.runtime().ButtonClicked(form, i);
    return;
  }
  form.runtime().MouseDown(form, i, MouseButton::Left);
  if (form.alive()) form.runtime().MouseUp(form, i, MouseButton::Left, true);
}

void HeadlessToolkit::Press(Form& form, std::string_view control, MouseButton button) {
  form.runtime().MouseDown(form, form.IndexOf(control), button);
}

bool HeadlessToolkit::TimerRunning(Form& form, std::string_view timer) const {
  const int i = form.IndexOf(timer);
  if (i < 0 || !form.controls()[i].Enabled()) return false;
  const int interval = form.spec().controls[i].interval;
  return std::any_of(tickers_.begin(), tickers_.end(),
                     [&](const Ticker& t) { return t.form == &form && t.interval == interval; });
}

const HeadlessToolkit::Window* HeadlessToolkit::WindowOf(const Form& form) const {
  const auto it = windows_.find(&form);
  return it == windows_.end() ? nullptr : &it->second;
}

}  // namespace qvl
