// Drawing an HEdit control: its line of text with the selection, its background
// and its 3-D frame.
#include <algorithm>

#include "quillet/edit/text_view.h"
#include "quillet/edit/text_view_support.h"

namespace quillet {
namespace {

// BeginPaint/EndPaint as one object, with the control's font selected meanwhile.
class PaintSession {
 public:
  PaintSession(HEditInfo* info) : window_(info->hwnd), dc_(BeginPaint(window_, &paint_)) {
    if (dc_) oldFont_ = SelectObject(dc_, ControlFont(info));
  }
  ~PaintSession() {
    if (dc_ && oldFont_) SelectObject(dc_, oldFont_);
    EndPaint(window_, &paint_);
  }
  PaintSession(const PaintSession&) = delete;
  PaintSession& operator=(const PaintSession&) = delete;

  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
  HGDIOBJ oldFont_ = nullptr;
};

class Pen {
 public:
  explicit Pen(COLORREF color) : pen_(CreatePen(PS_SOLID, 1, color)) {}
  ~Pen() {
    if (pen_) DeleteObject(pen_);
  }
  Pen(const Pen&) = delete;
  Pen& operator=(const Pen&) = delete;
  HPEN get() const { return pen_; }

 private:
  HPEN pen_;
};

void PaintPass(HEditInfo* info, bool highlighted) {
  {
    PaintSession session(info);
    HDC dc = session.dc();
    if (dc) {
      if (highlighted) {
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetBkMode(dc, OPAQUE);
      } else {
        SetTextColor(dc, HasState(info, HES_ALTCOLOR) ? info->altTextColor : info->textColor);
        SetBkMode(dc, TRANSPARENT);
      }
      ShownText shown(info);
      const char* text = shown.get();
      const int length = lstrlenA(text);
      const int hidden = std::clamp(info->scrollPos, 0, length);
      const int width = info->textRect.right - info->textRect.left;
      RECT rect = info->textRect;
      constexpr UINT kLine = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
      // Only characters that fit completely are drawn: a half character at an
      // edge would read as a different one.
      if (IsCentred(info)) {
        DrawTextA(dc, text, -1, &rect, kLine | DT_CENTER);
      } else if (IsRightAligned(info)) {
        const int shownCount = length - hidden;
        const int fit = FitCount(info, text, shownCount, width, true);
        DrawTextA(dc, text + shownCount - fit, fit, &rect, kLine | DT_RIGHT);
      } else {
        const int fit = FitCount(info, text + hidden, length - hidden, width, false);
        DrawTextA(dc, text + hidden, fit, &rect, kLine | DT_LEFT);
      }
    }
  }
  UpdateScrollRange(info);
}

}  // namespace

LRESULT PaintControl(HEditInfo* info) {
  const bool showSelection = HasState(info, HES_FOCUS) || (info->style & ES_NOHIDESEL);
  if (!showSelection) {
    PaintPass(info, false);
    return 1;
  }

  RECT clip{};
  int clipKind = NULLREGION;
  if (HDC dc = GetDC(info->hwnd)) {
    clipKind = GetClipBox(dc, &clip);
    ReleaseDC(info->hwnd, dc);
  }
  if (clipKind == NULLREGION || clipKind == ERROR || IsRectEmpty(&clip)) {
    // Nothing of the window can be seen: the usual processing validates it.
    DefWindowProcA(info->hwnd, WM_PAINT, 0, 0);
    return 1;
  }

  const int low = std::min(info->anchor, info->caret);
  const int high = std::max(info->anchor, info->caret);
  RECT selection{};
  if (low < high) {
    RECT range = info->textRect;
    range.left = BoundaryX(info, low);
    range.right = BoundaryX(info, high);
    IntersectRect(&selection, &range, &clip);
  }
  PaintPass(info, false);
  if (!IsRectEmpty(&selection)) {
    // The second pass is clipped to the selection by its own update region.
    InvalidateRect(info->hwnd, &selection, FALSE);
    PaintPass(info, true);
  }
  return 1;
}

LRESULT EraseControlBackground(HEditInfo* info, HDC dc) {
  HBRUSH brush = nullptr;
  if (HasState(info, HES_FOCUS) && (info->style & HS_FOCUSHILITE) && info->focusBrush) {
    brush = info->focusBrush;
  } else if (info->bkBrush) {
    brush = info->bkBrush;
  } else {
    HWND parent = info->parent ? info->parent : GetParent(info->hwnd);
    if (parent) {
      brush = reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLOREDIT,
                                                    reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(info->hwnd)));
      if (info->destroyed) return 1;
    }
  }
  if (!brush || !dc) return 1;

  RECT client{};
  GetClientRect(info->hwnd, &client);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  // A null pen leaves the right and bottom edge out of Rectangle: reach one further.
  Rectangle(dc, client.left, client.top, client.right + 1, client.bottom + 1);
  if (oldPen) SelectObject(dc, oldPen);
  if (oldBrush) SelectObject(dc, oldBrush);
  return 1;
}

void DrawFrame3D(HEditInfo* info) {
  HWND window = info->hwnd;
  RECT windowRect{};
  if (!GetWindowRect(window, &windowRect)) return;
  // The client rectangle the window's frame leaves, in client coordinates.
  RECT client = windowRect;
  SendMessageA(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
  OffsetRect(&client, -client.left, -client.top);
  RECT outer = client;
  outer.right += 4;
  outer.bottom += 4;

  const COLORREF white = RGB(255, 255, 255);
  const COLORREF black = RGB(0, 0, 0);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const bool bordered = (info->style & WS_BORDER) != 0;
  Pen outerTopLeft(bordered ? white : shadow), outerBottomRight(bordered ? shadow : white);
  Pen innerTopLeft(bordered ? shadow : black), innerBottomRight(bordered ? white : face);

  HDC dc = GetWindowDC(window);
  if (!dc) return;
  HGDIOBJ oldPen = SelectObject(dc, outerTopLeft.get());
  auto outline = [dc](const RECT& r, HPEN topLeft, HPEN bottomRight) {
    SelectObject(dc, topLeft);
    MoveToEx(dc, r.left, r.bottom - 2, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right - 1, r.top);
    SelectObject(dc, bottomRight);
    MoveToEx(dc, r.right - 1, r.top, nullptr);
    LineTo(dc, r.right - 1, r.bottom - 1);
    LineTo(dc, r.left - 1, r.bottom - 1);
  };
  outline(outer, outerTopLeft.get(), outerBottomRight.get());
  RECT inner = outer;
  InflateRect(&inner, -1, -1);
  outline(inner, innerTopLeft.get(), innerBottomRight.get());
  if (oldPen) SelectObject(dc, oldPen);
  ReleaseDC(window, dc);
}

}  // namespace quillet
