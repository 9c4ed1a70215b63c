// What measuring and drawing share: the characters as the user sees them (a
// password field shows only its fill character) and a device context of the
// control with its font selected.
#pragma once

#include <windows.h>

#include <string>

#include "quillet/edit/hedit_info.h"
#include "quillet/edit/sub_alloc.h"

namespace quillet {

// The font the control draws with; a control without one uses the system font.
inline HFONT ControlFont(const HEditInfo* info) {
  return info->font ? info->font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// The text as shown: with ES_PASSWORD a string of the fill character as long as
// the text, so that no measurement reveals the widths of the real characters.
class ShownText {
 public:
  explicit ShownText(const HEditInfo* info) {
    const char* text = info->text ? info->text : "";
    if ((info->style & ES_PASSWORD) == 0) {
      shown_ = text;
      return;
    }
    owned_ = SubFillDup(text, info->fillChar);
    if (owned_) {
      shown_ = owned_;
    } else {
      // The control storage is exhausted: the characters must still not show.
      fallback_.assign(static_cast<size_t>(lstrlenA(text)), info->fillChar);
      shown_ = fallback_.c_str();
    }
  }
  ~ShownText() {
    if (owned_) SubFree(owned_);
  }
  ShownText(const ShownText&) = delete;
  ShownText& operator=(const ShownText&) = delete;

  const char* get() const { return shown_; }

 private:
  const char* shown_ = "";
  char* owned_ = nullptr;
  std::string fallback_;
};

// A GetDC of the control with its font selected, released on leaving.
class ControlDc {
 public:
  explicit ControlDc(const HEditInfo* info) : window_(info->hwnd), dc_(GetDC(window_)) {
    if (dc_) oldFont_ = SelectObject(dc_, ControlFont(info));
  }
  ~ControlDc() {
    if (!dc_) return;
    if (oldFont_) SelectObject(dc_, oldFont_);
    ReleaseDC(window_, dc_);
  }
  ControlDc(const ControlDc&) = delete;
  ControlDc& operator=(const ControlDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
  HGDIOBJ oldFont_ = nullptr;
};

// Width of count characters at text, -1 when the measurement fails.
inline int MeasureChars(HDC dc, const char* text, int count) {
  if (count <= 0) return 0;
  SIZE size{};
  if (!dc || !GetTextExtentPoint32A(dc, text, count, &size)) return -1;
  return size.cx;
}

inline bool IsRightAligned(const HEditInfo* info) { return HasState(info, HES_RIGHT); }
inline bool IsCentred(const HEditInfo* info) {
  return !HasState(info, HES_RIGHT) && HasState(info, HES_CENTER);
}

}  // namespace quillet
