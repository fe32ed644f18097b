#include "app/form.h"

#include <algorithm>

#include "app/captions.h"
#include "app/errors.h"

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

void Control::SetCaption(std::string text) {
  if (text == caption_) return;
  caption_ = std::move(text);
  if (form_->native) form_->runtime().toolkit().SetText(*form_, index_, caption_);
}

double Control::Number() const {
  return TextToNumber(caption_);
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (form_->native) form_->runtime().toolkit().SetVisible(*form_, index_, visible_);
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (form_->native && spec().kind == ControlKind::Timer)
    form_->runtime().toolkit().SetTimer(*form_, index_, spec().interval, enabled_);
}

Form::Form(Runtime& runtime, const FormSpec& spec)
    : runtime_(&runtime), spec_(&spec), caption_(spec.caption) {
  controls_.reserve(spec.controls.size());
  for (int i = 0; i < static_cast<int>(spec.controls.size()); ++i) controls_.emplace_back(*this, i);
}

Form::~Form() = default;

void Form::SetCaption(std::string text) {
  if (text == caption_) return;
  caption_ = std::move(text);
  if (native) runtime_->toolkit().SetText(*this, -1, caption_);
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

Runtime::Runtime(Toolkit& toolkit, const AppFacts& facts) : toolkit_(&toolkit), facts_(facts) {}

Runtime::~Runtime() {
  for (auto& f : forms_)
    if (f->native) toolkit_->DestroyWindowFor(*f);
}

template <class Fn>
void Runtime::Guarded(Form& form, Fn&& fn) {
  if (ended_ || !form.alive()) return;
  Form* outer = active_;
  active_ = &form;
  ++depth_;
  try {
    fn();
  } catch (const RuntimeError& e) {
    if (!ended_) {
      MsgBox(UnhandledErrorText(e.number(), e.what()), kStyleCritical);
      End();
    }
  } catch (const std::exception& e) {
    if (!ended_) {
      MsgBox(UnhandledErrorText(51, std::string("Internal error: ") + e.what()), kStyleCritical);
      End();
    }
  }
  --depth_;
  active_ = outer;
}

void Runtime::Show(Form& form) {
  if (ended_ || !form.alive()) return;
  if (!form.loaded_) {
    form.loaded_ = true;
    toolkit_->CreateWindowFor(form);
    Guarded(form, [&] { form.OnLoad(); });
    if (ended_ || !form.alive()) return;
    // Timers run from the moment the form is loaded.
    for (auto& c : form.controls_)
      if (c.spec().kind == ControlKind::Timer && c.Enabled())
        toolkit_->SetTimer(form, c.index(), c.spec().interval, true);
  }
  toolkit_->ShowWindowFor(form);
}

void Runtime::Unload(Form& form) {
  if (!form.alive()) return;
  form.alive_ = false;
  if (form.native) toolkit_->DestroyWindowFor(form);
  Collect();
  if (!ended_ && Forms().empty()) toolkit_->Quit();
}

void Runtime::WindowClosed(Form& form) {
  if (!ended_) Unload(form);
}

void Runtime::End() {
  if (ended_) return;
  ended_ = true;
  for (auto& f : forms_) {
    f->alive_ = false;
    if (f->native) toolkit_->DestroyWindowFor(*f);
  }
  toolkit_->Quit();
  Collect();
}

int Runtime::MsgBox(std::string_view text, int style, std::string_view title) {
  if (title.empty()) title = facts_.title;
  Form* owner = active_ && active_->alive() && active_->native ? active_ : nullptr;
  return toolkit_->ShowMessageBox(owner, text, title, style);
}

void Runtime::Dispatch(Form& form, int control, Event event) {
  if (control < 0 || control >= static_cast<int>(form.controls_.size())) return;
  Guarded(form, [&] { form.OnEvent(form.controls_[control], event); });
  Collect();
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
