// The operating system as tests see it: a clock they set, which the headless
// toolkit moves on as its timers fire, a scripted registry, and a record of
// every page opened and program started.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/calendar.h"
#include "app/system.h"

namespace qvl {

// Keys by path under HKEY_LOCAL_MACHINE, values with their raw bytes.
class ScriptedRegistry : public Registry {
 public:
  struct Value {
    std::uint32_t type;
    std::string bytes;  // stored as given, terminating zeros included
  };
  void SetValue(const std::string& key, const std::string& name, Value value) {
    keys_[key][name] = std::move(value);
  }
  void AddKey(const std::string& key) { keys_[key]; }
  void DenyOpen(const std::string& key) { denied_.insert(key); }

  long RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t options, std::uint32_t sam,
                     RegKey* result) override;
  long RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t* reserved,
                        std::uint32_t* type, unsigned char* data,
                        std::uint32_t* byte_count) override;
  long RegCloseKey(RegKey key) override;

  // What the code under test did.
  struct Call {
    std::string function, key_or_value;
    std::uint32_t sam = 0, buffer_size = 0;
  };
  std::vector<Call> calls;
  int open_keys() const { return static_cast<int>(open_.size()); }

 private:
  std::map<std::string, std::map<std::string, Value>> keys_;
  std::set<std::string> denied_;
  std::map<RegKey, std::string> open_;
  RegKey next_ = 0x100;
};

// Virtual time: a local time set by the test, running on with the
// milliseconds the headless toolkit advances.
class TestClock {
 public:
  void Set(const LocalTime& t) {
    base_seconds_ = SecondsFromLocal(t);
    set_at_ms_ = ms_;
  }
  LocalTime Now() const { return CivilFromSeconds(base_seconds_ + (ms_ - set_at_ms_) / 1000); }
  int MsToNextSecond() const { return 1000 - static_cast<int>((ms_ - set_at_ms_) % 1000); }
  long long ms() const { return ms_; }
  void AdvanceTo(long long ms) { ms_ = ms; }

 private:
  long long base_seconds_ = 0, ms_ = 0, set_at_ms_ = 0;
};

class RecordingSystem : public System {
 public:
  LocalTime Now() override { return clock.Now(); }
  int MsToNextSecond() override { return clock.MsToNextSecond(); }
  void OpenAddress(std::string_view address) override { addresses.emplace_back(address); }
  bool StartProgram(std::string_view path) override;
  bool IsOrdinaryFile(std::string_view path) override { return files.count(std::string(path)) > 0; }
  Registry& registry() override { return reg; }

  void SetClock(const LocalTime& t) { clock.Set(t); }

  TestClock clock;
  ScriptedRegistry reg;
  std::set<std::string> startable;  // programs that StartProgram accepts
  std::set<std::string> files;      // ordinary files that exist
  std::vector<std::string> addresses;
  std::vector<std::string> started;
};

}  // namespace qvl
