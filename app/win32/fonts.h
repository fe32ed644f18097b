// GDI fonts for one window at its DPI, made by the shared font choice.
#pragma once

#include "app/font_choice.h"
#include "app/form_spec.h"
#include "app/win32/winapi.h"

namespace qvl {

class Win32Fonts {
 public:
  Win32Fonts();
  Win32Fonts(Win32Fonts&& other) noexcept : cache_(std::move(other.cache_)) {
    other.cache_.entries().clear();
  }
  Win32Fonts(const Win32Fonts&) = delete;
  Win32Fonts& operator=(const Win32Fonts&) = delete;
  ~Win32Fonts() { Clear(); }

  // The font at an em height in pixels; made once, kept until Clear.
  HFONT Get(const Font& font, int pixels) { return cache_.Get(font, pixels).handle; }
  // Where text in that font lies in its label (the shared font choice).
  const FaceSize& Size(const Font& font, int pixels) { return cache_.Get(font, pixels).size; }
  void Clear();

 private:
  FontCache<HFONT> cache_;
};

}  // namespace qvl
