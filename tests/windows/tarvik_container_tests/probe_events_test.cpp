// Control events as the host receives them: synchronously, with the control's
// own argument block, never while the control is being created.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/windows/tarvik_container_tests/probe_fixture.h"

namespace container_tests {
namespace {

TEST_F(ProbeTest, EventsArriveWithTheirDispidAndArgumentCount) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  Call(kDispidFireAll);
  Call(kDispidFireNoArgs);
  calls_.declareAutoClientInvokeParams(handle_, 2);
  calls_.defineAutoClientIntegerParam(handle_, 5);
  calls_.defineAutoClientStringParam(handle_, "second");
  calls_.invokeAutoClientVoidFunction(handle_, kDispidFireTwo);

  struct Expected {
    WPARAM dispid;
    UINT arguments;
  };
  const Expected expected[] = {{kEventValueArguments, 9},
                               {kEventReferenceArguments, 7},
                               {kEventNoArguments, 0},
                               {kEventTwoArguments, 2}};
  const auto events = host.EventsOnly();
  ASSERT_EQ(events.size(), std::size(expected));
  for (size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].wParam, expected[i].dispid) << i;
    EXPECT_EQ(events[i].argumentCount, expected[i].arguments) << i;
    // An event without arguments comes with no block at all.
    EXPECT_EQ(events[i].lParam == 0, expected[i].arguments == 0) << i;
  }
  EXPECT_EQ(Stats().lastEventResult, S_OK);
}

TEST_F(ProbeTest, TheHostWritesIntoTheControlsOwnBlock) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  int firstDeclared = 0;
  host.onMessage = [&](const HostMessage& message) {
    if (message.message != host.OcxEvent()) return;
    auto* params = reinterpret_cast<DISPPARAMS*>(message.lParam);
    if (message.wParam == kEventTwoArguments) firstDeclared = V_I4(&params->rgvarg[1]);
    if (message.wParam == kEventReferenceArguments) {
      // (short*, VARIANT_BOOL*, long*, ...): the long is the third declared one.
      VARIANTARG& longArgument = params->rgvarg[params->cArgs - 3];
      if (V_VT(&longArgument) == (VT_BYREF | VT_I4)) *V_I4REF(&longArgument) = 31337;
    }
  };
  Call(kDispidFireAll);
  calls_.declareAutoClientInvokeParams(handle_, 2);
  calls_.defineAutoClientIntegerParam(handle_, 5);
  calls_.defineAutoClientStringParam(handle_, "second");
  calls_.invokeAutoClientVoidFunction(handle_, kDispidFireTwo);
  EXPECT_EQ(Stats().byRefLong, 31337);
  EXPECT_EQ(firstDeclared, 5);
}

TEST_F(ProbeTest, EventsFiredDuringCreationAreDropped) {
  probe().FireDuringCreation(true);
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  EXPECT_GT(Stats().creationEventsFired, 0);
  EXPECT_TRUE(host.EventsOnly().empty());
  // Once created, the control's events flow.
  Call(kDispidFireNoArgs);
  EXPECT_EQ(host.EventsOnly().size(), 1u);
}

TEST_F(ProbeTest, PropertyNotificationsAreNotForwarded) {
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  EXPECT_EQ(calls_.setAutoClientIntegerProperty(handle_, kDispidValue, 3), 1);
  EXPECT_EQ(calls_.setAutoClientIntegerProperty(handle_, kDispidColor, RGB(1, 2, 3)), 1);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ProbeTest, TheHostMayDestroyTheClientOrItsWindowInsideAnEvent) {
  {
    HostWindow host;
    ASSERT_EQ(Create(host), 1);
    int destroyed = -1;
    host.onMessage = [&](const HostMessage& message) {
      if (message.message == host.OcxEvent() && destroyed == -1) {
        destroyed = api_.destroyAutomationClient(handle_);
      }
    };
    Call(kDispidFireAll);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(ProcedureOf(host.Handle()), host.OriginalProcedure());
    EXPECT_TRUE(IsWindow(host.Handle()));
    handle_ = ocx_.createOCXClient();
  }
  {
    HostWindow host;
    ASSERT_EQ(Create(host), 1);
    host.onMessage = [&](const HostMessage& message) {
      if (message.message == host.OcxEvent()) DestroyWindow(host.Handle());
    };
    Call(kDispidFireAll);
    EXPECT_FALSE(IsWindow(host.Handle()));
    EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
  }
  {
    // The control itself goes while it is still firing: the events after the
    // first find no site, and the client can make a new control.
    HostWindow host;
    ASSERT_EQ(Create(host), 1);
    int events = 0;
    host.onMessage = [&](const HostMessage& message) {
      if (message.message == host.OcxEvent() && ++events == 1) {
        EXPECT_EQ(ocx_.destroyOCXControl(handle_), 1);
      }
    };
    Call(kDispidFireAll);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(ProcedureOf(host.Handle()), host.OriginalProcedure());
    Pump();
    EXPECT_EQ(Stats().liveControls, 0);
    EXPECT_EQ(Create(host), 1);
  }
  EXPECT_EQ(Boxes(), "");
}

}  // namespace
}  // namespace container_tests
