// GDI fonts for one window at its DPI, made by the shared font choice.
#pragma once

#include <utility>
#include <vector>

#include "app/font_choice.h"
#include "app/form_spec.h"
#include "app/win32/winapi.h"

namespace qvl {

class Win32Fonts {
 public:
  Win32Fonts() = default;
  Win32Fonts(Win32Fonts&& other) noexcept : fonts_(std::move(other.fonts_)) {
    other.fonts_.clear();
  }
  Win32Fonts(const Win32Fonts&) = delete;
  Win32Fonts& operator=(const Win32Fonts&) = delete;
  ~Win32Fonts() { Clear(); }

  // The font at an em height in pixels; made once, kept until Clear.
  HFONT Get(const Font& font, int pixels) { return Made(font, pixels).handle; }
  // Where text in that font lies in its label (the shared font choice).
  const FaceSize& Size(const Font& font, int pixels) { return Made(font, pixels).size; }
  void Clear();

 private:
  struct Entry {
    Font font;
    int pixels;
    HFONT handle;
    FaceSize size;
  };
  const Entry& Made(const Font& font, int pixels);
  std::vector<Entry> fonts_;
};

}  // namespace qvl
