// Mouse input of an HEdit control: clicks place the caret, drags extend the
// selection, a double click selects a word.
#include <windowsx.h>

#include <algorithm>

#include "quillet/edit/edit_core.h"
#include "quillet/edit/text_view.h"
#include "quillet/startup.h"

namespace quillet {

LRESULT HandleLButtonDown(HEditInfo* info, WPARAM keys, int x) {
  if (GetFocus() != info->hwnd) {
    // The first click only brings the focus; what it selects is the focus's rule,
    // not the click position.
    SetFocus(info->hwnd);
    if (info->destroyed) return 0;
    SetCursor(Module().ibeamCursor);
    return 0;
  }
  const int position = HitTest(info, x);
  if (keys & MK_SHIFT) {
    SetSelection(info, kSelectCaret, 0, position);
  } else {
    SetSelection(info, kSelectBoth, position, position);
  }
  if (info->destroyed) return 0;
  SetCapture(info->hwnd);
  return 0;
}

LRESULT HandleMouseMove(HEditInfo* info, int x) {
  if (GetCapture() != info->hwnd) return 0;
  SetSelection(info, kSelectCaret, 0, HitTest(info, x));
  return 0;
}

LRESULT HandleLButtonUp(HEditInfo* info) {
  if (GetCapture() == info->hwnd) ReleaseCapture();
  return 0;
}

LRESULT HandleLButtonDblClk(HEditInfo* info, WPARAM keys, LPARAM position) {
  SendMessageA(info->hwnd, WM_LBUTTONDOWN, keys, position);
  if (info->destroyed) return 0;
  const int clicked = HitTest(info, GET_X_LPARAM(position));
  const int start = PreviousWordStart(info, std::min(clicked + 1, TextLength(info)));
  const int end = NextWordStart(info, clicked);
  SetSelection(info, kSelectBoth, start, end);
  if (info->destroyed) return 0;
  NotifyParent(info, HEN_DBLCLK);
  return 0;
}

}  // namespace quillet
