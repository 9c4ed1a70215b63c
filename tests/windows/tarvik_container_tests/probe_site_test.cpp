// What the control asks of its site: size and position, focus reports, keys and
// coordinate transforms.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/windows/tarvik_container_tests/probe_fixture.h"

namespace container_tests {
namespace {

TEST_F(ProbeTest, TheHostWindowTakesTheSizeTheControlAsksFor) {
  probe().PreferredSize(150, 80, false);
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  EXPECT_EQ(Stats().posRectCalls, 1);
  EXPECT_EQ(Stats().posRectResult, S_OK);
  const RECT outer = host.Outer();
  EXPECT_EQ(outer.left, 10);
  EXPECT_EQ(outer.top, 20);
  EXPECT_EQ(host.OuterSize().cx, 150);
  EXPECT_EQ(host.OuterSize().cy, 80);
  EXPECT_EQ(WindowSize(Stats().window).cx, 150);

  // A request with an offset origin moves the host window within its parent.
  EXPECT_EQ(Call(kDispidRequestRect, {5, 5, 105, 55}), S_OK);
  EXPECT_EQ(host.Outer().left, 15);
  EXPECT_EQ(host.Outer().top, 25);
  EXPECT_EQ(host.OuterSize().cx, 100);
  EXPECT_EQ(host.OuterSize().cy, 50);
  const ProbeStats stats = Stats();
  EXPECT_EQ(stats.lastPosRect.left, 5);
  EXPECT_EQ(stats.lastPosRect.right, 105);
  EXPECT_EQ(stats.lastClipRect.right, 100);
  EXPECT_EQ(stats.lastClipRect.bottom, 50);
}

TEST_F(ProbeTest, AHostWithABorderGivesTheControlItsOuterSize) {
  HostWindow host(200, 100, WS_BORDER);
  RECT client = {};
  GetClientRect(host.Handle(), &client);
  ASSERT_LT(client.right, 200);
  ASSERT_EQ(Create(host), 1);
  const ProbeStats stats = Stats();
  EXPECT_EQ(stats.lastPosRect.right - stats.lastPosRect.left, 200);
  EXPECT_EQ(stats.lastPosRect.bottom - stats.lastPosRect.top, 100);
  EXPECT_EQ(WindowSize(stats.window).cx, 200);
  EXPECT_EQ(host.OuterSize().cx, 200);
  EXPECT_EQ(host.OuterSize().cy, 100);
}

TEST_F(ProbeTest, ResizingTheHostResizesTheControl) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  const HWND control = Stats().window;
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(WindowSize(control).cx, 200);
  SetWindowPos(host.Handle(), nullptr, 0, 0, 180, 90, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(WindowSize(control).cx, 180);
  EXPECT_EQ(WindowSize(control).cy, 90);
  EXPECT_EQ(host.OuterSize().cx, 180);
}

TEST_F(ProbeTest, AControlThatKeepsItsSizeSnapsTheHostBackWithoutALoop) {
  probe().PreferredSize(150, 80, true);
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  EXPECT_EQ(host.OuterSize().cx, 150);
  const LONG before = Stats().setObjectRectsCalls;
  SetWindowPos(host.Handle(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(host.OuterSize().cx, 150);
  EXPECT_EQ(host.OuterSize().cy, 80);
  EXPECT_EQ(WindowSize(Stats().window).cx, 150);
  EXPECT_LE(Stats().setObjectRectsCalls - before, 2);
}

TEST_F(ProbeTest, FocusChangesAreReportedOnceAndNotReentered) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  EXPECT_EQ(CallBool(kDispidRequestFocus, true), S_OK);
  EXPECT_EQ(CallBool(kDispidRequestFocus, false), S_OK);
  auto notifications = [&] {
    std::vector<LPARAM> seen;
    for (const auto& message : host.messages) {
      if (message.message == host.OcxNotify()) {
        EXPECT_EQ(message.wParam, 1u);
        seen.push_back(message.lParam);
      }
    }
    return seen;
  };
  EXPECT_EQ(notifications(), (std::vector<LPARAM>{1, 0}));

  // The host answers a gain by moving the focus: the control's nested report
  // is not sent, and the guard is down again afterwards.
  host.messages.clear();
  int nested = -1;
  host.onMessage = [&](const HostMessage& message) {
    if (message.message == host.OcxNotify() && message.lParam && nested == -1) {
      nested = CallBool(kDispidRequestFocus, true);
    }
  };
  EXPECT_EQ(CallBool(kDispidRequestFocus, true), S_OK);
  EXPECT_EQ(nested, S_OK);
  EXPECT_EQ(notifications(), (std::vector<LPARAM>{1}));
  host.onMessage = nullptr;
  EXPECT_EQ(CallBool(kDispidRequestFocus, true), S_OK);
  EXPECT_EQ(notifications(), (std::vector<LPARAM>{1, 1}));
}

TEST_F(ProbeTest, KeysOfTheHostWindowReachTheControlAndTheHost) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  for (UINT message : {WM_KEYDOWN, WM_CHAR, WM_KEYUP}) {
    const LONG before = Stats().keyMessages;
    SendMessageA(host.Handle(), message, 'A', 1);
    EXPECT_EQ(Stats().keyMessages, before + 1) << message;
    EXPECT_EQ(Stats().lastKeyMessage, message);
    EXPECT_EQ(Stats().lastKeyWParam, static_cast<WPARAM>('A'));
  }
  EXPECT_EQ(host.keys, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
}

TEST_F(ProbeTest, TheSiteTransformsHimetricToPixelsAndBack) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  HDC screen = GetDC(nullptr);
  const int perInchX = GetDeviceCaps(screen, LOGPIXELSX);
  const int perInchY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  constexpr int toContainer = XFORMCOORDS_HIMETRICTOCONTAINER;
  constexpr int toHimetric = XFORMCOORDS_CONTAINERTOHIMETRIC;
  constexpr int size = XFORMCOORDS_SIZE;
  constexpr int position = XFORMCOORDS_POSITION;
  for (int flags : {toContainer | size, toContainer | toHimetric | size}) {
    EXPECT_EQ(Call(kDispidTransform, {2540, 2540, flags}), S_OK) << flags;
    EXPECT_EQ(Stats().transformContainer.x, static_cast<float>(perInchX)) << flags;
    EXPECT_EQ(Stats().transformContainer.y, static_cast<float>(perInchY)) << flags;
  }
  EXPECT_EQ(Call(kDispidTransform, {perInchX, perInchY, toHimetric | size}), S_OK);
  EXPECT_NEAR(Stats().transformHimetric.x, 2540, 30);
  EXPECT_NEAR(Stats().transformHimetric.y, 2540, 30);
  // Positions keep the mapping's direction: y grows downward in HIMETRIC no more.
  EXPECT_EQ(Call(kDispidTransform, {2540, 2540, toContainer | position}), S_OK);
  EXPECT_EQ(Stats().transformContainer.x, static_cast<float>(perInchX));
  EXPECT_EQ(Stats().transformContainer.y, static_cast<float>(-perInchY));
  for (int flags : {toContainer, toHimetric, toContainer | toHimetric, size, 0}) {
    EXPECT_EQ(Call(kDispidTransform, {2540, 2540, flags}), E_INVALIDARG) << flags;
  }
}

}  // namespace
}  // namespace container_tests

namespace container_tests {
namespace {

TEST_F(ProbeTest, TheControlsMnemonicReachesItThroughTheHostWindow) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  // Alt held down, as the accelerator test reads the keyboard state.
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  const BYTE altBefore = keys[VK_MENU];
  keys[VK_MENU] = 0x80;
  SetKeyboardState(keys);
  constexpr LPARAM kAltDown = LPARAM{1} << 29;
  SendMessageA(host.Handle(), WM_SYSKEYDOWN, 'Q', kAltDown | 1);
  const LONG afterOther = Stats().mnemonics;
  SendMessageA(host.Handle(), WM_SYSKEYDOWN, kProbeMnemonicKey, kAltDown | 1);
  const LONG afterMnemonic = Stats().mnemonics;
  keys[VK_MENU] = altBefore;
  SetKeyboardState(keys);
  EXPECT_EQ(afterOther, 0);
  EXPECT_EQ(afterMnemonic, 1);
  // The key itself reaches the control too.
  EXPECT_EQ(Stats().lastKeyMessage, static_cast<UINT>(WM_SYSKEYDOWN));
}

TEST_F(ProbeTest, FocusOnTheHostWindowGoesToTheControl) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  SetForegroundWindow(host.Frame());
  SetFocus(host.Handle());
  Pump();
  EXPECT_GE(Stats().uiActivations, 1);
  EXPECT_EQ(GetFocus(), Stats().window);
}

}  // namespace
}  // namespace container_tests
