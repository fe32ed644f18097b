// What colour a form's table asks for, by what the colour paints: a fixed
// red-green-blue value, or one of the desktop's system colours, which each
// toolkit looks up in its own colour scheme.
#pragma once

#include <cstdint>

#include "app/form_spec.h"

namespace qvl {

// System colour indices the forms reach (the Windows numbering).
enum SystemColor : int {
  kSysActiveCaption = 2,
  kSysWindowText = 8,
  kSysCaptionText = 9,
  kSysActiveBorder = 10,
  kSysButtonFace = 15,
  kSysButtonShadow = 16,
  kSysButtonText = 18,
  kSysButtonHighlight = 20,
  kSysDarkShadow = 21,
  kSysLight = 22,
};

// What a colour paints; it decides the colour a table leaves to the default.
// Frames and picture boxes are filled with the face of buttons.
enum class ColorRole { FormBack, LabelBack, Text, Line, ControlFace };

struct PaintColor {
  bool system = false;
  std::uint32_t value = 0;  // system colour index, or 0x00BBGGRR
  friend constexpr bool operator==(const PaintColor&, const PaintColor&) = default;
};

constexpr PaintColor SystemPaint(int index) {
  return {true, static_cast<std::uint32_t>(index)};
}

constexpr PaintColor Resolve(Color c, ColorRole role) {
  if (c == kDefaultColor) {
    switch (role) {
      case ColorRole::FormBack:
      case ColorRole::LabelBack:
      case ColorRole::ControlFace:
        return SystemPaint(kSysButtonFace);
      case ColorRole::Text:
        return SystemPaint(kSysButtonText);
      case ColorRole::Line:
        return SystemPaint(kSysWindowText);
    }
  }
  if (IsSystemColor(c)) return SystemPaint(SystemColorIndex(c));
  return {false, c & 0xFFFFFFu};
}

constexpr std::uint8_t Red(std::uint32_t bgr) {
  return bgr & 0xFF;
}
constexpr std::uint8_t Green(std::uint32_t bgr) {
  return (bgr >> 8) & 0xFF;
}
constexpr std::uint8_t Blue(std::uint32_t bgr) {
  return (bgr >> 16) & 0xFF;
}

}  // namespace qvl
