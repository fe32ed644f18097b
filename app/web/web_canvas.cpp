#include "app/web/web_canvas.h"

#include <cstdio>

#include "app/colors.h"
#include "app/resources.h"
#include "app/web/page.h"

namespace qvl {

namespace {

// The page's scheme: the light scheme the Linux build shows (Qt's own), by
// the same roles as QtColor. Also the inactive title bar, for the frames the
// page draws around dialogs.
constexpr int kSysInactiveCaption = 3, kSysInactiveCaptionText = 19;
struct SchemeEntry {
  int index;
  unsigned rgb;
};
constexpr SchemeEntry kScheme[] = {
    {kSysActiveCaption, 0x308CC6},       {kSysInactiveCaption, 0xDADADA},
    {kSysWindowText, 0x000000},          {kSysCaptionText, 0xFFFFFF},
    {kSysActiveBorder, 0xCACACA},        {kSysButtonFace, 0xEFEFEF},
    {kSysButtonShadow, 0x9F9F9F},        {kSysButtonText, 0x000000},
    {kSysInactiveCaptionText, 0x3C3C3C}, {kSysButtonHighlight, 0xFFFFFF},
    {kSysDarkShadow, 0x767676},          {kSysLight, 0xCACACA},
};
constexpr unsigned kSchemeWindow = 0xEFEFEF;  // any other index

// The faces the page carries (its stylesheet loads them before the program
// starts): the only ones "installed" for the shared font choice. Their
// average character widths, per em, come from the font files.
struct CarriedFace {
  const char* family;
  bool bold;
  double average_per_em;
};
constexpr CarriedFace kCarried[] = {
#include "web_faces.inc"
};

const CarriedFace* Carried(std::string_view family, bool bold) {
  const CarriedFace* found = nullptr;
  for (const CarriedFace& f : kCarried)
    if (family == f.family && (!found || f.bold == bold)) found = &f;
  return found;
}

const char* PictureFile(int picture) {
  return picture == kAboutPicture ? "about.png" : "";
}

}  // namespace

unsigned WebRgb(PaintColor color) {
  if (!color.system)
    return (Red(color.value) << 16) | (Green(color.value) << 8) | Blue(color.value);
  for (const SchemeEntry& e : kScheme)
    if (e.index == static_cast<int>(color.value)) return e.rgb;
  return kSchemeWindow;
}

std::string WebCss(PaintColor color) {
  char css[24];
  if (color.system) {
    for (const SchemeEntry& e : kScheme)
      if (e.index == static_cast<int>(color.value)) {
        std::snprintf(css, sizeof css, "var(--sys-%d)", e.index);
        return css;
      }
  }
  std::snprintf(css, sizeof css, "#%06x", WebRgb(color));
  return css;
}

void SetSystemColors() {
  for (const SchemeEntry& e : kScheme) page::SetSystemColor(e.index, e.rgb);
}

WebFace FaceOf(const Font& font, int dpi) {
  const FaceChoice choice =
      ChooseFace(font.face, [](std::string_view face) { return Carried(face, false) != nullptr; });
  const FaceSize size = SizeOf(choice, FontPixelHeight(font.centipoints, dpi));
  double scale = 1;
  if (size.average_width > 0) {
    // Squeezed to that average character width, as Windows squeezes a face
    // asked for a width: the whole line scaled by the ratio of the widths.
    const CarriedFace* carried = Carried(choice.face, font.bold);
    if (carried) scale = size.average_width / (carried->average_per_em * size.em);
  }
  return {choice.face, font.bold, size, scale};
}

void WebCanvas::Fill(const PixelRect& r, PaintColor color) {
  page::Fill(window_, control_, r.left, r.top, r.right, r.bottom, WebRgb(color));
}

void WebCanvas::SlantedLine(PixelPoint from, PixelPoint to, int pen, PaintColor color) {
  page::Line(window_, control_, from.x, from.y, to.x, to.y, pen, WebRgb(color));
}

void WebCanvas::Picture(const PixelRect& box, int picture) {
  page::Picture(window_, control_, box.left, box.top, box.right, box.bottom, PictureFile(picture));
}

}  // namespace qvl
