#include "app/qt/qt_canvas.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "app/colors.h"
#include "app/font_choice.h"
#include "app/qt/icons.h"
#include "app/qt/qstring.h"

namespace qvl {

QColor QtColor(PaintColor color) {
  if (!color.system) return QColor(Red(color.value), Green(color.value), Blue(color.value));
  const QPalette palette = QGuiApplication::palette();
  switch (color.value) {
    case kSysActiveCaption:
      return palette.color(QPalette::Active, QPalette::Highlight);
    case kSysCaptionText:
      return palette.color(QPalette::Active, QPalette::HighlightedText);
    case kSysActiveBorder:
      return palette.color(QPalette::Midlight);
    case kSysButtonFace:
      return palette.color(QPalette::Button);
    case kSysButtonText:
      return palette.color(QPalette::ButtonText);
    case kSysButtonShadow:
      return palette.color(QPalette::Dark);
    case kSysButtonHighlight:
      return palette.color(QPalette::Light);
    case kSysDarkShadow:
      return palette.color(QPalette::Shadow);
    case kSysLight:
      return palette.color(QPalette::Midlight);
    case kSysWindowText:
      return palette.color(QPalette::WindowText);
    default:
      return palette.color(QPalette::Window);
  }
}

namespace {

// A face as Qt draws it for a name, at an em of a thousand pixels.
FaceMetrics Measure(std::string_view face, bool bold) {
  QFont f(ToQString(face));
  f.setPixelSize(1000);
  f.setBold(bold);
  const QFontMetricsF m(f);
  const QString sample = ToQString(kWidthSample);
  return {static_cast<int>(std::lround(m.horizontalAdvance(sample) / sample.size())),
          static_cast<int>(std::lround(m.averageCharWidth())),
          static_cast<int>(std::lround(m.ascent())),
          static_cast<int>(std::lround(-m.tightBoundingRect(sample).top()))};
}

// Squeezed to the chosen average character width, as on Windows. Qt counts
// a stretch against the face's own width class (a narrow face is already
// narrowed), so it is set, measured and then corrected once: the width
// follows the stretch in proportion.
QFont Make(const Font& font, const FaceChoice& choice, const FaceSize& size) {
  QFont q(QString::fromStdString(choice.face));
  q.setPixelSize(size.em);
  q.setBold(font.bold);
  if (size.average_width > 0) {
    const double wanted = size.average_width;
    double stretch = 100 * wanted / QFontMetricsF(q).averageCharWidth();
    for (int pass = 0; pass < 2; ++pass) {
      q.setStretch(std::clamp(static_cast<int>(std::lround(stretch)), 1, 4000));
      if (pass == 0) stretch *= wanted / QFontMetricsF(q).averageCharWidth();
    }
  }
  return q;
}

}  // namespace

QtFonts::QtFonts()
    : cache_([](std::string_view face) { return QFontDatabase::hasFamily(ToQString(face)); },
             Measure, Make) {}

void QtCanvas::Fill(const PixelRect& r, PaintColor color) {
  painter_.fillRect(QRect(r.left, r.top, r.width(), r.height()), QtColor(color));
}

void QtCanvas::Text(const PixelRect& box, std::string_view text, const Font& font, int font_px,
                    PaintColor color, unsigned flags) {
  painter_.setFont(fonts_.Get(font, font_px));
  painter_.setPen(QtColor(color));
  int align = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip;
  if (flags & kWordBreak) align |= Qt::TextWordWrap;
  const QRect label(box.left, box.top, box.width(), box.height());
  painter_.save();
  if (!(flags & kNoClip)) painter_.setClipRect(label, Qt::IntersectClip);
  const PixelRect at = TextBox(box, fonts_.Size(font, font_px));
  painter_.drawText(QRect(at.left, at.top, at.width(), at.height()), align, ToQString(text));
  painter_.restore();
}

void QtCanvas::Picture(const PixelRect& box, int picture) {
  painter_.drawPixmap(QRect(box.left, box.top, box.width(), box.height()),
                      qvl::Picture(picture, box.width()));
}

void QtCanvas::SlantedLine(PixelPoint from, PixelPoint to, int pen, PaintColor color) {
  painter_.setPen(QPen(QtColor(color), pen));
  painter_.drawLine(from.x, from.y, to.x, to.y);
}

}  // namespace qvl
