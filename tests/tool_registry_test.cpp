// The registry view of a system without a registry, through GetKeyValue.
#include "app/posix/tool_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "about/sysinfo.h"

namespace qvl {
namespace {

namespace fs = std::filesystem;

struct Scratch {
  Scratch() {
    char name[] = "/tmp/qvl-tools-XXXXXX";
    root = mkdtemp(name);
    for (const char* d : {"a", "b", "rel"}) fs::create_directory(root / d);
  }
  ~Scratch() { fs::remove_all(root); }
  void File(const std::string& at, bool executable) {
    std::ofstream(root / at) << "#!/bin/sh\n";
    chmod((root / at).c_str(), executable ? 0755 : 0644);
  }
  fs::path root;
};

TEST(ToolRegistry, FirstToolFoundOnPath) {
  const struct {
    const char* what;
    std::vector<std::pair<std::string, bool>> files;  // path, executable
    std::string want;                                 // under the scratch root; empty: none
  } rows[] = {
      {"no tool", {}, ""},
      {"hardinfo", {{"b/hardinfo", true}}, "b/hardinfo"},
      {"the list's order before PATH's",
       {{"a/hardinfo", true}, {"b/kinfocenter", true}},
       "b/kinfocenter"},
      {"not executable, or a folder",
       {{"a/kinfocenter", false}, {"b/hardinfo", true}},
       "b/hardinfo"},
      {"relative PATH entries are not searched", {{"rel/kinfocenter", true}}, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Scratch s;
    const fs::path cwd = fs::current_path();
    fs::current_path(s.root);  // so that "rel" would name a real folder
    fs::create_directory(s.root / "a" / "hardinfo2");
    for (const auto& [path, executable] : r.files) s.File(path, executable);
    const std::string path = "rel:" + (s.root / "a").string() + "::" + (s.root / "b").string();
    ToolRegistry reg(kSystemInfoTools, [&] { return path; });
    std::string value = "before";
    const bool found = GetKeyValue(reg, kHkeyLocalMachine,
                                   "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", value);
    EXPECT_EQ(found, !r.want.empty());
    EXPECT_EQ(value, r.want.empty() ? "" : (s.root / r.want).string());
    EXPECT_FALSE(GetKeyValue(reg, kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location",
                             "MSINFO", value));
    fs::current_path(cwd);
  }
}

}  // namespace
}  // namespace qvl
