// The contract on the in-memory toolkit: input goes to the runtime as a
// toolkit reports it, on virtual time.
#include "app/headless/headless_toolkit.h"
#include "contract/contract_test.h"
#include "contract/forms.h"

namespace qvl::contract {
namespace {

class HeadlessDriver : public Driver {
 public:
  std::vector<std::pair<std::string, std::string>> Cannot() const override {
    return {{"expect moved", "windows do not move: a drag is only recorded"},
            {"expect name", "there is no screen reader"},
            {"expect ink", "nothing is painted"}};
  }

  void Run(Runner& runner) {
    tk_.pump = [&] {
      tk_.Advance(10);
      return runner.Next();
    };
    while (tk_.pump()) {
    }
    if (runtime_) runtime_->End();
  }

  void Start(int box_style) override {
    runtime_ = std::make_unique<Runtime>(tk_, sys_, kLcarsFontFacts);
    runtime_->Show(runtime_->NewForm<Board>(box_style));
  }
  void Finish() override { runtime_->End(); }

  void Click(const Target& t) override {
    Form& form = FormOf(t);
    tk_.Activate(form);
    tk_.Click(form, t.control);
  }
  void ClickBoxButton(int n) override { tk_.BoxClick(n); }
  // The pointer, in the pressed form's pixels at 96 DPI: a press is at the
  // middle of its control, and a release is inside it or not.
  void Press(const Target& t, MouseButton button) override {
    Form& form = FormOf(t);
    tk_.Activate(form);
    pressed_ = {&form, form.IndexOf(t.control)};
    const PixelRect b = Bounds(form.spec().controls[pressed_.second], 96);
    pointer_ = {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    runtime_->MouseDown(form, pressed_.second, button);
  }
  void Release(MouseButton button) override {
    if (!pressed_.first || !pressed_.first->alive()) return;
    const PixelRect b = Bounds(pressed_.first->spec().controls[pressed_.second], 96);
    const bool inside = pointer_.x >= b.left && pointer_.x < b.right && pointer_.y >= b.top &&
                        pointer_.y < b.bottom;
    runtime_->MouseUp(*pressed_.first, pressed_.second, button, inside);
  }
  void Move(int dx, int dy) override { pointer_ = {pointer_.x + dx, pointer_.y + dy}; }
  void Key(const Chord& chord) override {
    const auto& [alt, shift, key] = chord;
    if (tk_.box_active && !tk_.open_boxes.empty()) {
      if (key == "Enter" || key == "Escape") tk_.BoxKey(key == "Enter" ? Key::Enter : Key::Escape);
      if (key == "Tab") tk_.BoxTab(shift);
      if (key.size() == 1) tk_.BoxCharacter(key[0], alt);
      return;
    }
    Form* form = tk_.active;
    if (!form) return;
    if (key == "Enter" || key == "Escape")
      runtime_->KeyDown(*form, key == "Enter" ? Key::Enter : Key::Escape);
    if (key == "Tab") runtime_->TabDown(*form, shift);
    if (key.size() == 1) runtime_->CharacterDown(*form, key[0], alt);
  }

  std::string Focus() override {
    if (tk_.box_active && !tk_.open_boxes.empty()) return "box";
    const HeadlessToolkit::Window* w = tk_.active ? tk_.WindowOf(*tk_.active) : nullptr;
    if (!w || w->focus < 0) return "";
    return std::string(tk_.active->spec().name) + "." +
           std::string(tk_.active->controls()[w->focus].name());
  }
  std::string Text(const Target& t) override {
    Form& form = FormOf(t);
    return tk_.WindowOf(form)->texts.at(form.IndexOf(t.control));
  }
  std::optional<SeenBox> Box() override {
    if (tk_.open_boxes.empty()) return std::nullopt;
    const HeadlessToolkit::OpenBox& box = *tk_.open_boxes.back();
    SeenBox seen{box.seen.title, {}, box.focus};
    for (const BoxButton& b : box.description.buttons) seen.buttons.emplace_back(b.caption);
    return seen;
  }
  std::vector<std::string> Windows() override {
    std::vector<std::string> out;
    if (tk_.active) out.emplace_back(tk_.active->spec().name);
    for (Form* f : runtime_->Forms())
      if (f != tk_.active) out.emplace_back(f->spec().name);
    return out;
  }
  PixelPoint Moved(const std::string&) override { return {}; }
  int Told(const Target& t) override {
    Form& form = FormOf(t);
    const auto it = tk_.told.find({&form, form.IndexOf(t.control)});
    return it == tk_.told.end() ? 0 : it->second;
  }
  std::string Name(const Target&) override { return {}; }
  bool Ink(const std::string&, const PixelRect&, unsigned) override { return false; }
  long long Ms() override { return sys_.clock.ms(); }

 private:
  Form& FormOf(const Target& t) {
    for (Form* f : runtime_->Forms())
      if (f->spec().name == t.form) return *f;
    throw std::runtime_error("no window " + t.form);
  }

  RecordingSystem sys_;
  HeadlessToolkit tk_{sys_.clock};
  std::unique_ptr<Runtime> runtime_;
  std::pair<Form*, int> pressed_{nullptr, -1};
  PixelPoint pointer_;
};

QVL_CONTRACT_SUITE(Headless, HeadlessDriver);

}  // namespace
}  // namespace qvl::contract
