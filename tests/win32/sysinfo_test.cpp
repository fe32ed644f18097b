// The system-information button against Wine's real registry and its own
// msinfo32.exe. Values are written to HKLM and removed afterwards.
#include <objbase.h>
#include <tlhelp32.h>

#include <cstdio>
#include <set>
#include <thread>

#include "about/frm_about.h"
#include "app/win32/win32_system.h"
#include "win32_harness.h"

namespace qvl::test {
namespace {

constexpr char kInfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char kToolWindow[] = "About System Information";
constexpr char kWineTool[] = "C:\\windows\\system32\\msinfo32.exe";
constexpr char kScratch[] = "C:\\qvl sysinfo test";

void RegAdd(const char* key, const char* value, const std::string& data) {
  ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, value, REG_SZ, data.c_str(),
                            static_cast<DWORD>(data.size() + 1)),
            ERROR_SUCCESS);
}

// The processes this one has started that are still running.
std::set<DWORD> Children() {
  std::set<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ParentProcessID == GetCurrentProcessId()) ids.insert(entry.th32ProcessID);
  CloseHandle(snapshot);
  return ids;
}

std::string ImageOf(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return {};
  char path[MAX_PATH];
  DWORD size = MAX_PATH;
  const bool ok = QueryFullProcessImageNameA(process, 0, path, &size);
  CloseHandle(process);
  return ok ? std::string(path, size) : std::string();
}

class SysInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Cleanup();
    CreateDirectoryA(kScratch, nullptr);
    CreateDirectoryA((std::string(kScratch) + "\\with tool").c_str(), nullptr);
    CreateDirectoryA((std::string(kScratch) + "\\empty").c_str(), nullptr);
    CreateDirectoryA((std::string(kScratch) + "\\folder").c_str(), nullptr);
    CreateDirectoryA((std::string(kScratch) + "\\folder\\MSINFO32.EXE").c_str(), nullptr);
    ASSERT_TRUE(
        CopyFileA(kWineTool, (std::string(kScratch) + "\\with tool\\MSINFO32.EXE").c_str(), FALSE));
  }
  void TearDown() override { Cleanup(); }
  static void Cleanup() {
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kInfoKey, "PATH");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kLocationKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kLocationKey);
    while (HWND tool = FindWindowA(nullptr, kToolWindow)) {
      SendMessageW(tool, WM_CLOSE, 0, 0);
      Sleep(100);
    }
    for (const char* f : {"\\with tool\\MSINFO32.EXE", "\\with.exe"})
      DeleteFileA((std::string(kScratch) + f).c_str());
    DeleteFileA("C:\\qvl.exe");
    for (const char* d : {"\\with tool", "\\empty", "\\folder\\MSINFO32.EXE", "\\folder", ""})
      RemoveDirectoryA((std::string(kScratch) + d).c_str());
  }

  // Presses "System Info..." in a new about box; returns the images of the
  // programs the press started and the message boxes seen. The press has
  // started whatever it starts by the time it returns: CreateProcess makes
  // the process before it returns, and a message box closes before the
  // press ends.
  std::vector<std::string> Press(std::vector<BoxWatcher::Seen>& boxes) {
    Win32System system;
    Win32Program p({2027, 4, 21, 10, 20, 30}, Variant::LcarsFont, &system);
    p.Click(p.Child("Command8"));
    frmAbout& about = *p.runtime.FormsOf<frmAbout>().at(0);
    BoxWatcher watcher;
    const std::set<DWORD> before = Children();
    p.Click(p.Child(about, "cmdSysInfo"));
    std::vector<std::string> started;
    for (DWORD pid : Children())
      if (!before.count(pid)) started.push_back(ImageOf(pid));
    if (!started.empty()) {
      // Wine starts the tool slowly on a busy machine; its window is awaited
      // so that the clean-up can close it.
      EXPECT_TRUE(p.PumpUntil([] { return FindWindowA(nullptr, kToolWindow) != nullptr; }, 20000))
          << "the tool shows its window";
    }
    boxes = watcher.seen;
    EXPECT_TRUE(IsWindow(p.Window(about))) << "the about box stays open";
    EXPECT_FALSE(p.runtime.ended());
    return started;
  }
};

bool SameFile(const std::string& a, const std::string& b) {
  return CompareStringOrdinal(std::wstring(a.begin(), a.end()).c_str(), -1,
                              std::wstring(b.begin(), b.end()).c_str(), -1, TRUE) == CSTR_EQUAL;
}

void ExpectUnavailable(const std::vector<BoxWatcher::Seen>& boxes) {
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "System Information Is Unavailable At This Time");
  EXPECT_EQ(boxes[0].title, "QVLFEST");
}

TEST_F(SysInfoTest, PathNamingTheToolStartsIt) {
  RegAdd(kInfoKey, "PATH", kWineTool);
  std::vector<BoxWatcher::Seen> boxes;
  const auto started = Press(boxes);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(SameFile(started[0], kWineTool)) << started[0];
  EXPECT_TRUE(boxes.empty());
}

TEST_F(SysInfoTest, FolderHoldingTheToolStartsThatFile) {
  RegAdd(kLocationKey, "MSINFO", std::string(kScratch) + "\\with tool");
  std::vector<BoxWatcher::Seen> boxes;
  const auto started = Press(boxes);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(SameFile(started[0], std::string(kScratch) + "\\with tool\\MSINFO32.EXE"))
      << started[0];
  EXPECT_TRUE(boxes.empty());
}

TEST_F(SysInfoTest, NoToolGivesTheMessageAndStartsNothing) {
  const struct {
    const char* what;
    const char* path;
    std::string folder;
  } rows[] = {
      {"folder without the tool", nullptr, std::string(kScratch) + "\\empty"},
      {"neither value", nullptr, ""},
      {"a folder named like the tool", nullptr, std::string(kScratch) + "\\folder"},
      {"PATH naming a missing file", "C:\\nowhere\\MSINFO32.EXE",
       std::string(kScratch) + "\\with tool"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Cleanup();
    SetUp();
    if (r.path) RegAdd(kInfoKey, "PATH", r.path);
    if (!r.folder.empty()) RegAdd(kLocationKey, "MSINFO", r.folder);
    std::vector<BoxWatcher::Seen> boxes;
    EXPECT_EQ(Press(boxes), std::vector<std::string>{});
    ExpectUnavailable(boxes);
  }
}

// A path with blanks is the program to run, not a command line: the decoys
// that a command line split at its blanks would start never start.
TEST_F(SysInfoTest, PathWithBlanksStartsOnlyTheIntendedProgram) {
  for (const std::string& decoy :
       {std::string("C:\\qvl.exe"), std::string(kScratch) + "\\with.exe"})
    ASSERT_TRUE(CopyFileA(kWineTool, decoy.c_str(), FALSE));
  const std::string intended = std::string(kScratch) + "\\with tool\\MSINFO32.EXE";
  RegAdd(kInfoKey, "PATH", intended);
  std::vector<BoxWatcher::Seen> boxes;
  const auto started = Press(boxes);
  ASSERT_EQ(started.size(), 1u) << "no decoy beside it";
  EXPECT_TRUE(SameFile(started[0], intended)) << started[0];
}

// Opening an address first makes the thread a single-threaded COM apartment,
// as the shell asks of its callers.
TEST(Win32System, OpeningAnAddressInitialisesComForTheThread) {
  HRESULT again = S_OK;
  std::thread([&] {
    Win32System system;
    system.OpenAddress("https://www.example.invalid/");
    again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(again)) CoUninitialize();
  }).join();
  EXPECT_EQ(again, RPC_E_CHANGED_MODE);
}

}  // namespace
}  // namespace qvl::test
