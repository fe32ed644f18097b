#include "about/sysinfo.h"

#include <cstdint>

#include "app/errors.h"

namespace qvl {

namespace {

constexpr std::uint32_t kReadControlAndKeyRights = 0x2003F;
constexpr std::uint32_t kRegSz = 1, kRegDword = 4;
constexpr std::uint32_t kBufferSize = 1024;
constexpr char kExecutable[] = "\\MSINFO32.EXE";
constexpr char kUnavailable[] = "System Information Is Unavailable At This Time";

// The "&h" text of a hex group per character, the last first, read as a
// number and written in decimal: the bytes' value with the last byte the
// most significant. (Groups of two digits each, so that a byte below 0x10
// does not shift the others.)
std::string DwordText(const std::string& text) {
  std::uint64_t value = 0;
  for (auto it = text.rbegin(); it != text.rend(); ++it)
    value = (value << 8) | static_cast<unsigned char>(*it);
  return std::to_string(value);
}

// Closes an open key when it goes out of scope, whichever way that is.
class OpenKey {
 public:
  explicit OpenKey(Registry& registry) : registry_(registry) {}
  ~OpenKey() {
    if (handle) registry_.RegCloseKey(handle);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  RegKey handle = 0;

 private:
  Registry& registry_;
};

}  // namespace

bool GetKeyValue(Registry& registry, std::uint32_t KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal) {
  OpenKey key(registry);
  if (registry.RegOpenKeyExA(PredefinedKey(KeyRoot), KeyName.c_str(), 0, kReadControlAndKeyRights,
                             &key.handle) != kRegSuccess) {
    key.handle = 0;
    KeyVal.clear();
    return false;
  }
  unsigned char buffer[kBufferSize] = {};
  std::uint32_t byte_count = kBufferSize;
  std::uint32_t type = 0;
  if (registry.RegQueryValueExA(key.handle, SubKeyRef.c_str(), nullptr, &type, buffer,
                                &byte_count) != kRegSuccess) {
    KeyVal.clear();
    return false;
  }
  // There is no byte before the first: a count of 0 cannot be read.
  if (byte_count == 0 || byte_count > kBufferSize) throw InvalidCall();
  const std::uint32_t length = buffer[byte_count - 1] == 0 ? byte_count - 1 : byte_count;
  const std::string text(reinterpret_cast<const char*>(buffer), length);
  if (type == kRegSz) {
    KeyVal = text;
  } else if (type == kRegDword) {
    KeyVal = DwordText(text);
  }
  return true;
}

void StartSysInfo(Runtime& runtime) {
  try {
    std::string path;
    if (!GetKeyValue(runtime.registry(), kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue, path)) {
      if (!GetKeyValue(runtime.registry(), kHkeyLocalMachine, kMsinfoLocationKey,
                       kMsinfoLocationValue, path))
        throw FileNotFound();
      if (!runtime.IsOrdinaryFile(path + kExecutable)) throw FileNotFound();
      path += kExecutable;
    }
    if (!runtime.StartProgram(path)) throw FileNotFound();
  } catch (const std::exception&) {
    runtime.MsgBox(kUnavailable, 0);
  }
}

}  // namespace qvl
