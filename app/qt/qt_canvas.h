// The paint plan drawn with QPainter, in logical pixels (twips / 15); Qt
// scales them by the screen's device-pixel ratio.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <vector>

#include "app/font_choice.h"
#include "app/paint_plan.h"

namespace qvl {

// The system colour a form names, from the application's palette.
QColor QtColor(PaintColor color);

// Fonts by the shared font choice, made once per face, size and weight.
class QtFonts {
 public:
  QtFonts();
  QFont Get(const Font& font, int pixels) { return cache_.Get(font, pixels).handle; }
  // Where text in that font lies in its label (the shared font choice).
  const FaceSize& Size(const Font& font, int pixels) { return cache_.Get(font, pixels).size; }

 private:
  FontCache<QFont> cache_;
};

class QtCanvas : public Canvas {
 public:
  QtCanvas(QPainter& painter, QtFonts& fonts) : painter_(painter), fonts_(fonts) {}
  void Fill(const PixelRect& r, PaintColor color) override;
  void Text(const PixelRect& box, std::string_view text, const Font& font, int font_px,
            PaintColor color, unsigned flags) override;
  void SlantedLine(PixelPoint from, PixelPoint to, int pen, PaintColor color) override;
  void Picture(const PixelRect& box, int picture) override;

 private:
  QPainter& painter_;
  QtFonts& fonts_;
};

}  // namespace qvl
