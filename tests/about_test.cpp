#include <gtest/gtest.h>

#include "about/frm_about.h"
#include "about/sysinfo.h"
#include "app/errors.h"
#include "harness.h"

namespace qvl::test {
namespace {

constexpr char kInfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char kUnavailable[] = "System Information Is Unavailable At This Time";

std::string Sz(const std::string& s) {
  return s + '\0';
}

TEST(GetKeyValue, ReadsBytesExactly) {
  const std::string s1023(1023, 'a');
  const struct {
    const char* what;
    std::uint32_t type;
    std::string bytes;
    bool result;
    std::string value;
  } rows[] = {
      {"terminating zero dropped", 1, Sz("C:\\x.exe"), true, "C:\\x.exe"},
      {"no terminating zero", 1, "C:\\x.exe", true, "C:\\x.exe"},
      {"only the last zero goes", 1, std::string("ab\0\0", 4), true, std::string("ab\0", 3)},
      {"empty string value", 1, Sz(""), true, ""},
      {"1023 characters and zero fit", 1, Sz(s1023), true, s1023},
      {"1024 characters without zero fit", 1, s1023 + "b", true, s1023 + "b"},
      {"one more does not fit", 1, Sz(s1023 + "b"), false, ""},
      {"DWORD 1", 4, std::string("\x01\0\0\0", 4), true, "1"},
      {"DWORD 513", 4, std::string("\x01\x02\0\0", 4), true, "513"},
      {"DWORD 0x12345678", 4, "\x78\x56\x34\x12", true, "305419896"},
      {"other type keeps KeyVal", 3, "\x01\x02", true, "before"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    ScriptedRegistry reg;
    reg.SetValue("K", "V", {r.type, r.bytes});
    std::string val = "before";
    EXPECT_EQ(GetKeyValue(reg, kHkeyLocalMachine, "K", "V", val), r.result);
    EXPECT_EQ(val, r.value);
    EXPECT_EQ(reg.open_keys(), 0);
    ASSERT_GE(reg.calls.size(), 2u);
    EXPECT_EQ(reg.calls[0].sam, 0x2003Fu);
    EXPECT_EQ(reg.calls[1].buffer_size, 1024u);
  }
}

TEST(GetKeyValue, FailuresEmptyKeyValAndCloseTheKey) {
  ScriptedRegistry reg;
  reg.AddKey("Empty");
  reg.SetValue("Denied", "V", {1, Sz("x")});
  reg.DenyOpen("Denied");
  reg.SetValue("Zero", "V", {1, ""});
  for (const char* key : {"Missing", "Empty", "Denied"}) {
    std::string val = "before";
    EXPECT_FALSE(GetKeyValue(reg, kHkeyLocalMachine, key, "V", val)) << key;
    EXPECT_EQ(val, "") << key;
  }
  std::string val = "before";
  EXPECT_THROW(GetKeyValue(reg, kHkeyLocalMachine, "Zero", "V", val), RuntimeError);
  EXPECT_EQ(reg.open_keys(), 0);
  EXPECT_EQ(reg.calls.back().function, "RegCloseKey");
}

TEST(StartSysInfo, LookupsAndFallbacks) {
  const std::string tool =
      "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\MSINFO32.EXE";
  const std::string folder = "C:\\Tools";
  const struct {
    const char* what;
    std::vector<std::pair<std::string, ScriptedRegistry::Value>> values;  // key|name
    std::vector<std::string> files;
    std::string started;  // empty: the message
    bool location_read;
  } rows[] = {
      {"PATH names the tool", {{"info|PATH", {1, Sz(tool)}}}, {}, tool, false},
      {"PATH absent, folder holds the tool",
       {{"loc|MSINFO", {1, Sz(folder)}}},
       {folder + "\\MSINFO32.EXE"},
       folder + "\\MSINFO32.EXE",
       true},
      {"folder without the tool", {{"loc|MSINFO", {1, Sz(folder)}}}, {}, "", true},
      {"neither value", {}, {}, "", true},
      {"PATH names a missing file",
       {{"info|PATH", {1, Sz("C:\\nope.exe")}}, {"loc|MSINFO", {1, Sz(folder)}}},
       {folder + "\\MSINFO32.EXE"},
       "",
       false},
      {"PATH empty",
       {{"info|PATH", {1, Sz("")}}, {"loc|MSINFO", {1, Sz(folder)}}},
       {folder + "\\MSINFO32.EXE"},
       "",
       false},
      {"PATH of byte count 0",
       {{"info|PATH", {1, ""}}, {"loc|MSINFO", {1, Sz(folder)}}},
       {folder + "\\MSINFO32.EXE"},
       "",
       false},
      {"PATH of another type", {{"info|PATH", {3, "xy"}}}, {}, "", false},
      {"MSINFO of another type looks up the bare name",
       {{"loc|MSINFO", {3, "xy"}}},
       {"\\MSINFO32.EXE"},
       "\\MSINFO32.EXE",
       true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Program p({2027, 4, 21, 10, 20, 30});
    p.sys.reg.AddKey(kInfoKey);
    for (const auto& [where, value] : r.values) {
      const bool info = where.rfind("info|", 0) == 0;
      p.sys.reg.SetValue(info ? kInfoKey : kLocationKey, where.substr(where.find('|') + 1), value);
    }
    for (const auto& f : r.files) {
      p.sys.files.insert(f);
      p.sys.startable.insert(f);
    }
    p.sys.startable.insert(tool);
    p.tk.Click(*p.main, "Command8");
    frmAbout& about = *p.runtime.FormsOf<frmAbout>()[0];
    p.tk.Click(about, "cmdSysInfo");
    if (r.started.empty()) {
      EXPECT_TRUE(p.sys.started.empty());
      ASSERT_EQ(p.tk.boxes.size(), 1u);
      EXPECT_EQ(p.tk.boxes[0].text, kUnavailable);
      EXPECT_EQ(p.tk.boxes[0].title, "QVLFEST");
      EXPECT_EQ(p.tk.boxes[0].style, 0);
    } else {
      EXPECT_EQ(p.sys.started, std::vector<std::string>{r.started});
      EXPECT_TRUE(p.tk.boxes.empty());
    }
    bool location_read = false;
    for (const auto& c : p.sys.reg.calls) location_read |= c.key_or_value == kLocationKey;
    EXPECT_EQ(location_read, r.location_read);
    EXPECT_EQ(p.sys.reg.open_keys(), 0);
    EXPECT_FALSE(p.runtime.ended());
    EXPECT_TRUE(about.alive());
  }
}

TEST(AboutBox, TextsPerBuild) {
  const struct {
    Variant v;
    const char* version;
    bool red_label;
    Twips height;
  } rows[] = {
      {Variant::PlainFont, "Version 2.1.1", true, 3555},
      {Variant::LcarsFont, "Version 2.1.0", false, 3450},
  };
  for (const auto& r : rows) {
    Program p({2027, 4, 21, 10, 20, 30}, r.v);
    p.tk.Click(*p.main, "Command8");
    frmAbout& about = *p.runtime.FormsOf<frmAbout>()[0];
    EXPECT_EQ(about.Caption(), "About QVLFEST");
    EXPECT_EQ(about["lblTitle"].Caption(), "QVLFEST");
    EXPECT_EQ(about["lblVersion"].Caption(), r.version);
    EXPECT_EQ(about.IndexOf("Label4") >= 0, r.red_label);
    EXPECT_EQ(about.spec().client_height, r.height);
    EXPECT_TRUE(about["Label1"].Caption().ends_with(
        "This particular version was compiled at 10:45am April 21, 2012"));
  }
}

TEST(AboutBox, TwoBoxesLiveAndCloseIndependently) {
  Program p({2027, 4, 21, 10, 20, 30});
  p.tk.Click(*p.main, "Command3");
  p.tk.Click(*p.main, "Command8");
  EXPECT_FALSE((*p.main)["Frame1"].Visible());
  p.tk.Click(*p.main, "Command8");
  auto boxes = p.runtime.FormsOf<frmAbout>();
  ASSERT_EQ(boxes.size(), 2u);
  p.tk.Click(*boxes[0], "cmdOK");
  ASSERT_EQ(p.runtime.FormsOf<frmAbout>().size(), 1u);
  EXPECT_EQ(p.runtime.FormsOf<frmAbout>()[0], boxes[1]);
  EXPECT_EQ(p.tk.WindowOf(*boxes[1])->texts.at(-1), "About QVLFEST");
}

}  // namespace
}  // namespace qvl::test
