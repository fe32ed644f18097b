// The least a Win32 program can spend on the countdown window's visible job:
// a borderless 256 x 145 black window with one label, rewritten by one
// 100 ms timer from the local clock. Built like the product, for comparison.
#include "app/win32/winapi.h"

namespace {

HWND label;
char shown[96];

long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = y / 400, yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
}

void Tick() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  const long today = DaysFromCivil(t.wYear, t.wMonth, t.wDay);
  long festival = DaysFromCivil(t.wYear, 6, 22);
  if (festival < today) festival = DaysFromCivil(t.wYear + 1, 6, 22);
  char text[96];
  wsprintfA(text, "It is %ld days %d Hours %d Minutes  and %d Seconds ", festival - today,
            24 - t.wHour, 60 - t.wMinute, 60 - t.wSecond);
  if (lstrcmpA(text, shown) == 0) return;
  lstrcpyA(shown, text);
  SetWindowTextA(label, text);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      Tick();
      return 0;
    case WM_CTLCOLORSTATIC:
      SetTextColor(reinterpret_cast<HDC>(wp), RGB(128, 128, 255));
      SetBkColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"QvlBaseline";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"qvl baseline", WS_POPUP | WS_VISIBLE, 0, 0,
                              256, 145, nullptr, nullptr, instance, nullptr);
  label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 8, 24, 249, 81, hwnd, nullptr,
                          instance, nullptr);
  // The sentence in the plain-font build's face and size, as the product draws it.
  HFONT font =
      CreateFontW(-24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetTimer(hwnd, 1, 100, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
