// What an HEdit control shows and how it answers the mouse: the text where its
// alignment puts it, the selection in the system's highlight colours, the false
// colour of a truth value, scrolling that keeps the caret in view, and clicks
// that land on the nearest character boundary.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "tests/windows/hedit_tests/hedit_fixture.h"

namespace hedit_tests {
namespace {

using quillet::HEM_GETSCROLLPOS;
using quillet::HEM_SETBKBRUSH;
using quillet::HEM_SETSELECTION;
using quillet::HEM_SETVALUE;
using quillet::HEN_DBLCLK;
using quillet::HS_EDITRIGHT;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class Brush {
 public:
  explicit Brush(COLORREF color) : brush_(CreateSolidBrush(color)) {}
  ~Brush() { DeleteObject(brush_); }
  Brush(const Brush&) = delete;
  Brush& operator=(const Brush&) = delete;
  HBRUSH get() const { return brush_; }

 private:
  HBRUSH brush_;
};

class HEditViewTest : public HEditTest {
 protected:
  void Unfocus() {
    SetFocus(form_->hwnd());
    PumpMessages();
  }
  void Focus(HWND field) {
    SetFocus(field);
    PumpMessages();
  }
  int Width(const std::string& text) {
    FontDc dc(font_.get());
    return dc.Width(text);
  }
  // The columns of the text rectangle holding a pixel of colour.
  static std::pair<int, int> InkColumns(const Snapshot& shot, const RECT& rect, COLORREF color) {
    return shot.Columns(rect, [color](COLORREF c) { return c == color; });
  }
  static POINT CaretPosition() {
    POINT caret{-1, -1};
    GetCaretPos(&caret);
    return caret;
  }
};

TEST_F(HEditViewTest, TextRectangleIsCentredVerticallyOnTheFontHeight) {
  SIZE letters{};
  {
    FontDc dc(font_.get());
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32A(dc.get(), alphabet, 52, &letters);
  }
  for (int height : {24, 31, 40, 12}) {
    HWND field = CreateField("%ssabc", 0, 150, height);
    RECT client{};
    GetClientRect(field, &client);
    const RECT rect = TextRect(field);
    EXPECT_EQ(rect.left, 1) << height;
    EXPECT_EQ(rect.right, client.right - 3) << height;
    // Integer division as C has it: toward zero, also for a field lower than its font.
    EXPECT_EQ(rect.top, (client.bottom - letters.cy) / 2 - 1) << height;
    EXPECT_EQ(rect.bottom - rect.top, letters.cy) << height;
    DestroyWindow(field);
  }
}

TEST_F(HEditViewTest, DisplayFormLiesWhereItsAlignmentPutsIt) {
  struct Case {
    const char* name;
    DWORD style;
    bool right;
    bool centred;
  } cases[] = {{"left-aligned", 0, false, false},
               {"ES_RIGHT", ES_RIGHT, true, false},
               {"ES_CENTER", ES_CENTER, false, true}};
  for (const Case& c : cases) {
    HWND field = CreateField("%ssHello", c.style, 200, 24);
    Unfocus();
    const RECT rect = TextRect(field);
    ASSERT_GT(rect.right - rect.left, 150) << c.name;
    const Snapshot shot = Capture(field);
    ASSERT_TRUE(shot.Valid());
    const auto ink = InkColumns(shot, rect, kBlack);
    ASSERT_GE(ink.first, 0) << c.name << ": no text drawn";
    const int width = Width("Hello");
    if (c.centred) {
      EXPECT_NEAR((ink.first + ink.second) / 2, (rect.left + rect.right) / 2, 3) << c.name;
    } else if (c.right) {
      // Against the right edge, give or take the side bearing of the last letter.
      EXPECT_GE(ink.first, rect.right - width - 1) << c.name;
      EXPECT_GE(ink.second, rect.right - Width("o")) << c.name;
    } else {
      EXPECT_LE(ink.first, rect.left + 3) << c.name;
      EXPECT_LE(ink.second, rect.left + width) << c.name;
    }
    DestroyWindow(field);
  }
}

TEST_F(HEditViewTest, SelectionIsHighlightedOnlyUnderTheSelectedCharacters) {
  HWND field = CreateField("%ssHello world", 0, 240, 24);
  Focus(field);
  SendMessageA(field, HEM_SETSELECTION, 6, 11);
  ASSERT_EQ(Selection(field), std::make_pair(6, 11));
  const RECT rect = TextRect(field);
  const Snapshot shot = Capture(field);
  ASSERT_TRUE(shot.Valid());
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const auto marked = InkColumns(shot, rect, highlight);
  ASSERT_GE(marked.first, 0) << "no highlight drawn";
  EXPECT_NEAR(marked.first, rect.left + Width("Hello "), 1);
  EXPECT_NEAR(marked.second, rect.left + Width("Hello world") - 1, 1);
  // The selected characters are drawn in the highlight text colour on it.
  RECT selected = rect;
  selected.left = marked.first;
  selected.right = marked.second + 1;
  EXPECT_GT(shot.Count(selected, GetSysColor(COLOR_HIGHLIGHTTEXT)), 10);
  // The unselected word keeps the normal text colour.
  RECT unselected = rect;
  unselected.right = marked.first;
  EXPECT_GT(shot.Count(unselected, kBlack), 10);
  EXPECT_EQ(shot.Count(unselected, highlight), 0);
}

TEST_F(HEditViewTest, SelectionShowsWithoutFocusOnlyWithNoHideSel) {
  for (DWORD style : {DWORD{0}, DWORD{ES_NOHIDESEL}}) {
    HWND field = CreateField("%ssHello world", style, 240, 24);
    Focus(field);
    SendMessageA(field, HEM_SETSELECTION, 0, 5);
    Unfocus();
    const RECT rect = TextRect(field);
    const Snapshot shot = Capture(field);
    const int highlighted = shot.Count(rect, GetSysColor(COLOR_HIGHLIGHT));
    if (style == ES_NOHIDESEL) {
      EXPECT_GT(highlighted, 10) << "ES_NOHIDESEL";
    } else {
      EXPECT_EQ(highlighted, 0);
    }
    DestroyWindow(field);
  }
}

TEST_F(HEditViewTest, FalseTruthValueIsDrawnInItsOwnColour) {
  HWND field = CreateField("%bw[blue]Yes;[red]No", 0, 160, 24);
  Unfocus();
  const RECT rect = TextRect(field);
  EXPECT_EQ(Text(field), "No");
  Snapshot shot = Capture(field);
  EXPECT_GT(shot.Count(rect, kRed), 5);
  EXPECT_EQ(shot.Count(rect, kBlue), 0);

  const short yes = 1;
  SendMessageA(field, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(&yes));
  EXPECT_EQ(Text(field), "Yes");
  shot = Capture(field);
  EXPECT_GT(shot.Count(rect, kBlue), 5);
  EXPECT_EQ(shot.Count(rect, kRed), 0);
}

TEST_F(HEditViewTest, TypingPastTheWidthScrollsAndKeepsTheCaretInView) {
  HWND field = CreateField("%ss", ES_AUTOHSCROLL, 120, 24);
  Focus(field);
  const RECT rect = TextRect(field);
  const std::string typed = "The quick brown fox jumps over the lazy dog";
  ASSERT_GT(Width(typed), 2 * (rect.right - rect.left));
  for (size_t i = 0; i < typed.size(); ++i) {
    Type(field, typed.substr(i, 1));
    const POINT caret = CaretPosition();
    ASSERT_GE(caret.x, rect.left) << "after " << i + 1 << " characters";
    ASSERT_LE(caret.x, rect.right) << "after " << i + 1 << " characters";
    EXPECT_EQ(caret.y, rect.top);
  }
  EXPECT_EQ(Text(field), typed);
  EXPECT_GT(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), 0);
  EXPECT_GT(form_->CountOf(EN_HSCROLL), 0);
  // The end of the text is what shows: its last character ends at the caret.
  const Snapshot shot = Capture(field);
  const auto ink = InkColumns(shot, rect, kBlack);
  EXPECT_LE(ink.second, CaretPosition().x);
  EXPECT_GE(ink.second, CaretPosition().x - Width("g") - 2);

  Press(field, VK_HOME);
  EXPECT_EQ(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), 0);
  EXPECT_EQ(CaretPosition().x, rect.left + 1);
}

TEST_F(HEditViewTest, AClickNearTheLeftEdgeOfScrolledTextFindsItsCharacterAndScrollsBack) {
  HWND field = CreateField("%ss", ES_AUTOHSCROLL, 120, 24);
  Focus(field);
  const RECT rect = TextRect(field);
  Type(field, "The quick brown fox jumps over the lazy dog");
  const int hidden = static_cast<int>(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0));
  ASSERT_GT(hidden, 5);
  // The first character shown starts at the left edge of the text rectangle.
  Click(field, rect.left + 1, (rect.top + rect.bottom) / 2);
  EXPECT_EQ(Selection(field), std::make_pair(hidden, hidden));
  EXPECT_LT(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), hidden);
  EXPECT_GE(CaretPosition().x, rect.left + (rect.right - rect.left) / 8);
}

TEST_F(HEditViewTest, RightAlignedEditingScrollsByHidingTheEndOfTheText) {
  HWND field = CreateField("%ss", HS_EDITRIGHT | ES_AUTOHSCROLL | WS_HSCROLL, 140, 40);
  Focus(field);
  const RECT rect = TextRect(field);
  const std::string typed = "The quick brown fox jumps over the lazy dog";
  for (size_t i = 0; i < typed.size(); ++i) {
    Type(field, typed.substr(i, 1));
    // Typing at the end keeps the end in view at the right edge.
    ASSERT_EQ(CaretPosition().x, rect.right) << "after " << i + 1 << " characters";
  }
  EXPECT_EQ(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), 0);

  Press(field, VK_HOME);
  const int hidden = static_cast<int>(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0));
  EXPECT_GT(hidden, 0);
  EXPECT_GE(CaretPosition().x, rect.left);
  EXPECT_LE(CaretPosition().x, rect.right);
  // The bar runs the other way: its start shows the start of the text.
  int barMin = 0, barMax = 0;
  GetScrollRange(field, SB_HORZ, &barMin, &barMax);
  EXPECT_EQ(GetScrollPos(field, SB_HORZ), barMax - hidden);
  // What shows is the start of the text. (The scroll bar has since taken room
  // from the client area: the text rectangle moved up.)
  const Snapshot shot = Capture(field);
  const auto ink = InkColumns(shot, TextRect(field), kBlack);
  EXPECT_NEAR(ink.first, CaretPosition().x, 2);

  Press(field, VK_END);
  EXPECT_EQ(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), 0);
  EXPECT_EQ(CaretPosition().x, rect.right);
}

TEST_F(HEditViewTest, ScrollMaximumWaitsUntilTheTextOutgrowsItByMoreThanThree) {
  HWND field = CreateField("%ss", WS_HSCROLL | ES_AUTOHSCROLL, 140, 40);
  Unfocus();
  const RECT rect = TextRect(field);
  // How many characters fit from the start of a long run of one character.
  FontDc dc(font_.get());
  const std::string run(200, 'x');
  int fit = 0;
  while (dc.Width(run.c_str(), fit + 1) <= rect.right - rect.left) ++fit;
  auto maximumFor = [&](int length) {
    SendMessageA(field, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(run.substr(0, length).c_str()));
    PumpMessages();
    int barMin = 0, barMax = 0;
    GetScrollRange(field, SB_HORZ, &barMin, &barMax);
    return barMax;
  };
  const int length = fit + 20;
  const int first = maximumFor(length);
  EXPECT_EQ(first, length - fit + 3);
  for (int more = 1; more <= 3; ++more) EXPECT_EQ(maximumFor(length + more), first) << more;
  EXPECT_EQ(maximumFor(length + 4), length + 4 - fit + 3);
  // A text that fits needs no scrolling at all.
  EXPECT_EQ(maximumFor(fit), 0);
}

TEST_F(HEditViewTest, ScrollingRedrawsTheThreeDimensionalFrame) {
  struct Case {
    const char* name;
    DWORD style, exStyle;
    COLORREF outer, inner;  // top edge, outer and inner line
  } cases[] = {
      {"WS_BORDER", WS_BORDER, 0, RGB(255, 255, 255), GetSysColor(COLOR_BTNSHADOW)},
      {"client edge", 0, WS_EX_CLIENTEDGE, GetSysColor(COLOR_BTNSHADOW), RGB(0, 0, 0)},
  };
  for (const Case& c : cases) {
    HWND field = CreateWindowExA(
        c.exStyle, "HEdit", "%ss",
        WS_CHILD | WS_VISIBLE | WS_HSCROLL | ES_AUTOHSCROLL | quillet::HS_FRAME3D | c.style, 10, 10,
        160, 44, form_->hwnd(), reinterpret_cast<HMENU>(INT_PTR(7)), nullptr, nullptr);
    ASSERT_TRUE(field);
    SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    Focus(field);
    Type(field, "abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz");
    PumpMessages();
    SendMessageA(field, WM_HSCROLL, SB_LINELEFT, 0);
    // A complete repaint of the client area would wipe what the frame drew there.
    Snapshot shot = CaptureAsIs(field);
    // Window coordinates: the frame lies on the window's own device context.
    auto at = [&shot](int x, int y) {
      return shot.At(x - shot.clientOrigin.x, y - shot.clientOrigin.y);
    };
    EXPECT_EQ(at(20, 0), c.outer) << c.name;
    EXPECT_EQ(at(0, 10), c.outer) << c.name;
    EXPECT_EQ(at(20, 1), c.inner) << c.name;
    EXPECT_EQ(at(1, 10), c.inner) << c.name;
    DestroyWindow(field);
  }
}

TEST_F(HEditViewTest, ScrollBarMessagesMoveTheTextByCharacters) {
  HWND field = CreateField("%ss", WS_HSCROLL | ES_AUTOHSCROLL, 140, 40);
  Focus(field);
  Type(field, "abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz");
  const LRESULT scrolled = SendMessageA(field, HEM_GETSCROLLPOS, 0, 0);
  ASSERT_GT(scrolled, 2);
  EXPECT_EQ(GetScrollPos(field, SB_HORZ), scrolled);

  form_->ClearNotifications();
  SendMessageA(field, WM_HSCROLL, SB_LINELEFT, 0);
  EXPECT_EQ(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), scrolled - 1);
  EXPECT_EQ(GetScrollPos(field, SB_HORZ), scrolled - 1);
  EXPECT_EQ(form_->CountOf(EN_HSCROLL), 1);
  SendMessageA(field, WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), scrolled);

  // Dragging the thumb to the start, then letting go.
  SendMessageA(field, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
  EXPECT_EQ(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), 0);
  SendMessageA(field, WM_HSCROLL, SB_ENDSCROLL, 0);
  EXPECT_EQ(GetScrollPos(field, SB_HORZ), 0);
  // At the start nothing further to the left can come into view.
  form_->ClearNotifications();
  SendMessageA(field, WM_HSCROLL, SB_PAGELEFT, 0);
  EXPECT_EQ(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), 0);
  EXPECT_EQ(form_->CountOf(EN_HSCROLL), 0);
  SendMessageA(field, WM_HSCROLL, SB_PAGERIGHT, 0);
  EXPECT_GT(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), 1);
}

TEST_F(HEditViewTest, AParentMayDestroyTheFieldWhileItScrolls) {
  HWND field = CreateField("%ss", WS_HSCROLL | ES_AUTOHSCROLL, 140, 40);
  Focus(field);
  Type(field, "abcdefghijklmnopqrstuvwxyz0123456789");
  form_->DestroyOnCode(EN_HSCROLL);
  SendMessageA(field, WM_HSCROLL, SB_LINELEFT, 0);
  PumpMessages();
  EXPECT_FALSE(IsWindow(field));
}

TEST_F(HEditViewTest, ClicksLandOnTheNearestBoundary) {
  const std::string text = "Hello world";
  HWND field = CreateField("%ssHello world", 0, 240, 24);
  Focus(field);
  const RECT rect = TextRect(field);
  const int y = (rect.top + rect.bottom) / 2;
  struct Case {
    const char* what;
    int x;
    WPARAM keys;
    std::pair<int, int> selection;
  } cases[] = {
      {"on the boundary after 'Hel'", rect.left + Width("Hel"), 0, {3, 3}},
      {"just past it", rect.left + Width("Hel") + 1, 0, {3, 3}},
      {"with Shift, after 'Hello wo'", rect.left + Width("Hello wo"), MK_SHIFT, {3, 8}},
      {"left of the text", rect.left - 1, 0, {0, 0}},
      {"beyond the end", rect.right - 2, 0, {11, 11}},
  };
  for (const Case& c : cases) {
    Click(field, c.x, y, c.keys);
    EXPECT_EQ(Selection(field), c.selection) << c.what;
    EXPECT_NE(GetCapture(), field) << c.what << ": the button is up";
  }
  // The caret stands one pixel right of a boundary, but on the last one at the end.
  Click(field, rect.left + Width("Hel"), y);
  EXPECT_EQ(CaretPosition().x, rect.left + Width("Hel") + 1);
  Click(field, rect.right - 2, y);
  EXPECT_EQ(CaretPosition().x, rect.left + Width(text));
}

TEST_F(HEditViewTest, ClicksInRightAlignedEditingLandOnTheNearestBoundary) {
  HWND field = CreateField("%ssHello world", HS_EDITRIGHT, 240, 24);
  Focus(field);
  const RECT rect = TextRect(field);
  const int y = (rect.top + rect.bottom) / 2;
  Click(field, rect.right - Width("ld"), y);
  EXPECT_EQ(Selection(field), std::make_pair(9, 9));
  // Right-aligned, the caret stands on the boundary itself.
  EXPECT_EQ(CaretPosition().x, rect.right - Width("ld"));
  Click(field, rect.left + 2, y);
  EXPECT_EQ(Selection(field), std::make_pair(0, 0));
  Click(field, rect.right + 2, y);
  EXPECT_EQ(Selection(field), std::make_pair(11, 11));
}

TEST_F(HEditViewTest, FirstClickOnAnUnfocusedFieldOnlyFocusesIt) {
  HWND field = CreateField("%ssHello world", 0, 240, 24);
  Unfocus();
  const RECT rect = TextRect(field);
  Click(field, rect.left + Width("Hel"), (rect.top + rect.bottom) / 2);
  EXPECT_EQ(GetFocus(), field);
  // The focus rules decide the selection (all of it), not the click position.
  EXPECT_EQ(Selection(field), std::make_pair(0, 11));
}

TEST_F(HEditViewTest, DraggingMovesOnlyTheCaretWhileTheMouseIsCaptured) {
  HWND field = CreateField("%ssHello world", 0, 240, 24);
  Focus(field);
  const RECT rect = TextRect(field);
  const int y = (rect.top + rect.bottom) / 2;
  SendMessageA(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rect.left + Width("H"), y));
  EXPECT_EQ(GetCapture(), field);
  SendMessageA(field, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(rect.left + Width("Hell"), y));
  EXPECT_EQ(Selection(field), std::make_pair(1, 4));
  SendMessageA(field, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(rect.left - 30, y));
  EXPECT_EQ(Selection(field), std::make_pair(0, 1));
  SendMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(rect.left - 30, y));
  EXPECT_NE(GetCapture(), field);
  SendMessageA(field, WM_MOUSEMOVE, 0, MAKELPARAM(rect.left + Width("Hello"), y));
  EXPECT_EQ(Selection(field), std::make_pair(0, 1));
}

TEST_F(HEditViewTest, DoubleClickSelectsTheWordAndTellsTheParent) {
  HWND field = CreateField("%ssHello big world", 0, 260, 24);
  Focus(field);
  const RECT rect = TextRect(field);
  form_->ClearNotifications();
  const int x = rect.left + Width("Hello b") + 1;
  SendMessageA(field, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, (rect.top + rect.bottom) / 2));
  SendMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(x, (rect.top + rect.bottom) / 2));
  // The word and the space after it, as the next word starts there.
  EXPECT_EQ(Selection(field), std::make_pair(6, 10));
  EXPECT_EQ(form_->CountOf(HEN_DBLCLK), 1);
}

TEST_F(HEditViewTest, BackgroundComesFromTheParentUnlessTheFieldHasABrush) {
  Brush green(RGB(0, 255, 0)), yellow(RGB(255, 255, 0));
  form_->SetControlBrush(green.get());
  HWND field = CreateField("%ssab", 0, 160, 24);
  Unfocus();
  RECT client{};
  GetClientRect(field, &client);
  const RECT corner = {client.right - 20, 0, client.right, client.bottom};
  Snapshot shot = Capture(field);
  EXPECT_GT(form_->controlColorRequests(), 0);
  EXPECT_EQ(shot.Count(corner, RGB(0, 255, 0)), 20 * (client.bottom - client.top));

  SendMessageA(field, HEM_SETBKBRUSH, reinterpret_cast<WPARAM>(yellow.get()), 0);
  const int asked = form_->controlColorRequests();
  InvalidateRect(field, nullptr, TRUE);
  shot = Capture(field);
  EXPECT_EQ(shot.Count(corner, RGB(255, 255, 0)), 20 * (client.bottom - client.top));
  EXPECT_EQ(form_->controlColorRequests(), asked);
  SendMessageA(field, HEM_SETBKBRUSH, 0, 0);
  DestroyWindow(field);
}

// After each step the control has repainted only what it invalidated itself;
// that must look exactly like a complete repaint of it.
TEST_F(HEditViewTest, WhatEachChangeRepaintsMatchesACompleteRepaint) {
  struct Step {
    const char* what;
    std::function<void(HWND, const RECT&)> act;
  };
  const int y = 12;
  const Step steps[] = {
      {"typing past the width",
       [](HWND f, const RECT&) { Type(f, "The quick brown fox jumps over the lazy dog"); }},
      {"a line back", [](HWND f, const RECT&) { SendMessageA(f, WM_HSCROLL, SB_LINELEFT, 0); }},
      {"three lines back",
       [](HWND f, const RECT&) {
         for (int i = 0; i < 3; ++i) SendMessageA(f, WM_HSCROLL, SB_LINELEFT, 0);
       }},
      {"a page forward", [](HWND f, const RECT&) { SendMessageA(f, WM_HSCROLL, SB_PAGERIGHT, 0); }},
      {"a page back", [](HWND f, const RECT&) { SendMessageA(f, WM_HSCROLL, SB_PAGELEFT, 0); }},
      {"Home", [](HWND f, const RECT&) { Press(f, VK_HOME); }},
      {"a selection", [](HWND f, const RECT&) { SendMessageA(f, HEM_SETSELECTION, 2, 9); }},
      {"a smaller selection", [](HWND f, const RECT&) { SendMessageA(f, HEM_SETSELECTION, 4, 6); }},
      {"a selection moved", [](HWND f, const RECT&) { SendMessageA(f, HEM_SETSELECTION, 5, 12); }},
      {"typing over it", [](HWND f, const RECT&) { Type(f, "Q"); }},
      {"a click", [y](HWND f, const RECT& r) { Click(f, r.left + 30, y); }},
      {"a shift click", [y](HWND f, const RECT& r) { Click(f, r.right - 5, y, MK_SHIFT); }},
      {"Backspace", [](HWND f, const RECT&) { Type(f, "\b"); }},
      {"End", [](HWND f, const RECT&) { Press(f, VK_END); }},
      {"Backspace at the end", [](HWND f, const RECT&) { Type(f, "\b\b\b"); }},
  };
  TestFont smooth(-16, ANTIALIASED_QUALITY);
  for (DWORD align : {DWORD{0}, DWORD{HS_EDITRIGHT}}) {
    const char* layout = align ? "right-aligned" : "left-aligned";
    HWND field = CreateField("%ss", align | ES_AUTOHSCROLL | WS_HSCROLL, 150, 44);
    // Scrolling moves drawn pixels by measured widths. Unsmoothed glyphs can land
    // a pixel away from their measured place (they do under Wine at some sizes);
    // smoothed ones keep to it, so that any difference left is the control's.
    SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(smooth.get()), TRUE);
    Focus(field);
    const RECT rect = TextRect(field);
    RECT client{};
    GetClientRect(field, &client);
    for (const Step& step : steps) {
      step.act(field, rect);
      const Snapshot incremental = CaptureAsIs(field);
      const Snapshot complete = Capture(field);
      ASSERT_TRUE(incremental.Valid() && complete.Valid());
      EXPECT_EQ(DifferingPixels(incremental, complete, client), 0)
          << layout << ", after " << step.what << " (text \"" << Text(field) << "\", scrolled "
          << SendMessageA(field, HEM_GETSCROLLPOS, 0, 0) << ")";
    }
    DestroyWindow(field);
  }
}

TEST_F(HEditViewTest, ATextShorterThanItsScrollOffsetIsShownWithItsEndInView) {
  FontDc dc(font_.get());
  for (const std::string shorter : {"Fox", "Jumps over the lazy"}) {
    HWND field = CreateField("%ss", ES_AUTOHSCROLL, 120, 24);
    Focus(field);
    Type(field, "The quick brown fox jumps over the lazy dog");
    ASSERT_GT(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), 25);
    // Not focused, nothing moves the caret into view: the offset alone must follow.
    Unfocus();
    SendMessageA(field, HEM_SETVALUE, 0, reinterpret_cast<LPARAM>(shorter.c_str()));
    EXPECT_EQ(Text(field), shorter);
    const RECT rect = TextRect(field);
    const int length = static_cast<int>(shorter.size());
    int fit = 0;  // characters that fit, counted from the end
    while (fit < length &&
           dc.Width(shorter.c_str() + length - fit - 1, fit + 1) <= rect.right - rect.left) {
      ++fit;
    }
    EXPECT_EQ(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), length - fit) << shorter;
    const auto ink = InkColumns(Capture(field), rect, kBlack);
    EXPECT_GE(ink.first, rect.left) << shorter;
    EXPECT_LE(ink.first, rect.left + 3) << shorter;
    DestroyWindow(field);
  }
}

TEST_F(HEditViewTest, ScrollingAFieldThatDoesNotScrollByItselfRedrawsIt) {
  // Without ES_AUTOHSCROLL the host may still set the offset of a long value.
  HWND field = CreateField("%ss", 0, 120, 24);
  SendMessageA(field, HEM_SETVALUE, 0,
               reinterpret_cast<LPARAM>("The quick brown fox jumps over the lazy dog"));
  Unfocus();
  CaptureAsIs(field);
  SendMessageA(field, quillet::HEM_SETSCROLLPOS, 4, 0);
  EXPECT_EQ(SendMessageA(field, HEM_GETSCROLLPOS, 0, 0), 4);
  RECT client{};
  GetClientRect(field, &client);
  const Snapshot incremental = CaptureAsIs(field);
  EXPECT_EQ(DifferingPixels(incremental, Capture(field), client), 0);
  // The text now starts with "quick".
  const auto ink = InkColumns(incremental, TextRect(field), kBlack);
  EXPECT_LE(ink.first, TextRect(field).left + 2);
}

TEST_F(HEditViewTest, PasswordFieldsAreHitTestedOnTheFillCharacters) {
  HWND field = CreateField("%ssiiiiWWWW", ES_PASSWORD, 200, 24);
  Focus(field);
  const RECT rect = TextRect(field);
  const int y = (rect.top + rect.bottom) / 2;
  // Real widths would put these points elsewhere: "iiii" is far narrower than "****".
  ASSERT_LT(Width("iiii") + Width("*"), Width("****"));
  for (int k = 0; k <= 8; ++k) {
    Click(field, rect.left + Width(std::string(static_cast<size_t>(k), '*')), y);
    EXPECT_EQ(Selection(field), std::make_pair(k, k)) << k;
  }
}

TEST_F(HEditViewTest, FocusHighlightBrushPaintsOnlyWhileFocused) {
  HWND field = CreateField("%ssab", quillet::HS_FOCUSHILITE, 160, 24);
  Unfocus();
  RECT client{};
  GetClientRect(field, &client);
  const RECT corner = {client.right - 20, 0, client.right, client.bottom};
  const int pixels = 20 * (client.bottom - client.top);
  Snapshot shot = Capture(field);
  EXPECT_EQ(shot.Count(corner, GetSysColor(COLOR_WINDOW)), pixels);
  Focus(field);
  shot = Capture(field);
  // The focus brush of a control on a white window is light grey.
  ASSERT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(shot.Count(corner, RGB(192, 192, 192)), pixels);
}

// The caret as the system holds it for the thread: position and size.
RECT CaretRect() {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  GetGUIThreadInfo(GetCurrentThreadId(), &thread);
  return thread.rcCaret;
}

TEST_F(HEditViewTest, OverwriteCaretCoversTheCharacterItWillReplace) {
  struct ModeRestorer {
    HWND field;
    ~ModeRestorer() { SendMessageA(field, quillet::HEM_SETOVERWRITE, 0, 0); }
  };
  HWND field = CreateField("%ssWiW", 0, 160, 24);
  ModeRestorer restore{field};
  const RECT rect = TextRect(field);
  Focus(field);
  // Inserting: the thin system caret, as tall as the text.
  RECT caret = CaretRect();
  EXPECT_LE(caret.right - caret.left, 2);
  EXPECT_EQ(caret.bottom - caret.top, rect.bottom - rect.top);

  SendMessageA(field, quillet::HEM_SETOVERWRITE, 1, 0);
  SendMessageA(field, HEM_SETSELECTION, 1, 1);
  caret = CaretRect();
  EXPECT_EQ(caret.right - caret.left, Width("i"));
  EXPECT_EQ(caret.left, rect.left + Width("W") + 1);
  SendMessageA(field, HEM_SETSELECTION, 2, 2);
  EXPECT_EQ(CaretRect().right - CaretRect().left, Width("W"));
  // With a selection nothing single is overwritten: the thin caret again.
  SendMessageA(field, HEM_SETSELECTION, 0, 2);
  EXPECT_LE(CaretRect().right - CaretRect().left, 2);
}

TEST_F(HEditViewTest, PasswordFieldShowsOnlyItsFillCharacter) {
  HWND hidden = CreateField("%ssWiMi", ES_PASSWORD, 160, 24, 101, 10, 10);
  HWND stars = CreateField("%ss****", 0, 160, 24, 102, 10, 50);
  Unfocus();
  EXPECT_EQ(Text(hidden), "WiMi");
  const RECT rect = TextRect(hidden);
  const Snapshot a = Capture(hidden), b = Capture(stars);
  ASSERT_TRUE(a.Valid() && b.Valid());
  int differing = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) differing += a.At(x, y) != b.At(x, y);
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(a.Count(rect, kBlack), 5);
}

}  // namespace
}  // namespace hedit_tests
