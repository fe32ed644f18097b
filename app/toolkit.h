// The narrow interface between the form runtime and a platform. Forms never
// see it: they talk to the runtime, and the runtime talks to a Toolkit. The
// Win32 toolkit is the product; the headless one keeps everything in memory
// for the native tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qvl {

class Form;

struct LocalTime {
  int year, month, day, hour, minute, second;
  friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

// The three advapi32 calls that the about box makes, with their own
// signatures, so that one implementation of the lookup runs against the real
// registry and against a scripted one.
using RegKey = std::uintptr_t;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;
class Advapi32 {
 public:
  virtual ~Advapi32() = default;
  virtual long RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t options,
                             std::uint32_t sam, RegKey* result) = 0;
  virtual long RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t* reserved,
                                std::uint32_t* type, unsigned char* data,
                                std::uint32_t* byte_count) = 0;
  virtual long RegCloseKey(RegKey key) = 0;
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Windows. A form's window is created hidden with every control of its
  // table in its design-time state, except for the texts and visibility that
  // the runtime hands over (the form may have changed them before).
  virtual void CreateWindowFor(Form& form) = 0;
  virtual void ShowWindowFor(Form& form) = 0;
  virtual void DestroyWindowFor(Form& form) = 0;
  // control -1 is the form itself.
  virtual void SetText(Form& form, int control, std::string_view text) = 0;
  virtual void SetVisible(Form& form, int control, bool visible) = 0;
  virtual void SetTimer(Form& form, int control, int interval_ms, bool enabled) = 0;

  // Starts an interactive move of the form's window by the pointer, as a
  // press on a title bar does.
  virtual void DragWindow(Form& form) = 0;

  // Modal; returns the code of the button that closed the box.
  virtual int ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                             int style) = 0;

  virtual LocalTime Now() = 0;
  virtual void OpenAddress(std::string_view address) = 0;
  // Starts the executable at `path` (not a command line); false if it
  // cannot be started.
  virtual bool StartProgram(std::string_view path) = 0;
  // True if an ordinary file (not a folder, hidden or system file) is there.
  virtual bool IsOrdinaryFile(std::string_view path) = 0;
  virtual Advapi32& Registry() = 0;

  // Ends the message loop; with `close_all` every window closes at once.
  virtual void Quit() = 0;
};

}  // namespace qvl
