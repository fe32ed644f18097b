#include "app/win32/win32_toolkit.h"

#include <algorithm>
#include <map>
#include <memory>

#include "app/errors.h"
#include "app/form.h"

namespace qvl {

namespace {

constexpr wchar_t kFormClass[] = L"QvlForm";
constexpr wchar_t kLabelClass[] = L"QvlLabel";
constexpr wchar_t kFrameClass[] = L"QvlFrame";
constexpr wchar_t kPictureClass[] = L"QvlPicture";
constexpr int kFirstControlId = 100;
constexpr UINT_PTR kFirstTimerId = 1000;

struct FormWindow {
  Form* form = nullptr;
  HWND hwnd = nullptr;
  std::vector<HWND> controls;  // by control index; none for timers, lines and shapes
  int dpi = 96;
  std::vector<std::pair<Font, HFONT>> fonts;  // at `dpi`
  // Running timers by interval: one system timer serves every timer of the
  // form with the same interval, firing them in declaration order, so two
  // 100 ms timers wake the process ten times a second, not twenty.
  std::map<int, std::vector<int>> timers;
  HWND focus = nullptr;  // restored when the window is activated again
  int pressed = -1;      // label under a left-button press, for its Click
};

FormWindow* FromForm(const Form& form) {
  return static_cast<FormWindow*>(form.native);
}
FormWindow* FromHwnd(HWND hwnd) {
  return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}
int IndexOf(HWND child) {
  return GetDlgCtrlID(child) - kFirstControlId;
}

COLORREF ColorRef(Color c, int default_system_color) {
  if (c == kDefaultColor) return GetSysColor(default_system_color);
  if (IsSystemColor(c)) return GetSysColor(SystemColorIndex(c));
  return c & 0xFFFFFFu;
}

bool FontInstalled(const std::wstring& face) {
  static std::map<std::wstring, bool> known;
  if (auto it = known.find(face); it != known.end()) return it->second;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(
      dc, &lf,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM p) -> int {
        *reinterpret_cast<bool*>(p) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return known[face] = found;
}

// The face drawn for a face that the forms name. "LCARS" is a tall,
// condensed display face that few machines have: in its place a condensed
// sans is drawn, squeezed to the same narrow proportions so that the
// countdown sentence keeps to its label. "MS Sans Serif" is a bitmap face
// that blurs when scaled; its TrueType successor keeps labels crisp.
struct FaceChoice {
  std::wstring face;
  bool squeeze = false;
};
FaceChoice ChooseFace(std::string_view named) {
  const std::wstring face = Widen(named);
  if (face == L"LCARS") {
    if (FontInstalled(face)) return {face};
    for (const wchar_t* f : {L"Bahnschrift Condensed", L"Arial Narrow", L"Liberation Sans Narrow"})
      if (FontInstalled(f)) return {f, true};
    return {L"Arial", true};
  }
  if (face == L"MS Sans Serif" && FontInstalled(L"Microsoft Sans Serif"))
    return {L"Microsoft Sans Serif"};
  return {face};
}

HFONT CreateFontAt(const Font& font, int dpi) {
  const FaceChoice choice = ChooseFace(font.face);
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(font.centipoints, dpi, 7200);
  if (choice.squeeze) lf.lfWidth = MulDiv(-lf.lfHeight, 19, 100);
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;  // the user's own font smoothing
  lstrcpynW(lf.lfFaceName, choice.face.c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

HFONT FontFor(FormWindow& fw, const Font& font) {
  for (auto& [f, h] : fw.fonts)
    if (f == font) return h;
  HFONT h = CreateFontAt(font, fw.dpi);
  fw.fonts.emplace_back(font, h);
  return h;
}

void DeleteFonts(std::vector<std::pair<Font, HFONT>>& fonts) {
  for (auto& [f, h] : fonts) DeleteObject(h);
  fonts.clear();
}

int Px(const FormWindow& fw, int twips) {
  return TwipsToPixels(twips, fw.dpi);
}

struct Styles {
  DWORD style, ex_style;
};
Styles StylesOf(const FormSpec& spec) {
  if (spec.border == BorderStyle::None)
    return {WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU, WS_EX_CONTROLPARENT};
  return {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
          WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};
}

RECT OuterRect(const FormWindow& fw) {
  const FormSpec& spec = fw.form->spec();
  const Styles s = StylesOf(spec);
  RECT rc{0, 0, Px(fw, spec.client_width), Px(fw, spec.client_height)};
  AdjustWindowRectExForDpi(&rc, s.style, FALSE, s.ex_style, fw.dpi);
  return rc;
}

// Background of a form and the lines and shapes drawn on it, in the form's
// client coordinates. Labels paint the same into their own buffers so that a
// transparent label shows exactly what lies behind it.
void PaintFormBackground(FormWindow& fw, HDC dc) {
  const FormSpec& spec = fw.form->spec();
  RECT rc{0, 0, Px(fw, spec.client_width), Px(fw, spec.client_height)};
  SetDCBrushColor(dc, ColorRef(spec.back, COLOR_BTNFACE));
  FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Whether a control's rectangle (for a line: the box around it), in twips,
// meets a rectangle given in twips.
bool Meets(const ControlSpec& s, const RECT& area) {
  const bool line = s.kind == ControlKind::Line;
  const int left = line ? std::min(s.left, s.width) : s.left;
  const int top = line ? std::min(s.top, s.height) : s.top;
  const int right = line ? std::max(s.left, s.width) : s.left + s.width;
  const int bottom = line ? std::max(s.top, s.height) : s.top + s.height;
  return left <= area.right && right >= area.left && top <= area.bottom && bottom >= area.top;
}

RECT TwipsRect(const ControlSpec& s) {
  return {s.left, s.top, s.left + s.width, s.top + s.height};
}

// The lines and shapes that meet `area` (twips, form coordinates).
void PaintGraphics(FormWindow& fw, HDC dc, const RECT& area) {
  for (const Control& c : fw.form->controls()) {
    const ControlSpec& s = c.spec();
    if (s.kind != ControlKind::Line && s.kind != ControlKind::Shape) continue;
    if (!c.Visible() || !Meets(s, area)) continue;
    const int width = std::max(1, MulDiv(s.line_width, fw.dpi, 96));
    HPEN pen = CreatePen(s.inside_solid ? PS_INSIDEFRAME : PS_SOLID, width,
                         ColorRef(s.fore, COLOR_WINDOWTEXT));
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    if (s.kind == ControlKind::Line) {
      MoveToEx(dc, Px(fw, s.left), Px(fw, s.top), nullptr);
      LineTo(dc, Px(fw, s.width), Px(fw, s.height));
    } else {
      ::Rectangle(dc, Px(fw, s.left), Px(fw, s.top), Px(fw, s.left + s.width),
                  Px(fw, s.top + s.height));
    }
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    DeleteObject(pen);
  }
}

// Paints through an off-screen bitmap, so that a tick never shows a
// half-drawn label. One device-independent bitmap serves every paint of the
// thread and only grows: a repaint allocates nothing and, under X11, needs
// no server-side pixmap.
struct PaintBuffer {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ original = nullptr;
  int width = 0, height = 0;

  HDC Get(int w, int h) {
    if (!dc) dc = CreateCompatibleDC(nullptr);
    if (w > width || h > height) {
      width = std::max(w, width);
      height = std::max(h, height);
      BITMAPINFO bi{};
      bi.bmiHeader.biSize = sizeof bi.bmiHeader;
      bi.bmiHeader.biWidth = width;
      bi.bmiHeader.biHeight = -height;
      bi.bmiHeader.biPlanes = 1;
      bi.bmiHeader.biBitCount = 32;
      void* bits = nullptr;
      HBITMAP grown = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
      HGDIOBJ previous = SelectObject(dc, grown);
      if (!original) original = previous;
      if (bitmap) DeleteObject(bitmap);
      bitmap = grown;
    }
    return dc;
  }
};

template <class Fn>
void Buffered(HWND hwnd, HDC target, Fn&& paint) {
  static PaintBuffer buffer;
  RECT rc;
  GetClientRect(hwnd, &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  HDC mem = buffer.Get(rc.right, rc.bottom);
  const int saved = SaveDC(mem);
  paint(mem, rc);
  RestoreDC(mem, saved);
  BitBlt(target, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
}

template <class Fn>
LRESULT OnPaint(HWND hwnd, Fn&& paint) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  Buffered(hwnd, dc, paint);
  EndPaint(hwnd, &ps);
  return 0;
}

void PaintForm(FormWindow& fw, HDC dc) {
  PaintFormBackground(fw, dc);
  const FormSpec& spec = fw.form->spec();
  PaintGraphics(fw, dc, {0, 0, spec.client_width, spec.client_height});
}

void PaintLabel(HWND hwnd, HDC dc, const RECT& rc) {
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw) return;
  const Control& c = fw->form->controls()[IndexOf(hwnd)];
  const ControlSpec& s = c.spec();
  HWND parent = GetParent(hwnd);
  POINT origin{0, 0};
  MapWindowPoints(hwnd, parent, &origin, 1);
  const bool on_form = parent == fw->hwnd;
  if (on_form) {
    SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    PaintFormBackground(*fw, dc);
    SetViewportOrgEx(dc, 0, 0, nullptr);
  } else {
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  }
  if (!s.transparent) {
    SetDCBrushColor(dc, ColorRef(s.back, COLOR_BTNFACE));
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorRef(s.fore, COLOR_BTNTEXT));
  HGDIOBJ old = SelectObject(dc, FontFor(*fw, s.font));
  const std::wstring text = Widen(c.Caption());
  RECT text_rc = rc;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_rc,
            DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  // Lines and shapes stand in front of labels: the window's outline and the
  // rule under the title strip stay whole.
  if (on_form) {
    SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    PaintGraphics(*fw, dc, TwipsRect(s));
    SetViewportOrgEx(dc, 0, 0, nullptr);
  }
}

void Dispatch(FormWindow& fw, int control, Event event) {
  fw.form->runtime().Dispatch(*fw.form, control, event);
}

// The painting messages of the toolkit's own control classes: no erase (the
// paint covers everything), buffered WM_PAINT, and WM_PRINTCLIENT for
// themed buttons and other callers that draw a control into their own DC.
using PaintFn = void (*)(HWND, HDC, const RECT&);
bool HandlePaint(HWND hwnd, UINT msg, WPARAM wp, PaintFn paint, LRESULT& result) {
  switch (msg) {
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT:
      result = OnPaint(hwnd, [&](HDC dc, const RECT& rc) { paint(hwnd, dc, rc); });
      return true;
    case WM_PRINTCLIENT: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      paint(hwnd, reinterpret_cast<HDC>(wp), rc);
      result = 0;
      return true;
    }
  }
  return false;
}

LRESULT CALLBACK LabelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT r = 0; HandlePaint(hwnd, msg, wp, PaintLabel, r)) return r;
  switch (msg) {
    case WM_GETFONT:
      if (FormWindow* fw = FromHwnd(hwnd))
        return reinterpret_cast<LRESULT>(
            FontFor(*fw, fw->form->spec().controls[IndexOf(hwnd)].font));
      return 0;
    case WM_SETFONT:  // a label keeps the font of its table row
      return 0;
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
      // Value labels in the developer area change every second but are
      // never seen: only labels in the visible area repaint.
      FormWindow* fw = FromHwnd(hwnd);
      const ControlSpec* s = fw ? &fw->form->spec().controls[IndexOf(hwnd)] : nullptr;
      const FormSpec* form = fw ? &fw->form->spec() : nullptr;
      if (!s || !s->container.empty() ||
          Meets(*s, {0, 0, form->client_width - 1, form->client_height - 1}))
        InvalidateRect(hwnd, nullptr, FALSE);
      return r;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      FormWindow* fw = FromHwnd(hwnd);
      if (!fw) break;
      // A press captures the mouse, as it would for any control; a handler
      // that starts a window drag releases it.
      SetCapture(hwnd);
      if (msg == WM_LBUTTONDOWN) fw->pressed = IndexOf(hwnd);
      Dispatch(*fw, IndexOf(hwnd), Event::MouseDown);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      FormWindow* fw = FromHwnd(hwnd);
      const bool clicked = fw && msg == WM_LBUTTONUP && fw->pressed == IndexOf(hwnd);
      if (GetCapture() == hwnd) ReleaseCapture();  // sends WM_CAPTURECHANGED
      if (!clicked) return 0;
      fw->pressed = -1;
      RECT rc;
      GetClientRect(hwnd, &rc);
      const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      if (PtInRect(&rc, pt)) Dispatch(*fw, IndexOf(hwnd), Event::Click);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (FormWindow* fw = FromHwnd(hwnd)) fw->pressed = -1;
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void PaintFrame(HWND, HDC dc, const RECT& rc) {
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  RECT edge = rc;
  DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT r = 0; HandlePaint(hwnd, msg, wp, PaintFrame, r)) return r;
  if (msg == WM_COMMAND)  // the buttons inside belong to the form
    return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void PaintPicture(HWND hwnd, HDC dc, const RECT& rc) {
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  RECT edge = rc;
  DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw) return;
  const ControlSpec& s = fw->form->spec().controls[IndexOf(hwnd)];
  const int size = MulDiv(32, fw->dpi, 96);
  HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(s.picture),
                                             IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  if (!icon) return;
  DrawIconEx(dc, edge.left, edge.top, icon, size, size, 0, nullptr, DI_NORMAL);
  DestroyIcon(icon);
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT r = 0; HandlePaint(hwnd, msg, wp, PaintPicture, r)) return r;
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// Focus order is window order: windowed controls are created by TabIndex.
HWND FirstFocus(FormWindow& fw) {
  HWND first = GetNextDlgTabItem(fw.hwnd, nullptr, FALSE);
  return first;
}

int ButtonFlagged(FormWindow& fw, bool ControlSpec::*flag) {
  for (const Control& c : fw.form->controls())
    if (c.spec().kind == ControlKind::CommandButton && c.spec().*flag) return c.index();
  return -1;
}

void Layout(FormWindow& fw) {
  for (const Control& c : fw.form->controls()) {
    HWND child = fw.controls[c.index()];
    if (!child) continue;
    const ControlSpec& s = c.spec();
    SetWindowPos(child, nullptr, Px(fw, s.left), Px(fw, s.top), Px(fw, s.width), Px(fw, s.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(fw, s.font)), FALSE);
  }
  InvalidateRect(fw.hwnd, nullptr, TRUE);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* fw = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    fw->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(fw));
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  FormWindow* fw = FromHwnd(hwnd);
  if (!fw) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      return OnPaint(hwnd, [&](HDC dc, const RECT&) { PaintForm(*fw, dc); });
    case WM_PRINTCLIENT:
      PaintForm(*fw, reinterpret_cast<HDC>(wp));
      return 0;
    case WM_TIMER: {
      const int interval = static_cast<int>(wp - kFirstTimerId);
      const auto group = fw->timers.find(interval);
      if (wp < kFirstTimerId || group == fw->timers.end()) return 0;
      const std::vector<int> due = group->second;  // a handler may change the group
      for (int control : due) {
        const auto now = fw->timers.find(interval);
        if (now == fw->timers.end() ||
            std::find(now->second.begin(), now->second.end(), control) == now->second.end())
          continue;
        Dispatch(*fw, control, Event::Timer);
        if (!IsWindow(hwnd)) return 0;  // the handler ended the program
      }
      return 0;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      int control = -1;
      if (lp && HIWORD(wp) == BN_CLICKED) {
        control = id - kFirstControlId;
      } else if (id == IDOK || id == IDCANCEL) {
        // Enter and Escape press the form's default and cancel buttons.
        control =
            ButtonFlagged(*fw, id == IDOK ? &ControlSpec::is_default : &ControlSpec::is_cancel);
        if (control >= 0 && !fw->form->controls()[control].Visible()) control = -1;
      }
      if (control >= 0) Dispatch(*fw, control, Event::Click);
      return 0;
    }
    case DM_GETDEFID: {
      const int control = ButtonFlagged(*fw, &ControlSpec::is_default);
      return control < 0 ? 0 : MAKELRESULT(kFirstControlId + control, DC_HASDEFID);
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) fw->focus = focus;
      } else {
        HWND target = fw->focus && IsWindow(fw->focus) && IsWindowVisible(fw->focus)
                          ? fw->focus
                          : FirstFocus(*fw);
        if (target) SetFocus(target);
      }
      return 0;
    case WM_CLOSE:
      fw->form->runtime().WindowClosed(*fw->form);
      return 0;
    case WM_DPICHANGED: {
      fw->dpi = HIWORD(wp);
      auto old = std::move(fw->fonts);
      fw->fonts.clear();
      const RECT* r = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      Layout(*fw);
      DeleteFonts(old);
      return 0;
    }
    case WM_NCDESTROY: {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      if (fw->form && fw->form->native == fw) fw->form->native = nullptr;
      DeleteFonts(fw->fonts);
      delete fw;
      return DefWindowProcW(hwnd, msg, wp, lp);
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);

  wc.lpfnWndProc = FormProc;
  wc.lpszClassName = kFormClass;
  wc.hIcon =
      static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  wc.hIconSm = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  RegisterClassExW(&wc);
  wc.hIcon = wc.hIconSm = nullptr;

  wc.lpfnWndProc = LabelProc;
  wc.lpszClassName = kLabelClass;
  RegisterClassExW(&wc);
  wc.lpfnWndProc = FrameProc;
  wc.lpszClassName = kFrameClass;
  RegisterClassExW(&wc);
  wc.lpfnWndProc = PictureProc;
  wc.lpszClassName = kPictureClass;
  RegisterClassExW(&wc);
}

HWND CreateControl(FormWindow& fw, const Control& c, HWND parent) {
  const ControlSpec& s = c.spec();
  const wchar_t* cls = nullptr;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (c.Visible() ? WS_VISIBLE : 0);
  DWORD ex_style = 0;
  switch (s.kind) {
    case ControlKind::Label:
      cls = kLabelClass;
      break;
    case ControlKind::CommandButton:
      cls = L"BUTTON";
      style |= WS_TABSTOP | (s.is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case ControlKind::Frame:
      cls = kFrameClass;
      style |= WS_CLIPCHILDREN;
      ex_style |= WS_EX_CONTROLPARENT;
      break;
    case ControlKind::PictureBox:
      cls = kPictureClass;
      break;
    default:
      return nullptr;
  }
  HWND hwnd =
      CreateWindowExW(ex_style, cls, Widen(c.Caption()).c_str(), style, Px(fw, s.left),
                      Px(fw, s.top), Px(fw, s.width), Px(fw, s.height), parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + c.index())),
                      GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) throw RuntimeError(7, "Out of memory");
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&fw));
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(fw, s.font)), FALSE);
  return hwnd;
}

// Window order is both the focus order and the drawing order (the first
// child in front): windowed controls first, by TabIndex, then the labels in
// declaration order, so buttons stand in front of labels and "DISCLAIMER:"
// in front of the disclaimer it shares a line with.
std::vector<int> CreationOrder(const Form& form, std::string_view container) {
  std::vector<int> order;
  const auto& controls = form.spec().controls;
  for (int i = 0; i < static_cast<int>(controls.size()); ++i)
    if (controls[i].container == container) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const ControlSpec &x = controls[a], &y = controls[b];
    if (x.IsWindowed() != y.IsWindowed()) return x.IsWindowed();
    return x.IsWindowed() && x.tab_index < y.tab_index;
  });
  return order;
}

void CreateChildren(FormWindow& fw, HWND parent, std::string_view container) {
  auto& controls = fw.form->controls();
  for (int i : CreationOrder(*fw.form, container)) {
    fw.controls[i] = CreateControl(fw, controls[i], parent);
    if (controls[i].spec().kind == ControlKind::Frame && fw.controls[i])
      CreateChildren(fw, fw.controls[i], controls[i].name());
  }
}

}  // namespace

std::wstring Widen(std::string_view text) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// shell32 and advapi32 are bound by name at their first call, as the
// program's native calls are: a countdown that nobody asks for a web page or
// the system-information tool never loads them, and starts faster and
// smaller for it.
template <class Fn>
Fn Bind(const wchar_t* library, const char* function) {
  HMODULE module = LoadLibraryW(library);
  FARPROC proc = module ? GetProcAddress(module, function) : nullptr;
  if (!proc) throw RuntimeError(453, "Can't find DLL entry point " + std::string(function));
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

long Win32Registry::RegOpenKeyExA(RegKey root, const char* sub_key, std::uint32_t options,
                                  std::uint32_t sam, RegKey* result) {
  HKEY key = nullptr;
  static const auto open = Bind<decltype(&::RegOpenKeyExA)>(L"advapi32.dll", "RegOpenKeyExA");
  const long r = open(reinterpret_cast<HKEY>(root), sub_key, options, sam, &key);
  if (r == ERROR_SUCCESS) *result = reinterpret_cast<RegKey>(key);
  return r;
}

long Win32Registry::RegQueryValueExA(RegKey key, const char* value_name, std::uint32_t* reserved,
                                     std::uint32_t* type, unsigned char* data,
                                     std::uint32_t* byte_count) {
  DWORD t = 0, n = *byte_count;
  static const auto query =
      Bind<decltype(&::RegQueryValueExA)>(L"advapi32.dll", "RegQueryValueExA");
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

Win32Toolkit::Win32Toolkit() : Win32Toolkit(Options{}) {}
Win32Toolkit::Win32Toolkit(Options options) : options_(std::move(options)) {
  RegisterClasses();
}

Win32Toolkit::~Win32Toolkit() = default;

HWND Win32Toolkit::WindowOf(const Form& form) {
  const FormWindow* fw = FromForm(form);
  return fw ? fw->hwnd : nullptr;
}

HWND Win32Toolkit::ControlWindow(const Form& form, int control) {
  const FormWindow* fw = FromForm(form);
  return fw && control >= 0 ? fw->controls[control] : nullptr;
}

int Win32Toolkit::DpiOf(const Form& form) {
  const FormWindow* fw = FromForm(form);
  return fw ? fw->dpi : 0;
}

void Win32Toolkit::CreateWindowFor(Form& form) {
  auto fw = std::make_unique<FormWindow>();
  fw->form = &form;
  fw->controls.assign(form.controls().size(), nullptr);
  fw->dpi = static_cast<int>(GetDpiForSystem());
  const FormSpec& spec = form.spec();
  const Styles s = StylesOf(spec);
  // Created as an ordinary overlapped window so that the system chooses its
  // default place; a borderless form then drops its frame.
  const bool default_place = spec.start == StartPosition::WindowsDefault;
  const RECT outer = OuterRect(*fw);
  HWND hwnd = CreateWindowExW(
      s.ex_style, kFormClass, Widen(form.Caption()).c_str(),
      default_place ? (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN) : s.style,
      default_place ? CW_USEDEFAULT : 0, default_place ? CW_USEDEFAULT : 0,
      outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
      GetModuleHandleW(nullptr), fw.get());
  if (!hwnd) throw RuntimeError(7, "Out of memory");
  FormWindow* w = fw.release();  // owned by the window from here on
  form.native = w;
  if (default_place) SetWindowLongPtrW(hwnd, GWL_STYLE, s.style);
  w->dpi = static_cast<int>(GetDpiForWindow(hwnd));
  const RECT rc = OuterRect(*w);
  if (default_place) {
    SetWindowPos(hwnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  } else {
    SetWindowPos(hwnd, nullptr, Px(*w, spec.start_left) + rc.left, Px(*w, spec.start_top) + rc.top,
                 rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  CreateChildren(*w, hwnd, {});
}

void Win32Toolkit::ShowWindowFor(Form& form) {
  FormWindow* fw = FromForm(form);
  if (!fw) return;
  ShowWindow(fw->hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(fw->hwnd);
  if (!fw->focus) {
    fw->focus = FirstFocus(*fw);
    if (fw->focus && GetForegroundWindow() == fw->hwnd) SetFocus(fw->focus);
  }
  UpdateWindow(fw->hwnd);
}

void Win32Toolkit::DestroyWindowFor(Form& form) {
  FormWindow* fw = FromForm(form);
  if (!fw) return;
  form.native = nullptr;
  fw->form = &form;
  DestroyWindow(fw->hwnd);
}

void Win32Toolkit::SetText(Form& form, int control, std::string_view text) {
  FormWindow* fw = FromForm(form);
  if (!fw) return;
  HWND target = control < 0 ? fw->hwnd : fw->controls[control];
  if (target) SetWindowTextW(target, Widen(text).c_str());
}

void Win32Toolkit::SetVisible(Form& form, int control, bool visible) {
  FormWindow* fw = FromForm(form);
  if (!fw || control < 0) return;
  if (HWND child = fw->controls[control]) {
    HWND focus = GetFocus();
    const bool had_focus = !visible && focus && (focus == child || IsChild(child, focus));
    ShowWindow(child, visible ? SW_SHOWNA : SW_HIDE);
    if (had_focus) {
      fw->focus = FirstFocus(*fw);
      if (fw->focus) SetFocus(fw->focus);
    }
  } else {
    InvalidateRect(fw->hwnd, nullptr, FALSE);  // a line or shape
  }
}

void Win32Toolkit::SetTimer(Form& form, int control, int interval_ms, bool enabled) {
  FormWindow* fw = FromForm(form);
  if (!fw) return;
  for (auto it = fw->timers.begin(); it != fw->timers.end();) {
    std::erase(it->second, control);
    if (it->second.empty()) {
      KillTimer(fw->hwnd, kFirstTimerId + it->first);
      it = fw->timers.erase(it);
    } else {
      ++it;
    }
  }
  if (!enabled || interval_ms <= 0) return;
  auto& group = fw->timers[interval_ms];
  if (group.empty())
    ::SetTimer(fw->hwnd, kFirstTimerId + interval_ms, static_cast<UINT>(interval_ms), nullptr);
  group.insert(std::upper_bound(group.begin(), group.end(), control), control);
}

void Win32Toolkit::DragWindow(Form& form) {
  if (options_.record_only) {
    drags.emplace_back(form.spec().name);
    ReleaseCapture();
    return;
  }
  ReleaseCapture();
  SendMessageA(WindowOf(form), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

int Win32Toolkit::ShowMessageBox(Form* owner, std::string_view text, std::string_view title,
                                 int style) {
  if (options_.record_only) boxes.push_back({std::string(text), std::string(title), style});
  return MessageBoxW(owner ? WindowOf(*owner) : nullptr, Widen(text).c_str(), Widen(title).c_str(),
                     static_cast<UINT>(style));
}

LocalTime Win32Toolkit::Now() {
  if (options_.clock) return options_.clock();
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

void Win32Toolkit::OpenAddress(std::string_view address) {
  if (options_.record_only) {
    addresses.emplace_back(address);
    return;
  }
  const std::string a(address);
  static const auto shell_execute =
      Bind<decltype(&::ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
  shell_execute(nullptr, "open", a.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The path is the program to run, never a command line to be parsed: with
// "C:\Program Files\..." nothing else, such as "C:\Program.exe", can start.
bool Win32Toolkit::StartProgram(std::string_view path) {
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

bool Win32Toolkit::IsOrdinaryFile(std::string_view path) {
  const std::string p(path);
  const DWORD attributes = GetFileAttributesA(p.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

void Win32Toolkit::Quit() {
  if (quit_) return;
  quit_ = true;
  PostQuitMessage(0);
}

namespace {
// Tab, Enter, Escape, the space bar and access keys work in every form as in
// a dialog box. Only keyboard messages need that; the ten timer messages a
// second go straight to their window.
bool PreTranslate(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (!root) return false;
  wchar_t cls[16];
  if (!GetClassNameW(root, cls, 16) || lstrcmpW(cls, kFormClass) != 0) return false;
  return IsDialogMessageW(root, &msg) != FALSE;
}
}  // namespace

int Win32Toolkit::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

void Win32Toolkit::Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace qvl
