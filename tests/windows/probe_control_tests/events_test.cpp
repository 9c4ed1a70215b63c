// The probe's events as a container's sink receives them: every argument type by
// value and by reference, what the sink writes back, events without arguments,
// and freezing.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/windows/probe_control_tests/probe_fixture.h"

namespace probe_tests {
namespace {

class EventsTest : public ProbeTest {
 protected:
  void Connect(IUnknown* control) {
    Ref<IConnectionPointContainer> container;
    ASSERT_EQ(control->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid()),
              S_OK);
    ASSERT_EQ(container->FindConnectionPoint(DIID_DProbeControlEvents, point_.Receive()), S_OK);
    ASSERT_EQ(point_->Advise(sink_.Get(), &cookie_), S_OK);
    EXPECT_NE(cookie_, 0u);
  }
  void TearDown() override {
    if (point_) point_->Unadvise(cookie_);
    point_.Reset();
    sink_.Reset();
    ProbeTest::TearDown();
  }

  Ref<RecordingSink> sink_{new RecordingSink};
  Ref<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

TEST_F(EventsTest, FireAllSendsEveryTypeByValueInDeclaredOrder) {
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  Connect(control.Get());
  ASSERT_EQ(Call(control.Get(), kDispidFireAll), S_OK);
  ASSERT_EQ(sink_->events.size(), 2u);
  const SeenEvent& event = sink_->events[0];
  EXPECT_EQ(event.dispid, kEventValueArguments);
  EXPECT_EQ(event.flags, DISPATCH_METHOD);
  EXPECT_EQ(event.namedCount, 0u);
  ASSERT_EQ(event.arguments.size(), 9u);
  const VARTYPE types[] = {VT_BOOL, VT_I2,   VT_I4,   VT_R4,      VT_R8,
                           VT_CY,   VT_DATE, VT_BSTR, VT_DISPATCH};
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(event.arguments[i].type, types[i]) << "position " << i;
  EXPECT_EQ(event.arguments[0].integer, kProbeValueBool);
  EXPECT_EQ(event.arguments[1].integer, kProbeValueShort);
  EXPECT_EQ(event.arguments[2].integer, kProbeValueLong);
  EXPECT_EQ(event.arguments[3].real, kProbeValueFloat);
  EXPECT_EQ(event.arguments[4].real, kProbeValueDouble);
  EXPECT_EQ(event.arguments[5].integer, kProbeValueCurrency);
  EXPECT_EQ(event.arguments[6].real, kProbeValueDate);
  EXPECT_EQ(event.arguments[7].text, kProbeValueText);
  EXPECT_TRUE(event.arguments[8].object);
  // The object argument has no default value to coerce to.
  EXPECT_FALSE(event.arguments[8].objectHasValue);
}

TEST_F(EventsTest, ReferenceArgumentsCarryWhatTheSinkWroteBackToTheControl) {
  struct Case {
    bool writeBack;
    SHORT small;
    VARIANT_BOOL flag;
    LONG whole;
    double real;
    const wchar_t* text;
    LONGLONG money;
    DATE when;
  } cases[] = {
      {true, kWrittenShort, kWrittenBool, kWrittenLong, kWrittenDouble, kWrittenText,
       kWrittenCurrency, kWrittenDate},
      {false, kProbeRefShort, kProbeRefBool, kProbeRefLong, kProbeRefDouble, kProbeRefText,
       kProbeRefCurrency, kProbeRefDate},
  };
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  Connect(control.Get());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.writeBack ? "written back" : "left alone");
    sink_->events.clear();
    sink_->writeBack = c.writeBack;
    ASSERT_EQ(Call(control.Get(), kDispidFireAll), S_OK);
    ASSERT_EQ(sink_->events.size(), 2u);
    const SeenEvent& event = sink_->events[1];
    EXPECT_EQ(event.dispid, kEventReferenceArguments);
    ASSERT_EQ(event.arguments.size(), 7u);
    const VARTYPE types[] = {VT_I2, VT_BOOL, VT_I4, VT_R8, VT_BSTR, VT_CY, VT_DATE};
    for (size_t i = 0; i < 7; ++i) {
      EXPECT_EQ(event.arguments[i].type, VT_BYREF | types[i]) << "position " << i;
    }
    // The sink saw the control's own values before it wrote.
    EXPECT_EQ(event.arguments[0].integer, kProbeRefShort);
    EXPECT_EQ(event.arguments[2].integer, kProbeRefLong);
    EXPECT_EQ(event.arguments[4].text, kProbeRefText);
    const ProbeStats stats = Stats();
    EXPECT_EQ(stats.byRefShort, c.small);
    EXPECT_EQ(stats.byRefBool, c.flag);
    EXPECT_EQ(stats.byRefLong, c.whole);
    EXPECT_EQ(stats.byRefDouble, c.real);
    EXPECT_STREQ(stats.byRefText, c.text);
    EXPECT_EQ(stats.byRefCurrency.int64, c.money);
    EXPECT_EQ(stats.byRefDate, c.when);
    Variant answer;
    ASSERT_EQ(Get(control.Get(), kDispidByRefText, answer), S_OK);
    EXPECT_STREQ(answer.bstrVal, c.text);
    ASSERT_EQ(Get(control.Get(), kDispidByRefLong, answer), S_OK);
    EXPECT_EQ(answer.lVal, c.whole);
  }
  EXPECT_EQ(Stats().writeBacksRecorded, 2);
}

TEST_F(EventsTest, EventsWithNoAndWithTwoArguments) {
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControlNoPages, control), S_OK);
  Connect(control.Get());
  ASSERT_EQ(Call(control.Get(), kDispidFireNoArgs), S_OK);
  TextVariant second(L"second");
  ASSERT_EQ(Call(control.Get(), kDispidFireTwo, {Long(5), second}), S_OK);
  ASSERT_EQ(sink_->events.size(), 2u);
  EXPECT_EQ(sink_->events[0].dispid, kEventNoArguments);
  EXPECT_TRUE(sink_->events[0].arguments.empty());
  EXPECT_TRUE(sink_->events[0].argumentsNull);
  EXPECT_EQ(sink_->events[1].dispid, kEventTwoArguments);
  ASSERT_EQ(sink_->events[1].arguments.size(), 2u);
  EXPECT_EQ(sink_->events[1].arguments[0].type, VT_I4);
  EXPECT_EQ(sink_->events[1].arguments[0].integer, 5);
  EXPECT_EQ(sink_->events[1].arguments[1].type, VT_BSTR);
  EXPECT_EQ(sink_->events[1].arguments[1].text, L"second");
  // A method's missing argument is refused, and nothing is fired.
  EXPECT_EQ(Call(control.Get(), kDispidFireTwo, {Long(5)}), DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(sink_->events.size(), 2u);
}

TEST_F(EventsTest, FrozenEventsAreNotFiredAndUnadvisedSinksHearNothing) {
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  Connect(control.Get());
  Ref<IOleControl> oleControl;
  ASSERT_EQ(control->QueryInterface(IID_IOleControl, oleControl.ReceiveVoid()), S_OK);
  oleControl->FreezeEvents(TRUE);
  oleControl->FreezeEvents(TRUE);
  ASSERT_EQ(Call(control.Get(), kDispidFireNoArgs), S_OK);
  oleControl->FreezeEvents(FALSE);
  ASSERT_EQ(Call(control.Get(), kDispidFireNoArgs), S_OK);
  EXPECT_TRUE(sink_->events.empty());
  EXPECT_EQ(Stats().eventsSuppressed, 2);
  oleControl->FreezeEvents(FALSE);
  ASSERT_EQ(Call(control.Get(), kDispidFireNoArgs), S_OK);
  EXPECT_EQ(sink_->events.size(), 1u);

  EXPECT_EQ(point_->Unadvise(cookie_ + 100), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(point_->Unadvise(cookie_), S_OK);
  EXPECT_EQ(point_->Unadvise(cookie_), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(Call(control.Get(), kDispidFireNoArgs), S_OK);
  EXPECT_EQ(sink_->events.size(), 1u);
  // The sink holds no reference once unadvised.
  EXPECT_EQ(sink_->References(), 1);
  point_.Reset();
}

TEST_F(EventsTest, ControlReleasedFromInsideItsOwnEventLivesUntilTheEventIsOver) {
  Ref<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ProbeControl, control), S_OK);
  Connect(control.Get());
  point_.Reset();
  IDispatch* raw = control.Get();
  sink_->duringInvoke = [&] {
    sink_->duringInvoke = nullptr;
    control.Reset();
  };
  ASSERT_EQ(Call(raw, kDispidFireAll), S_OK);
  // Both events of FireAll arrived although the host let go after the first.
  EXPECT_EQ(sink_->events.size(), 2u);
  EXPECT_EQ(Stats().writeBacksRecorded, 1);
  EXPECT_EQ(Stats().liveControls, 0);
  // The control's sinks went with it.
  EXPECT_EQ(sink_->References(), 1);
}

TEST_F(EventsTest, TheOnlyConnectionPointIsTheEventInterface) {
  Ref<IConnectionPointContainer> container;
  ASSERT_EQ(Create(CLSID_ProbeControl, container), S_OK);
  Ref<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, point.Receive()),
            CONNECT_E_NOCONNECTION);
  Ref<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(points.Receive()), S_OK);
  IConnectionPoint* found[2] = {};
  ULONG fetched = 0;
  EXPECT_EQ(points->Next(2, found, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  Ref<IConnectionPoint> only(found[0]);
  IID iid{};
  ASSERT_EQ(only->GetConnectionInterface(&iid), S_OK);
  EXPECT_TRUE(IsEqualIID(iid, DIID_DProbeControlEvents));
  Ref<IConnectionPointContainer> back;
  ASSERT_EQ(only->GetConnectionPointContainer(back.Receive()), S_OK);
  EXPECT_EQ(back.Get(), container.Get());
  // A sink that is no dispatch interface cannot connect.
  Ref<IStream> notASink;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, notASink.Receive()), S_OK);
  DWORD cookie = 0;
  EXPECT_EQ(only->Advise(notASink.Get(), &cookie), CONNECT_E_CANNOTCONNECT);
}

}  // namespace
}  // namespace probe_tests
