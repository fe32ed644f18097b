#include "app/posix/tool_registry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace qvl {

namespace {

constexpr RegKey kInfoHandle = 1;
constexpr std::uint32_t kRegSz = 1;
constexpr long kInvalidHandle = 6, kMoreData = 234;

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

ToolRegistry::ToolRegistry(std::vector<std::string> tools, PathReader path)
    : tools_(std::move(tools)), path_(std::move(path)) {
  if (!path_)
    path_ = [] {
      const char* p = std::getenv("PATH");
      return std::string(p ? p : "");
    };
}

std::string ToolRegistry::FindTool() const {
  const std::string path = path_();
  for (const std::string& tool : tools_) {
    std::string_view rest = path;
    while (!rest.empty()) {
      const auto colon = rest.find(':');
      const std::string_view dir = rest.substr(0, colon);
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
      if (dir.empty() || dir.front() != '/') continue;  // only absolute folders
      const std::string candidate = std::string(dir) + "/" + tool;
      if (IsExecutableFile(candidate)) return candidate;
    }
  }
  return {};
}

long ToolRegistry::RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t, std::uint32_t,
                                 RegKey* result) {
  if (root != PredefinedKey(kHkeyLocalMachine) || std::strcmp(sub_key, kMsinfoKey) != 0)
    return kRegFileNotFound;
  found_ = FindTool();
  if (found_.empty()) return kRegFileNotFound;
  *result = kInfoHandle;
  return kRegSuccess;
}

long ToolRegistry::RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t*,
                                    std::uint32_t* type, unsigned char* data,
                                    std::uint32_t* byte_count) {
  if (key != kInfoHandle) return kInvalidHandle;
  if (std::strcmp(value_name, kMsinfoPathValue) != 0) return kRegFileNotFound;
  const auto size = static_cast<std::uint32_t>(found_.size() + 1);  // with its zero
  if (size > *byte_count) {
    *byte_count = size;
    return kMoreData;
  }
  std::memcpy(data, found_.c_str(), size);
  *type = kRegSz;
  *byte_count = size;
  return kRegSuccess;
}

long ToolRegistry::RegCloseKey(RegKey key) {
  return key == kInfoHandle ? kRegSuccess : kInvalidHandle;
}

}  // namespace qvl
