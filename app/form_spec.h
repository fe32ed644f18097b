// Design-time description of a form: a fixed table of named controls. The
// tables are constant data; both toolkits build their windows from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace qvl {

using Twips = int;  // 1/1440 inch: 15 to a screen dot at 96 DPI

// A colour with the top bit set names system colour n (0x80000000 + n);
// any other value is 0x00BBGGRR.
using Color = std::uint32_t;
constexpr bool IsSystemColor(Color c) {
  return (c & 0x80000000u) != 0;
}
constexpr int SystemColorIndex(Color c) {
  return static_cast<int>(c & 0xFFu);
}
constexpr Color kDefaultColor = 0xFFFFFFFFu;  // the toolkit's default for the kind
constexpr Color kBlack = 0x00000000u;
constexpr Color kWhite = 0x00FFFFFFu;
constexpr Color kRed = 0x000000FFu;
constexpr Color kGrey = 0x00808080u;
constexpr Color kActiveTitle = 0x80000002u;
constexpr Color kTitleText = 0x80000009u;
constexpr Color kActiveBorder = 0x8000000Au;
constexpr Color kButtonFace = 0x8000000Fu;

struct Font {
  std::string_view face;
  int centipoints;  // 8.25 pt is 825
  bool bold;
  friend constexpr bool operator==(const Font&, const Font&) = default;
};
constexpr Font kDefaultFont{"MS Sans Serif", 825, false};

enum class ControlKind { Label, CommandButton, Frame, Timer, Shape, Line, PictureBox };

// Events that handlers can be written for.
enum class Event { Click, Timer, Load, MouseDown };

struct ControlSpec {
  std::string_view name;
  ControlKind kind;
  std::string_view caption;
  // Left, Top, Width, Height; for a line its end points (X1, Y1, X2, Y2).
  Twips left = 0, top = 0, width = 0, height = 0;
  int tab_index = -1;               // -1: the kind has no place in the tab order
  std::string_view container = {};  // empty: the form itself
  Font font = kDefaultFont;
  Color fore = kDefaultColor;  // text, line or outline colour
  Color back = kDefaultColor;
  bool transparent = false;  // the container shows through behind the text
  bool visible = true;
  int interval = 0;     // timer, in ms
  bool enabled = true;  // timer
  int line_width = 1;   // lines and outlines, in screen dots
  bool inside_solid = false;
  int array_index = -1;                        // member of a control array
  bool is_default = false, is_cancel = false;  // command buttons
  int picture = 0;                             // picture box: icon resource

  // Modifiers, so that a table row reads like a line of the form's design.
  template <class T>
  constexpr ControlSpec With(T ControlSpec::*field, T value) const {
    ControlSpec s = *this;
    s.*field = value;
    return s;
  }
  constexpr ControlSpec In(std::string_view c) const { return With(&ControlSpec::container, c); }
  constexpr ControlSpec WithFont(Font f) const { return With(&ControlSpec::font, f); }
  constexpr ControlSpec Fore(Color c) const { return With(&ControlSpec::fore, c); }
  constexpr ControlSpec Back(Color c) const { return With(&ControlSpec::back, c); }
  constexpr ControlSpec Transparent() const { return With(&ControlSpec::transparent, true); }
  constexpr ControlSpec Width(int w) const { return With(&ControlSpec::line_width, w); }
  constexpr ControlSpec InsideSolid() const { return With(&ControlSpec::inside_solid, true); }
  constexpr ControlSpec Member(int i) const { return With(&ControlSpec::array_index, i); }
  constexpr ControlSpec Default() const { return With(&ControlSpec::is_default, true); }
  constexpr ControlSpec Cancel() const { return With(&ControlSpec::is_cancel, true); }
  constexpr ControlSpec Picture(int id) const { return With(&ControlSpec::picture, id); }

  constexpr bool CanTakeFocus() const { return kind == ControlKind::CommandButton; }
  // Windowed controls stand in front of labels, lines and shapes.
  constexpr bool IsWindowed() const {
    return kind == ControlKind::CommandButton || kind == ControlKind::Frame ||
           kind == ControlKind::PictureBox;
  }
};

// One row of a form's table, by kind.
constexpr ControlSpec Row(ControlKind kind, std::string_view name, std::string_view caption,
                          Twips l, Twips t, Twips w, Twips h, int tab) {
  return {.name = name,
          .kind = kind,
          .caption = caption,
          .left = l,
          .top = t,
          .width = w,
          .height = h,
          .tab_index = tab};
}
constexpr ControlSpec Label(std::string_view name, std::string_view caption, Twips l, Twips t,
                            Twips w, Twips h, int tab) {
  return Row(ControlKind::Label, name, caption, l, t, w, h, tab);
}
constexpr ControlSpec Button(std::string_view name, std::string_view caption, Twips l, Twips t,
                             Twips w, Twips h, int tab) {
  return Row(ControlKind::CommandButton, name, caption, l, t, w, h, tab);
}
constexpr ControlSpec Frame(std::string_view name, std::string_view caption, Twips l, Twips t,
                            Twips w, Twips h, int tab) {
  return Row(ControlKind::Frame, name, caption, l, t, w, h, tab);
}
constexpr ControlSpec PictureBox(std::string_view name, Twips l, Twips t, Twips w, Twips h,
                                 int tab) {
  return Row(ControlKind::PictureBox, name, {}, l, t, w, h, tab);
}
// Timers, lines and shapes have no caption and no place in the tab order.
constexpr ControlSpec Timer(std::string_view name, int interval_ms, Twips l, Twips t) {
  return Row(ControlKind::Timer, name, {}, l, t, 0, 0, -1)
      .With(&ControlSpec::interval, interval_ms);
}
constexpr ControlSpec Line(std::string_view name, Twips x1, Twips y1, Twips x2, Twips y2,
                           Color color) {
  return Row(ControlKind::Line, name, {}, x1, y1, x2, y2, -1).Fore(color);
}
constexpr ControlSpec Rectangle(std::string_view name, Twips l, Twips t, Twips w, Twips h,
                                Color outline) {
  return Row(ControlKind::Shape, name, {}, l, t, w, h, -1).Fore(outline);
}

// A table is sound when every name is unique (bar the members of one control
// array), every container is a frame of the table, no two controls share a
// TabIndex, and it holds nothing that no toolkit shows: a frame shows only
// windowed controls and timers (labels, lines and shapes are painted on the
// form's own surface) and has no caption. Checked at compile time next to
// each table.
template <std::size_t N>
consteval bool ValidTable(const ControlSpec (&c)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    bool container_found = c[i].container.empty();
    for (std::size_t j = 0; j < N; ++j) {
      if (c[j].name == c[i].container && c[j].kind == ControlKind::Frame) container_found = true;
      if (j >= i) continue;
      if (c[i].name == c[j].name && (c[i].array_index < 0 || c[i].array_index == c[j].array_index))
        return false;
      if (c[i].tab_index >= 0 && c[i].tab_index == c[j].tab_index) return false;
    }
    if (!container_found) return false;
    if (!c[i].container.empty() && !c[i].IsWindowed() && c[i].kind != ControlKind::Timer)
      return false;
    if (c[i].kind == ControlKind::Frame && !c[i].caption.empty()) return false;
  }
  return true;
}

enum class BorderStyle { None, FixedDialog };
enum class StartPosition { WindowsDefault, Manual };

struct FormSpec {
  std::string_view name;
  std::string_view caption;
  BorderStyle border;
  Color back;
  Twips client_width, client_height;
  StartPosition start;
  Twips start_left, start_top;            // manual start: client area's corner on the screen
  std::span<const ControlSpec> controls;  // in declaration order
};

}  // namespace qvl
