// The product's toolkit: every form a real top-level window and every
// control of its table a real child window, laid out by the window's DPI.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/toolkit.h"
#include "app/win32/winapi.h"

namespace qvl {

class Win32Registry : public Advapi32 {
 public:
  long RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t options, std::uint32_t sam,
                     RegKey* result) override;
  long RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t* reserved,
                        std::uint32_t* type, unsigned char* data,
                        std::uint32_t* byte_count) override;
  long RegCloseKey(RegKey key) override;
};

class Win32Toolkit : public Toolkit {
 public:
  // Seams for the in-process tests: a clock of their own, and requests that
  // would leave the process (web pages, window drags) recorded instead.
  struct Options {
    std::function<LocalTime()> clock;
    bool record_only = false;
  };

  Win32Toolkit();
  explicit Win32Toolkit(Options options);
  ~Win32Toolkit() override;

  void CreateWindowFor(Form& form) override;
  void ShowWindowFor(Form& form) override;
  void DestroyWindowFor(Form& form) override;
  void SetText(Form& form, int control, std::string_view text) override;
  void SetVisible(Form& form, int control, bool visible) override;
  void SetTimer(Form& form, int control, int interval_ms, bool enabled) override;
  void DragWindow(Form& form) override;
  int ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                     int style) override;
  LocalTime Now() override;
  void OpenAddress(std::string_view address) override;
  bool StartProgram(std::string_view path) override;
  bool IsOrdinaryFile(std::string_view path) override;
  Advapi32& Registry() override { return registry_; }
  void Quit() override;

  // Runs the message loop until Quit; returns the exit code.
  int Run();
  // Handles the messages waiting now, without blocking (for tests).
  void Pump();

  static HWND WindowOf(const Form& form);
  static HWND ControlWindow(const Form& form, int control);
  static int DpiOf(const Form& form);

  std::vector<std::string> addresses;  // recorded with record_only
  std::vector<std::string> drags;
  struct Box {
    std::string text, title;
    int style;
  };
  std::vector<Box> boxes;  // every message box shown, for the tests
  bool quit_requested() const { return quit_; }

 private:
  Options options_;
  Win32Registry registry_;
  bool quit_ = false;
};

// Twips to pixels at a DPI: 15 twips a pixel at 96 DPI, 10 at 144.
inline int TwipsToPixels(int twips, int dpi) {
  return MulDiv(twips, dpi, 1440);
}

std::wstring Widen(std::string_view text);

}  // namespace qvl
