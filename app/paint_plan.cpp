#include "app/paint_plan.h"

#include <algorithm>

#include "app/form.h"

namespace qvl {

namespace {

// Lines and shapes, in front of every label.
void AddGraphics(const Form& form, int dpi, const PixelRect& area, std::vector<Primitive>& out) {
  const auto& controls = form.controls();
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    const ControlSpec& s = it->spec();
    if ((s.kind != ControlKind::Line && s.kind != ControlKind::Shape) || !s.container.empty() ||
        !it->Visible() || !PaintBox(s, dpi).Meets(area))
      continue;
    Primitive p;
    p.kind = s.kind == ControlKind::Line ? Primitive::Kind::Line : Primitive::Kind::Outline;
    p.box = Bounds(s, dpi);
    p.color = Resolve(s.fore, ColorRole::Line);
    p.pen = PenWidth(s.line_width, dpi);
    out.push_back(p);
  }
}

}  // namespace

PixelRect LineBand(const PixelRect& e, int pen) {
  if (e.top == e.bottom)
    return {std::min(e.left, e.right), e.top, std::max(e.left, e.right), e.top + pen};
  return {e.left, std::min(e.top, e.bottom), e.left + pen, std::max(e.top, e.bottom)};
}

std::vector<PixelRect> OutlineBands(const PixelRect& b, int pen) {
  return {{b.left, b.top, b.right, b.top + pen},
          {b.left, b.bottom - pen, b.right, b.bottom},
          {b.left, b.top + pen, b.left + pen, b.bottom - pen},
          {b.right - pen, b.top + pen, b.right, b.bottom - pen}};
}

void Canvas::Draw(const Primitive& p) {
  switch (p.kind) {
    case Primitive::Kind::Fill:
      Fill(p.box, p.color);
      break;
    case Primitive::Kind::Line:
      if (p.box.left == p.box.right || p.box.top == p.box.bottom) {
        Fill(LineBand(p.box, p.pen), p.color);
      } else {
        SlantedLine({p.box.left, p.box.top}, {p.box.right, p.box.bottom}, p.pen, p.color);
      }
      break;
    case Primitive::Kind::Outline:
      for (const PixelRect& band : OutlineBands(p.box, p.pen)) Fill(band, p.color);
      break;
    case Primitive::Kind::Text:
      Text(p.box, p.text, p.font, p.font_px, p.color, p.flags);
      break;
    case Primitive::Kind::Picture:
      Picture(p.box, p.picture);
      break;
  }
}

void BuildPlan(const Form& form, int dpi, const PixelRect& area, std::vector<Primitive>& out,
               PlanLayers layers) {
  out.clear();
  const auto& controls = form.controls();
  if (layers == PlanLayers::InFrontOfText) {
    AddGraphics(form, dpi, area, out);
    return;
  }
  Primitive background;
  background.box = area;
  background.color = Resolve(form.spec().back, ColorRole::FormBack);
  out.push_back(background);
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    const ControlSpec& s = it->spec();
    if (s.kind != ControlKind::Label || !s.container.empty() || !it->Visible() ||
        !PaintBox(s, dpi).Meets(area))
      continue;
    Primitive p;
    p.box = Bounds(s, dpi);
    if (!s.transparent) {
      p.color = Resolve(s.back, ColorRole::LabelBack);
      out.push_back(p);
    }
    if (layers == PlanLayers::BehindText) continue;
    p.kind = Primitive::Kind::Text;
    p.color = Resolve(s.fore, ColorRole::Text);
    p.text = it->Caption();
    p.font = s.font;
    p.font_px = FontPixelHeight(s.font.centipoints, dpi);
    p.flags = kWordBreak | kNoPrefix;
    out.push_back(p);
  }
  if (layers == PlanLayers::All) AddGraphics(form, dpi, area, out);
}

namespace {
// The parts of `r` outside `cut`: up to four rectangles.
void Subtract(const PixelRect& r, const PixelRect& cut, std::vector<PixelRect>& out) {
  if (!r.Meets(cut)) return out.push_back(r);
  if (r.top < cut.top) out.push_back({r.left, r.top, r.right, cut.top});
  if (cut.bottom < r.bottom) out.push_back({r.left, cut.bottom, r.right, r.bottom});
  const int top = std::max(r.top, cut.top), bottom = std::min(r.bottom, cut.bottom);
  if (r.left < cut.left) out.push_back({r.left, top, cut.left, bottom});
  if (cut.right < r.right) out.push_back({cut.right, top, r.right, bottom});
}

}  // namespace

// Rectangles that do not overlap, so that a clip can cut each out once.
std::vector<PixelRect> CoveredParts(const Form& form, int control, int dpi) {
  std::vector<PixelRect> out;
  const auto& controls = form.controls();
  const PixelRect box = Bounds(controls[control].spec(), dpi);
  for (int i = 0; i < control; ++i) {
    const ControlSpec& s = controls[i].spec();
    if (s.kind != ControlKind::Label || s.transparent || !s.container.empty() ||
        !controls[i].Visible() || !Bounds(s, dpi).Meets(box))
      continue;
    const PixelRect b = Bounds(s, dpi);
    std::vector<PixelRect> pieces{
        {std::max(b.left, box.left) - box.left, std::max(b.top, box.top) - box.top,
         std::min(b.right, box.right) - box.left, std::min(b.bottom, box.bottom) - box.top}};
    for (const PixelRect& old : out) {
      std::vector<PixelRect> rest;
      for (const PixelRect& piece : pieces) Subtract(piece, old, rest);
      pieces = std::move(rest);
    }
    out.insert(out.end(), pieces.begin(), pieces.end());
  }
  return out;
}

PixelRect RepaintArea(const ControlSpec& s, int dpi) {
  if (s.kind != ControlKind::Line && s.kind != ControlKind::Shape) return {};
  return PaintBox(s, dpi);
}

int ChromeWidth(int dpi) {
  return PenWidth(2, dpi);
}

PixelRect PictureArea(int dpi) {
  const int edge = ChromeWidth(dpi), size = MulDivRound(32, dpi, 96);
  return {edge, edge, edge + size, edge + size};
}

namespace {

void Fill(std::vector<Primitive>& out, const PixelRect& box, PaintColor color) {
  Primitive p;
  p.box = box;
  p.color = color;
  out.push_back(p);
}

// One ring of an edge: its top and left in one colour, its bottom and right,
// which own the corners they share, in the other.
void Ring(std::vector<Primitive>& out, const PixelRect& b, int w, int top_left, int bottom_right) {
  Fill(out, {b.left, b.top, b.right - w, b.top + w}, SystemPaint(top_left));
  Fill(out, {b.left, b.top + w, b.left + w, b.bottom - w}, SystemPaint(top_left));
  Fill(out, {b.left, b.bottom - w, b.right, b.bottom}, SystemPaint(bottom_right));
  Fill(out, {b.right - w, b.top, b.right, b.bottom - w}, SystemPaint(bottom_right));
}

}  // namespace

void BuildChromePlan(const ControlSpec& s, int dpi, std::vector<Primitive>& out) {
  out.clear();
  const PixelRect b = Bounds(s, dpi);
  const PixelRect box{0, 0, b.width(), b.height()};
  Fill(out, box, Resolve(kDefaultColor, ColorRole::ControlFace));
  const int edge = ChromeWidth(dpi), outer = edge / 2, inner = edge - outer;
  const PixelRect in{box.left + outer, box.top + outer, box.right - outer, box.bottom - outer};
  if (s.kind == ControlKind::PictureBox) {
    Primitive p;
    p.kind = Primitive::Kind::Picture;
    p.box = PictureArea(dpi);
    p.picture = s.picture;
    out.push_back(p);
    Ring(out, box, outer, kSysButtonShadow, kSysButtonHighlight);
    Ring(out, in, inner, kSysDarkShadow, kSysLight);
  } else {
    Ring(out, box, outer, kSysButtonShadow, kSysButtonHighlight);
    Ring(out, in, inner, kSysButtonHighlight, kSysButtonShadow);
  }
}

}  // namespace qvl
