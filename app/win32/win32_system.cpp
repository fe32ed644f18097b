#include "app/win32/win32_system.h"

#include <objbase.h>

#include <string>

#include "app/errors.h"
#include "app/win32/binding.h"
#include "app/win32/winapi.h"

namespace qvl {

// The shell may use COM to open an address, and asks its callers to have
// initialised it for the thread.
void InitialiseComForThread() {
  thread_local bool done = false;
  if (done) return;
  using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
  static const auto init = Bind<CoInitializeExFn>(L"ole32.dll", "CoInitializeEx");
  init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  done = true;
}

long Win32Registry::RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t options,
                                  std::uint32_t sam, RegKey* result) {
  static const auto open = Bind<decltype(&::RegOpenKeyExA)>(L"advapi32.dll", "RegOpenKeyExA");
  HKEY key = nullptr;
  const long r = open(reinterpret_cast<HKEY>(root), sub_key, options, sam, &key);
  if (r == ERROR_SUCCESS) *result = reinterpret_cast<RegKey>(key);
  return r;
}

long Win32Registry::RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t* reserved,
                                     std::uint32_t* type, unsigned char* data,
                                     std::uint32_t* byte_count) {
  static const auto query =
      Bind<decltype(&::RegQueryValueExA)>(L"advapi32.dll", "RegQueryValueExA");
  DWORD t = 0, n = *byte_count;
  const long r = query(reinterpret_cast<HKEY>(key), value_name, reinterpret_cast<DWORD*>(reserved),
                       &t, data, &n);
  *type = t;
  *byte_count = n;
  return r;
}

long Win32Registry::RegCloseKey(RegKey key) {
  static const auto close = Bind<decltype(&::RegCloseKey)>(L"advapi32.dll", "RegCloseKey");
  return close(reinterpret_cast<HKEY>(key));
}

LocalTime Win32System::Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

int Win32System::MsToNextSecond() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return 1000 - st.wMilliseconds;
}

void Win32System::OpenAddress(std::string_view address) {
  InitialiseComForThread();
  static const auto shell_execute =
      Bind<decltype(&::ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
  const std::string a(address);
  shell_execute(nullptr, "open", a.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The path is the program to run, never a command line to be parsed: with
// "C:\Program Files\..." nothing else, such as "C:\Program.exe", can start.
bool Win32System::StartProgram(std::string_view path) {
  if (path.empty()) return false;
  const std::string app(path);
  std::string command_line = "\"" + app + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(app.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

bool Win32System::IsOrdinaryFile(std::string_view path) {
  const std::string p(path);
  const DWORD attributes = GetFileAttributesA(p.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

}  // namespace qvl
