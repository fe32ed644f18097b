// The operating system on Windows: local clock, shell, processes, files and
// the registry. shell32, ole32 and advapi32 are bound by name at their first
// call, so a countdown that nobody asks for a page or the system-information
// tool never loads them, and starts faster and smaller for it.
#pragma once

#include "app/system.h"

namespace qvl {

class Win32Registry : public Registry {
 public:
  long RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t options, std::uint32_t sam,
                     RegKey* result) override;
  long RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t* reserved,
                        std::uint32_t* type, unsigned char* data,
                        std::uint32_t* byte_count) override;
  long RegCloseKey(RegKey key) override;
};

class Win32System : public System {
 public:
  LocalTime Now() override;
  int MsToNextSecond() override;
  void OpenAddress(std::string_view address) override;
  bool StartProgram(std::string_view path) override;
  bool IsOrdinaryFile(std::string_view path) override;
  Registry& registry() override { return registry_; }

 private:
  Win32Registry registry_;
};

}  // namespace qvl
