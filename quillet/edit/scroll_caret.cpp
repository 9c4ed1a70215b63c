// The selection, the horizontal scroll offset (counted in characters) and the
// caret of an HEdit control.
#include <algorithm>

#include "quillet/edit/edit_core.h"
#include "quillet/edit/text_view.h"
#include "quillet/edit/text_view_support.h"

namespace quillet {
namespace {

// "To the end of the text" for ranges; BoundaryX clamps it to the length.
constexpr int kTextEnd = 0x7FFF;
// The scroll maximum is left alone while the text moves this close to it, so that
// typing at the end does not rescale the scroll bar with every character.
constexpr int kScrollSlack = 3;

bool Scrolls(const HEditInfo* info) { return (info->style & (WS_HSCROLL | ES_AUTOHSCROLL)) != 0; }

// The rectangle a range of characters covers. Erasing ranges reach to the edges
// of the text rectangle where the range touches an end of the text, so that no
// trace of a removed character stays behind.
RECT RangeRect(HEditInfo* info, int start, int end, bool erase) {
  RECT rect{};
  if (start >= end) return rect;
  const int length = TextLength(info);
  rect = info->textRect;
  if (!(erase && start == 0)) rect.left = BoundaryX(info, start);
  if (!(erase && end >= length - 1)) rect.right = BoundaryX(info, end);
  return rect;
}

// The characters that do not fit completely on the far side of the text (after
// the visible ones, or before them for right-aligned text) are never drawn;
// whatever lies there must be repainted blank.
void InvalidateBeyondVisible(HEditInfo* info) {
  const int length = TextLength(info);
  const int hidden = std::clamp(info->scrollPos, 0, length);
  const int visible = VisibleCount(info);
  if (IsRightAligned(info)) {
    InvalidateRange(info, 0, length - hidden - visible, true);
  } else {
    InvalidateRange(info, hidden + visible, kTextEnd, true);
  }
}

}  // namespace

void InvalidateRange(HEditInfo* info, int start, int end, bool erase) {
  RECT rect = RangeRect(info, start, end, erase);
  if (IsRectEmpty(&rect)) return;
  InvalidateRect(info->hwnd, &rect, erase ? TRUE : FALSE);
}

void InvalidateFrom(HEditInfo* info, int position, int count) {
  if (IsRightAligned(info)) {
    InvalidateRange(info, 0, position + count, true);
  } else {
    InvalidateRange(info, position, kTextEnd, true);
  }
}

void SetSelection(HEditInfo* info, int which, int anchor, int caret) {
  const int length = TextLength(info);
  const int oldLow = std::min(info->anchor, info->caret);
  const int oldHigh = std::max(info->anchor, info->caret);
  if (anchor < 0) anchor = length;
  if (caret < 0) caret = length;
  const bool moveCaret = which != kSelectAnchor;
  const bool moveAnchor = which != kSelectCaret;

  if (moveCaret) {
    caret = std::min(caret, length);
    const RECT& rect = info->textRect;
    if (Scrolls(info) &&
        (info->scrollPos != 0 || TextWidth(info, 0, -1) >= rect.right - rect.left)) {
      const int x = BoundaryX(info, caret);
      const int margin = (rect.right - rect.left) / 8;
      const int oldCaret = info->caret;
      int scrolled = 0;
      if (x > rect.right - margin) {
        scrolled = std::max(0, info->pageColumns / 3 + caret - oldCaret);
      } else if (x < rect.left + margin) {
        scrolled = -std::max(0, info->pageColumns / 3 + oldCaret - caret);
      }
      if (scrolled != 0) {
        ScrollBy(info, scrolled);
        if (info->destroyed) return;
      }
    }
    info->caret = caret;
  }
  if (moveAnchor) info->anchor = std::min(anchor, length);

  PlaceCaret(info, info->caret);

  const int low = std::min(info->anchor, info->caret);
  const int high = std::max(info->anchor, info->caret);
  if (oldLow == oldHigh) {
    InvalidateRange(info, low, low + 1, true);
  } else {
    // What left the selection loses its highlight.
    InvalidateRange(info, oldLow, std::min(oldHigh, low), true);
    InvalidateRange(info, std::max(oldLow, high), oldHigh, true);
  }
  // What joined it is drawn over with the highlight.
  InvalidateRange(info, low, std::min(high, oldLow), false);
  InvalidateRange(info, std::max(low, oldHigh), high, false);
}

int ScrollBy(HEditInfo* info, int n) {
  const bool right = IsRightAligned(info);
  const int length = TextLength(info);
  const int oldPos = info->scrollPos;
  int d = right ? -n : n;
  d = std::clamp(d, -oldPos, std::max(-oldPos, info->scrollMax - oldPos));

  // Characters coming into view on the far side were never drawn there; mark them
  // before the move so that the mark moves with the picture.
  if (d > 0) InvalidateBeyondVisible(info);
  info->scrollPos = oldPos + d;
  if (d == 0) return 0;
  if (!Scrolls(info)) {
    // No scrolling layout: nothing is moved, the line is simply drawn anew.
    InvalidateRect(info->hwnd, &info->textRect, TRUE);
    return 0;
  }

  if (info->style & WS_HSCROLL) {
    const int barPos = right ? info->scrollMax - info->scrollPos : info->scrollPos;
    SetScrollPos(info->hwnd, SB_HORZ, barPos, HasState(info, HES_THUMBTRACK) ? FALSE : TRUE);
    if (info->style & HS_FRAME3D) DrawFrame3D(info);
  }
  NotifyParent(info, EN_HSCROLL);
  if (info->destroyed) return right ? -d : d;

  // The characters crossed, measured where they stand in the text.
  const int low = std::min(oldPos, info->scrollPos);
  const int crossed = d > 0 ? d : -d;
  const int first = right ? length - low - crossed : low;
  const int dx = TextWidth(info, first, crossed);
  const bool toTheLeft = right ? d < 0 : d > 0;
  ScrollWindow(info->hwnd, toTheLeft ? -dx : dx, 0, &info->textRect, &info->textRect);

  if (d < 0) {
    // Scrolled back: the characters now in view at the near side, and whatever
    // partly left the text rectangle at the far side.
    if (right) {
      InvalidateRange(info, length - oldPos, kTextEnd, true);
    } else {
      InvalidateRange(info, info->scrollPos, oldPos, true);
    }
    InvalidateBeyondVisible(info);
  }
  return right ? -d : d;
}

void UpdateScrollRange(HEditInfo* info) {
  const int length = TextLength(info);
  if (info->scrollPos > length) {
    // The text became shorter than its offset (a new value, a revert): it is
    // shown with its end in view, as far as it fits.
    int offset = 0;
    if (!IsRightAligned(info)) {
      ShownText shown(info);
      const int width = info->textRect.right - info->textRect.left;
      offset = length - FitCount(info, shown.get(), length, width, true);
    }
    info->scrollPos = offset;
    InvalidateRect(info->hwnd, &info->textRect, TRUE);
  }
  int maximum = 0;
  if (length > 0 && !IsCentred(info)) {
    const int base = length - VisibleCount(info);
    if (base > 0) {
      maximum = info->scrollMax;
      if (maximum < base || maximum > base + kScrollSlack) maximum = base + kScrollSlack;
      maximum = std::min(maximum, length);
    }
  }
  if (maximum != info->scrollMax) info->scrollMax = maximum;
  if (info->scrollPos > maximum) {
    // Centred text is never scrolled.
    info->scrollPos = maximum;
    InvalidateRect(info->hwnd, &info->textRect, TRUE);
  }
  if (HasState(info, HES_THUMBTRACK)) return;

  if ((info->style & WS_HSCROLL) && maximum >= 0) {
    int barMin = 0, barMax = 0;
    GetScrollRange(info->hwnd, SB_HORZ, &barMin, &barMax);
    if (barMin != 0 || barMax != maximum) {
      SetScrollRange(info->hwnd, SB_HORZ, 0, maximum, TRUE);
      if (info->style & HS_FRAME3D) DrawFrame3D(info);
    }
  }
}

void HandleHScroll(HEditInfo* info, WPARAM wParam) {
  const int page = std::max(info->pageColumns - 1, 1);
  int n = 0;
  switch (LOWORD(wParam)) {
    case SB_LINELEFT:
      n = -1;
      break;
    case SB_LINERIGHT:
      n = 1;
      break;
    case SB_PAGELEFT:
      n = -page;
      break;
    case SB_PAGERIGHT:
      n = page;
      break;
    case SB_THUMBTRACK:
      SetState(info, HES_THUMBTRACK);
      n = static_cast<int>(HIWORD(wParam)) - GetScrollPos(info->hwnd, SB_HORZ);
      break;
    default:
      ClearState(info, HES_THUMBTRACK);
      SetScrollPos(info->hwnd, SB_HORZ, GetScrollPos(info->hwnd, SB_HORZ), TRUE);
      PlaceCaret(info, info->caret);
      return;
  }
  ScrollBy(info, n);
  if (info->destroyed) return;
  PlaceCaret(info, info->caret);
}

void CreateEditCaret(HEditInfo* info) {
  DestroyCaret();
  int width = 0;  // the system's thin caret
  if (OverwriteMode() && IsStringField(info) && info->anchor == info->caret) {
    // Overwriting covers the character that will be replaced.
    width = BoundaryX(info, info->caret + 1) - BoundaryX(info, info->caret);
  }
  CreateCaret(info->hwnd, nullptr, width, info->charHeight);
  ShowCaret(info->hwnd);
}

void PlaceCaret(HEditInfo* info, int position) {
  if (GetFocus() != info->hwnd) return;
  if (OverwriteMode() && IsStringField(info)) CreateEditCaret(info);
  int x = BoundaryX(info, position);
  if (IsRightAligned(info) || position >= TextLength(info)) --x;
  SetCaretPos(x + 1, info->textRect.top);
}

}  // namespace quillet
