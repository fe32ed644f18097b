// The registry as seen on a system without one: a read-only view whose only
// value is the one the about box asks for first, "PATH" under
// "SOFTWARE\Microsoft\Shared Tools\MSINFO", naming the first of a few
// system-information programs found on PATH. Looked up anew at every open,
// so a tool installed while the program runs is found.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/registry.h"

namespace qvl {

// In the order they are looked for.
inline const std::vector<std::string> kSystemInfoTools = {"kinfocenter", "hardinfo2", "hardinfo"};

class ToolRegistry : public Registry {
 public:
  using PathReader = std::function<std::string()>;
  explicit ToolRegistry(std::vector<std::string> tools = kSystemInfoTools,
                        PathReader path = nullptr);

  long RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t options, std::uint32_t sam,
                     RegKey* result) override;
  long RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t* reserved,
                        std::uint32_t* type, unsigned char* data,
                        std::uint32_t* byte_count) override;
  long RegCloseKey(RegKey key) override;

 private:
  std::string FindTool() const;
  std::vector<std::string> tools_;
  PathReader path_;
  std::string found_;  // the tool's full path while the key is open
};

}  // namespace qvl
