// Measuring the control's line in its own font. Every width comes from
// GetTextExtentPoint32A on the real characters, so proportional fonts are exact.
#include <algorithm>
#include <cstdlib>

#include "quillet/edit/text_view.h"
#include "quillet/edit/text_view_support.h"

namespace quillet {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetLength = 52;

int ClampPosition(int position, int length) { return std::clamp(position, 0, length); }

// The scroll offset as far as the text reaches: a text that became shorter than
// its offset must not be read past its end.
int EffectiveScroll(const HEditInfo* info, int length) {
  return ClampPosition(info->scrollPos, length);
}

int RectWidth(const RECT& rect) { return rect.right - rect.left; }

}  // namespace

int TextWidth(HEditInfo* info, int start, int count) {
  const int length = TextLength(info);
  start = ClampPosition(start, length);
  if (count < 0 || count > length - start) count = length - start;
  if (count == 0) return 0;
  ShownText shown(info);
  ControlDc dc(info);
  const char* text = shown.get();
  // A character's advance depends on its neighbour (kerning): measure the range
  // together with the character it is drawn against and take that one away.
  if (IsRightAligned(info)) {
    if (start == 0) return MeasureChars(dc.get(), text, count);
    return MeasureChars(dc.get(), text + start - 1, count + 1) -
           MeasureChars(dc.get(), text + start - 1, 1);
  }
  if (start + count < length) {
    return MeasureChars(dc.get(), text + start, count + 1) -
           MeasureChars(dc.get(), text + start + count, 1);
  }
  return MeasureChars(dc.get(), text + start, count);
}

int FitCount(HEditInfo* info, const char* text, int count, int width, bool fromEnd) {
  if (!text || count <= 0) return 0;
  ControlDc dc(info);
  for (int i = 1; i <= count; ++i) {
    const char* first = fromEnd ? text + count - i : text;
    if (MeasureChars(dc.get(), first, i) > width) return i - 1;
  }
  return count;
}

int VisibleCount(HEditInfo* info) {
  const int length = TextLength(info);
  const int hidden = EffectiveScroll(info, length);
  const int width = RectWidth(info->textRect);
  ShownText shown(info);
  if (IsRightAligned(info)) return FitCount(info, shown.get(), length - hidden, width, true);
  return FitCount(info, shown.get() + hidden, length - hidden, width, false);
}

int BoundaryX(HEditInfo* info, int position) {
  const int length = TextLength(info);
  position = ClampPosition(position, length);
  const int hidden = EffectiveScroll(info, length);
  const RECT& rect = info->textRect;
  if (IsRightAligned(info)) {
    return rect.right - TextWidth(info, position, length - position) +
           TextWidth(info, length - hidden, hidden);
  }
  if (IsCentred(info)) {
    // Where DrawTextA puts the start of a centred line.
    const int start = (rect.left + rect.right - TextWidth(info, 0, length)) / 2;
    return start + TextWidth(info, 0, position);
  }
  return rect.left - TextWidth(info, 0, hidden) + TextWidth(info, 0, position);
}

int HitTest(HEditInfo* info, int x) {
  const int length = TextLength(info);
  const int hidden = EffectiveScroll(info, length);
  ShownText shown(info);
  if (IsRightAligned(info)) {
    ControlDc dc(info);
    return ClosestChar(dc.get(), &info->textRect, shown.get(), length - hidden, x, true);
  }
  if (IsCentred(info)) {
    RECT line = info->textRect;
    line.left = BoundaryX(info, 0);
    ControlDc dc(info);
    return ClosestChar(dc.get(), &line, shown.get(), length, x, false);
  }
  ControlDc dc(info);
  return ClosestChar(dc.get(), &info->textRect, shown.get() + hidden, length - hidden, x, false) +
         hidden;
}

int ClosestChar(HDC dc, const RECT* rect, const char* text, int length, int x, bool fromRight) {
  if (!dc || !rect || !text) return 0;
  TEXTMETRICA metrics{};
  // A context whose metrics cannot be read is no context at all.
  if (!GetTextMetricsA(dc, &metrics)) return 0;
  const int count = std::max(length, 0);
  const int average = std::max(static_cast<int>(metrics.tmAveCharWidth), 1);
  const int distance = fromRight ? rect->right - x : x - rect->left;

  // Width of the first (from the right: the last) k characters.
  auto measure = [&](int k) { return MeasureChars(dc, fromRight ? text + count - k : text, k); };
  // Positions count from the start of the text. A negative length is an empty
  // text in both alignments: never a position before the text.
  auto result = [&](int k) { return fromRight ? count - k : k; };

  int k = std::clamp(distance / average, 0, count);
  int width = measure(k);
  if (width == distance) return result(k);

  // Walk one character at a time from the estimate until the width crosses the
  // distance; then the nearer of the last two boundaries wins.
  const int step = width < distance ? 1 : -1;
  int previousK = k, previousWidth = width;
  while (k + step >= 0 && k + step <= count) {
    previousK = k;
    previousWidth = width;
    k += step;
    width = measure(k);
    const int before = distance - previousWidth, after = distance - width;
    if (after == 0 || (before < 0) != (after < 0)) break;
  }
  if (previousK != k && std::abs(distance - previousWidth) < std::abs(distance - width)) {
    k = previousK;
  }
  return result(k);
}

void MeasureFont(HFONT font, int* height, int* averageWidth) {
  SIZE size{};
  if (HDC screen = GetDC(nullptr)) {
    HGDIOBJ old =
        SelectObject(screen, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    if (!GetTextExtentPointA(screen, kAlphabet, kAlphabetLength, &size)) size = SIZE{};
    if (old) SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
  }
  if (height) *height = size.cy;
  if (averageWidth) *averageWidth = size.cx / kAlphabetLength;
}

void SetTextRect(HEditInfo* info, const RECT* rect) {
  if (rect) {
    info->textRect = *rect;
  } else {
    RECT client{};
    GetClientRect(info->hwnd, &client);
    RECT& text = info->textRect;
    text.left = 1;
    text.right = client.right - 3 - (info->button ? info->buttonWidth : 0);
    text.top = (client.bottom - client.top - info->charHeight) / 2 - 1;
    text.bottom = text.top + info->charHeight;
  }
  int averageWidth = 0;
  MeasureFont(info->font, nullptr, &averageWidth);
  const int width = RectWidth(info->textRect);
  info->pageColumns = averageWidth > 0 ? std::max(width / averageWidth, 1) : 1;
}

}  // namespace quillet
