#include "app/headless/recording_system.h"

#include <cstring>

namespace qvl {

long ScriptedRegistry::RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t,
                                     std::uint32_t sam, RegKey* result) {
  calls.push_back({"RegOpenKeyExA", sub_key, sam, 0});
  if (root != PredefinedKey(kHkeyLocalMachine) || !keys_.count(sub_key)) return kRegFileNotFound;
  if (denied_.count(sub_key)) return kRegAccessDenied;
  *result = next_++;
  open_[*result] = sub_key;
  return kRegSuccess;
}

long ScriptedRegistry::RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t*,
                                        std::uint32_t* type, unsigned char* data,
                                        std::uint32_t* byte_count) {
  calls.push_back({"RegQueryValueExA", value_name, 0, *byte_count});
  const auto k = open_.find(key);
  if (k == open_.end()) return kRegInvalidHandle;
  const auto& values = keys_[k->second];
  const auto v = values.find(value_name);
  if (v == values.end()) return kRegFileNotFound;
  const auto size = static_cast<std::uint32_t>(v->second.bytes.size());
  if (size > *byte_count) {
    *byte_count = size;
    return kRegMoreData;
  }
  *type = v->second.type;
  std::memcpy(data, v->second.bytes.data(), size);
  *byte_count = size;
  return kRegSuccess;
}

long ScriptedRegistry::RegCloseKey(RegKey key) {
  calls.push_back({"RegCloseKey", open_.count(key) ? open_[key] : "?", 0, 0});
  return open_.erase(key) ? kRegSuccess : kRegInvalidHandle;
}

bool RecordingSystem::StartProgram(std::string_view path) {
  if (!startable.count(std::string(path))) return false;
  started.emplace_back(path);
  return true;
}

}  // namespace qvl
