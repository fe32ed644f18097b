// The web toolkit: every form an in-page window of the browser's DOM, laid
// out by the shared geometry in CSS pixels (15 twips each with a mouse, fewer
// on a touch screen) and its surface painted by the shared plan on a canvas
// at the device's resolution. The page is the desktop: windows open inside
// it and are never lost outside it. Labels
// and buttons are the page's own text and buttons, so that screen readers,
// find-in-page and copy see them. The page queues input and gives the
// program a turn, in which it hands what waits to the runtime one event at a
// time and returns; a message box runs a loop of its own, in which the
// program waits for the page (Asyncify) until the box is answered.
//
// What it cannot do: nothing the contract asks. The page is its desktop: a
// window cannot leave the browser's page, and "X" ends the program but not
// the page. Its message boxes are drawn by the page, answering their keys
// by the shared rules.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/paint_plan.h"
#include "app/toolkit.h"
#include "app/web/page.h"

namespace qvl {

class WebToolkit : public Toolkit {
 public:
  // `forms`: every form the program may show, which on a touch screen set
  // the one scale that all of them are laid out at.
  explicit WebToolkit(std::span<const FormSpec* const> forms);
  ~WebToolkit() override;

  NativeWindow* CreateWindowFor(Form& form) override;
  void ShowWindowFor(Form& form, bool first) override;
  void DestroyWindowFor(Form& form) override;
  void SetText(Form& form, int control, std::string_view text) override;
  void SetVisible(Form& form, int control, bool visible) override;
  void FocusControl(Form& form, int control) override;
  void ShowDefault(Form& form, int control) override;
  void StartTicker(Form& form, int interval_ms, int first_ms) override;
  void StopTicker(Form& form, int interval_ms) override;
  void DragWindow(Form& form, MouseButton button) override;
  int ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                     const BoxStyle& style) override;
  void Quit() override { quit_ = true; }

  // Takes the page's turns from here on, the first at once; when the
  // program has ended, the page says so.
  void Run();
  void Turn();

 private:
  struct Window;

  Window* Find(int id) const;
  Window& Of(const Form& form) const;
  void CreateControls(Window& w, std::string_view container, int container_index);
  void PaintSurface(Window& w);
  void CoverLabels(Window& w);
  void PaintChrome(Window& w);
  void Place(Window& w);
  void PlaceBox(Window& box, const Window* owner);
  void MoveTo(Window& w, PixelPoint at);
  // Moves a window as far towards `at` as its title strip stays in the page.
  void KeepInPage(Window& w, PixelPoint at);
  PixelPoint Offset(const Window& w, int control) const;
  void SwitchWhenSafe();
  // Makes a window the active one, in front of the others; true if it was not.
  bool Activate(Window& w);
  void ActivateTopmost();
  void SetBlocked(Window& w, bool blocked);
  bool Blocked(const Window& w) const;
  bool Inside(const Window& w, int control, PixelPoint pointer) const;

  void DispatchNext();
  bool NextWaiting(page::Event& e);
  void Dispatch(const page::Event& e);
  void FormInput(Window& w, const page::Event& e);
  void BoxInput(Window& w, const page::Event& e);
  void TitleBarInput(Window& w, const page::Event& e);
  void AnswerBox(Window& box, int answer);
  void FocusBoxButton(Window& box, int button);

  std::map<int, std::unique_ptr<Window>> windows_;
  std::deque<page::Event> own_events_;  // queued by the toolkit itself
  std::vector<Primitive> plan_;
  int layout_dpi_;  // of the page's CSS pixels: 96 with a mouse, more on a touch screen
  int title_;       // the height of a dialog's title bar
  int dpi_;         // of the canvases: the device's pixels
  std::optional<PixelPoint> kept_;  // the first window's place in the release before
  int next_id_ = 1;
  int top_z_ = 0;
  int active_ = 0;
  int cascade_ = 0;
  int application_modal_ = 0;  // boxes open with no owner
  bool quit_ = false;
  bool release_ = false;  // a new release waits for a safe moment
  PointerDrag drag_;
  int dragging_ = 0;  // the window the pointer moves
  int pressed_ = -1;  // the control whose press is being handled
  PixelPoint pointer_;
};

}  // namespace qvl
