// Starts a program and reports, in milliseconds, how long it takes until a
// window with the given title holds a child whose text begins "It is ".
// The program is left running for the CPU and memory readings; "close"
// ends it the way a user would, so that the next start finds Wine settled.
//   driver <exe> <title>
//   driver close <title>
#include <cstdio>
#include <string>

#include "app/win32/winapi.h"

namespace {

bool SentenceStands(HWND window) {
  bool found = false;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM p) -> BOOL {
        char text[16];
        GetWindowTextA(child, text, sizeof text);
        if (std::string(text).rfind("It is ", 0) != 0) return TRUE;
        *reinterpret_cast<bool*>(p) = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  if (std::string(argv[1]) == "close") {
    HWND window = FindWindowA(nullptr, argv[2]);
    return window && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  LARGE_INTEGER freq, start, now;
  QueryPerformanceFrequency(&freq);
  std::string command = std::string("\"") + argv[1] + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(argv[1], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return 1;
  for (;;) {
    HWND window = FindWindowA(nullptr, argv[2]);
    if (window && SentenceStands(window)) break;
    QueryPerformanceCounter(&now);
    if ((now.QuadPart - start.QuadPart) / freq.QuadPart > 20) return 1;
    Sleep(1);
  }
  QueryPerformanceCounter(&now);
  std::printf("%.1f\n", 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                            static_cast<double>(freq.QuadPart));
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}
