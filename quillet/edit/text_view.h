// How an HEdit control shows its single line: measuring in the control's font,
// the horizontal scroll offset, the selection, the caret, painting and the mouse.
#pragma once

#include <windows.h>

#include "quillet/edit/hedit_info.h"

namespace quillet {

// Which ends SetSelection moves.
inline constexpr int kSelectBoth = 0;
inline constexpr int kSelectCaret = 1;
inline constexpr int kSelectAnchor = 2;

// Pixel width of characters [start, start + count) of the shown text (count -1: to
// the end), measured with their neighbours so that kerning matches the drawing.
int TextWidth(HEditInfo* info, int start, int count);

// Largest k <= count whose first (fromEnd: last) k characters of text fit in width.
int FitCount(HEditInfo* info, const char* text, int count, int width, bool fromEnd);

// Characters of the unscrolled part that fit in the text rectangle.
int VisibleCount(HEditInfo* info);

// Client x of the boundary before position (clamped to the text).
int BoundaryX(HEditInfo* info, int position);

// Text position closest to client x.
int HitTest(HEditInfo* info, int x);

// The character hit test behind the exported GetClosestChar.
int ClosestChar(HDC dc, const RECT* rect, const char* text, int length, int x, bool fromRight);

// Moves the selection ends (negative: the text length), scrolls the caret into
// view, places the caret and invalidates what changed.
void SetSelection(HEditInfo* info, int which, int anchor, int caret);

// Scrolls by n characters (positive: toward the end of the text); returns the
// characters actually scrolled.
int ScrollBy(HEditInfo* info, int n);

// Recomputes scrollMax after the text or the rectangle changed.
void UpdateScrollRange(HEditInfo* info);

// WM_HSCROLL.
void HandleHScroll(HEditInfo* info, WPARAM wParam);

// The caret exists while the control has the focus.
void CreateEditCaret(HEditInfo* info);
void PlaceCaret(HEditInfo* info, int position);

void InvalidateRange(HEditInfo* info, int start, int end, bool erase);
// Right-aligned text: positions 0 to position + count; else position to the end.
void InvalidateFrom(HEditInfo* info, int position, int count);

// WM_PAINT and WM_ERASEBKGND; both answer 1.
LRESULT PaintControl(HEditInfo* info);
LRESULT EraseControlBackground(HEditInfo* info, HDC dc);
// Redraws the HS_FRAME3D frame on the window DC.
void DrawFrame3D(HEditInfo* info);

// Height and average character width of a font (null: the system font), measured
// on the 52 letters of the alphabet.
void MeasureFont(HFONT font, int* height, int* averageWidth);

// HEM_SETTEXTRECT: the given rectangle, or one laid out in the client area, and
// the scroll page that follows from it.
void SetTextRect(HEditInfo* info, const RECT* rect);

// Mouse messages; each answers 0.
LRESULT HandleLButtonDown(HEditInfo* info, WPARAM keys, int x);
LRESULT HandleMouseMove(HEditInfo* info, int x);
LRESULT HandleLButtonUp(HEditInfo* info);
LRESULT HandleLButtonDblClk(HEditInfo* info, WPARAM keys, LPARAM position);

}  // namespace quillet
