// The registry as the about box reads it: the three advapi32 calls with their
// own signatures, so that one lookup runs against the real registry, a
// scripted one in tests, or a view of its own on a system without one.
#pragma once

#include <cstdint>

namespace qvl {

using RegKey = std::uintptr_t;

// A predefined root key is a 32-bit number; the Windows headers make it a
// handle by sign extension, so on 64-bit HKEY_LOCAL_MACHINE is
// 0xFFFFFFFF80000002. Windows checks predefined handles by that value.
constexpr RegKey PredefinedKey(std::uint32_t root) {
  return static_cast<RegKey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(root)));
}
constexpr std::uint32_t kHkeyLocalMachine = 0x80000002u;

// Results of the registry functions, as Windows' error codes.
constexpr long kRegSuccess = 0;
constexpr long kRegFileNotFound = 2;
constexpr long kRegAccessDenied = 5;
constexpr long kRegInvalidHandle = 6;
constexpr long kRegMoreData = 234;

// Where the system-information tool is registered: the full path of its
// program, or the folder that holds it.
constexpr char kMsinfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kMsinfoPathValue[] = "PATH";
constexpr char kMsinfoLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char kMsinfoLocationValue[] = "MSINFO";

class Registry {
 public:
  virtual ~Registry() = default;
  virtual long RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t options,
                             std::uint32_t sam, RegKey* result) = 0;
  virtual long RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t* reserved,
                                std::uint32_t* type, unsigned char* data,
                                std::uint32_t* byte_count) = 0;
  virtual long RegCloseKey(RegKey key) = 0;
};

// A registry with no keys, where a system has none: every open fails as for
// a missing key.
class EmptyRegistry : public Registry {
 public:
  long RegOpenKeyExA(RegKey, const char*, std::uint32_t, std::uint32_t, RegKey*) override {
    return kRegFileNotFound;
  }
  long RegQueryValueExA(RegKey, const char*, std::uint32_t*, std::uint32_t*, unsigned char*,
                        std::uint32_t*) override {
    return kRegFileNotFound;
  }
  long RegCloseKey(RegKey) override { return kRegSuccess; }
};

}  // namespace qvl
