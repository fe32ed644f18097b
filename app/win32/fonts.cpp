#include "app/win32/fonts.h"

#include <map>
#include <string>

#include "app/font_choice.h"
#include "app/geometry.h"
#include "app/win32/gdi_canvas.h"

namespace qvl {

namespace {

bool FaceInstalledOnSystem(std::string_view face) {
  static std::map<std::string, bool, std::less<>> known;
  if (auto it = known.find(face); it != known.end()) return it->second;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, Widen(face).c_str(), LF_FACESIZE);
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
  return known[std::string(face)] = found;
}

HFONT Create(const Font& font, const FaceChoice& choice, const FaceSize& size) {
  LOGFONTW lf{};
  lf.lfHeight = -size.em;
  lf.lfWidth = size.average_width;  // 0: the face's own width
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;  // the user's own font smoothing
  lstrcpynW(lf.lfFaceName, Widen(choice.face).c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

}  // namespace

// No stand-in is measured: Windows names its faces, and the choice knows
// their proportions.
Win32Fonts::Win32Fonts() : cache_(FaceInstalledOnSystem, {}, Create) {}

void Win32Fonts::Clear() {
  auto& entries = cache_.entries();
  if (entries.empty()) return;
  ReleasePaintBufferFont();  // a selected font cannot be deleted
  for (const auto& e : entries) DeleteObject(e.handle);
  entries.clear();
}

}  // namespace qvl
