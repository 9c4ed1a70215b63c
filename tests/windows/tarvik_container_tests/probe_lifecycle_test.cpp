// Many controls made and destroyed in one host window: nothing of them stays.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/gui_objects.h"
#include "tests/support/heap_blocks.h"
#include "tests/windows/tarvik_container_tests/probe_fixture.h"

namespace container_tests {
namespace {

TEST_F(ProbeTest, AThousandCyclesLeaveNoObjectsAndTheHostWindowAsItWas) {
  HostWindow host;
  // A cycle of each kind first, so that what the system keeps once is not counted.
  for (BOOL design : {FALSE, TRUE}) {
    ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, design), 1);
    Call(kDispidFireAll);
    InvalidateRect(host.Handle(), nullptr, TRUE);
    UpdateWindow(host.Handle());
    ASSERT_EQ(ocx_.destroyOCXControl(handle_), 1);
  }
  Pump();
  const long gdiBefore = quorvan::testing::GdiObjects();
  const long userBefore = quorvan::testing::UserObjects();
  const long heapBefore = static_cast<long>(quorvan::testing::BusyHeapBlocks());
  for (int cycle = 0; cycle < 1000; ++cycle) {
    const BOOL design = cycle % 5 == 0;
    ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, design), 1) << cycle;
    if (!design) Call(kDispidFireNoArgs);
    if (design) {
      InvalidateRect(host.Handle(), nullptr, TRUE);
      UpdateWindow(host.Handle());
    }
    ASSERT_EQ(ocx_.destroyOCXControl(handle_), 1) << cycle;
    ASSERT_EQ(ProcedureOf(host.Handle()), host.OriginalProcedure()) << cycle;
  }
  Pump();
  EXPECT_EQ(Stats().liveControls, 0);
  EXPECT_EQ(Stats().liveObjects, 0);
  EXPECT_EQ(quorvan::testing::GdiObjects(), gdiBefore);
  EXPECT_EQ(quorvan::testing::UserObjects(), userBefore);
  // The system's caches keep a few blocks; a block per cycle would be a thousand.
  EXPECT_LT(static_cast<long>(quorvan::testing::BusyHeapBlocks()) - heapBefore, 50);
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ProbeTest, RemovingTheClientTearsTheControlDown) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  EXPECT_EQ(Stats().liveControls, 1);
  EXPECT_EQ(api_.destroyAutomationClient(handle_), 0);
  handle_ = 0;
  EXPECT_EQ(Stats().liveControls, 0);
  EXPECT_EQ(ProcedureOf(host.Handle()), host.OriginalProcedure());
  // Shutting the library down with a control alive does the same.
  handle_ = ocx_.createOCXClient();
  ASSERT_EQ(Create(host), 1);
  api_.qvOleUninit();
  EXPECT_EQ(Stats().liveControls, 0);
  EXPECT_EQ(ProcedureOf(host.Handle()), host.OriginalProcedure());
  Init();
  handle_ = 0;
}

TEST_F(ProbeTest, AnotherClassCanFollowInTheSameClient) {
  HostWindow host;
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, TRUE), 1);
  EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
  ASSERT_EQ(Create(host, WS_CHILD | WS_VISIBLE, FALSE, kProbeControlNoPagesClsidText), 1);
  EXPECT_EQ(Stats().freezeCount, 0);
  EXPECT_EQ(calls_.setAutoClientIntegerProperty(handle_, kDispidValue, 9), 1);
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, kDispidValue), 9);
}

}  // namespace
}  // namespace container_tests
