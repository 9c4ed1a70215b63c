// Property writes: plain ones through the dispatch driver as the one named
// argument, indexed ones after the declared indices; the bool rule and objects
// written by reference.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleauto.h>

#include "tests/windows/tarvik_automation_tests/automation_fixture.h"

namespace automation_tests {
namespace {

using PropertyWrite = AutomationTest;

constexpr DISPID kProperty = 5;

// The one argument of a plain write: the value, named DISPID_PROPERTYPUT.
::testing::AssertionResult PlainWrite(const SeenCall& call, WORD flags, VARTYPE type) {
  if (call.dispid != kProperty || call.flags != flags || call.resultWanted) {
    return ::testing::AssertionFailure() << "DISPID " << call.dispid << ", flags " << call.flags;
  }
  if (call.arguments.size() != 1 || call.named != std::vector<DISPID>{DISPID_PROPERTYPUT}) {
    return ::testing::AssertionFailure() << call.arguments.size() << " arguments";
  }
  if (call.arguments[0].type != type) {
    return ::testing::AssertionFailure() << "type " << call.arguments[0].type;
  }
  return ::testing::AssertionSuccess();
}

TEST_F(PropertyWrite, PlainWritersSendTheValueAsTheNamedPutArgument) {
  auto& c = calls_;
  const int h = handle_;
  EXPECT_EQ(c.setAutoClientShortProperty(h, kProperty, 0x18001), 1);
  EXPECT_TRUE(PlainWrite(LastCall(), DISPATCH_PROPERTYPUT, VT_I2));
  EXPECT_EQ(LastCall().arguments[0].integer, -32767);
  EXPECT_EQ(c.setAutoClientIntegerProperty(h, kProperty, -9), 1);
  EXPECT_TRUE(PlainWrite(LastCall(), DISPATCH_PROPERTYPUT, VT_I4));
  EXPECT_EQ(LastCall().arguments[0].integer, -9);
  EXPECT_EQ(c.setAutoClientDateProperty(h, kProperty, 0xFF0B2584u), 1);
  EXPECT_TRUE(PlainWrite(LastCall(), DISPATCH_PROPERTYPUT, VT_DATE));
  EXPECT_EQ(LastCall().arguments[0].real, 36526.0);
  EXPECT_EQ(c.setAutoClientCurrencyProperty(h, kProperty, "-3.25"), 1);
  EXPECT_TRUE(PlainWrite(LastCall(), DISPATCH_PROPERTYPUT, VT_CY));
  EXPECT_EQ(LastCall().arguments[0].currency, -32500);
  char real[] = "6.75";
  EXPECT_EQ(c.setAutoClientRealProperty(h, kProperty, real), 1);
  EXPECT_TRUE(PlainWrite(LastCall(), DISPATCH_PROPERTYPUT, VT_R8));
  EXPECT_EQ(LastCall().arguments[0].real, 6.75);
  EXPECT_EQ(c.setAutoClientShortRealProperty(h, kProperty, real), 1);
  EXPECT_TRUE(PlainWrite(LastCall(), DISPATCH_PROPERTYPUT, VT_R4));
  EXPECT_EQ(LastCall().arguments[0].real, 6.75);
  EXPECT_EQ(c.setAutoClientStringProperty(h, kProperty, "new text"), 1);
  EXPECT_TRUE(PlainWrite(LastCall(), DISPATCH_PROPERTYPUT, VT_BSTR));
  EXPECT_EQ(LastCall().arguments[0].text, L"new text");
  EXPECT_EQ(c.setAutoClientStringProperty(h, kProperty, nullptr), 1);
  EXPECT_EQ(LastCall().arguments[0].text, L"");
  tarvik::HostVariant record = {};
  record.type = VT_UI1;
  record.byteValue = 0x1FF;
  EXPECT_EQ(c.setAutoClientOLEVariantProperty(h, kProperty, &record), 1);
  EXPECT_TRUE(PlainWrite(LastCall(), DISPATCH_PROPERTYPUT, VT_UI1));
  EXPECT_EQ(LastCall().arguments[0].integer, 0xFF);
  const size_t sent = probe_->calls.size();
  EXPECT_EQ(c.setAutoClientOLEVariantProperty(h, kProperty, nullptr), 0);
  EXPECT_EQ(probe_->calls.size(), sent);

  // An object is written by reference without a reference being taken; in a
  // record it is an ordinary put.
  auto* other = new RecordingDispatch;
  EXPECT_EQ(c.setAutoClientLPDispatchProperty(h, kProperty, other), 1);
  EXPECT_TRUE(PlainWrite(LastCall(), DISPATCH_PROPERTYPUTREF, VT_DISPATCH));
  EXPECT_EQ(LastCall().arguments[0].pointer, static_cast<IDispatch*>(other));
  record.type = VT_DISPATCH;
  record.dispatch = other;
  EXPECT_EQ(c.setAutoClientOLEVariantProperty(h, kProperty, &record), 1);
  EXPECT_TRUE(PlainWrite(LastCall(), DISPATCH_PROPERTYPUT, VT_DISPATCH));
  EXPECT_EQ(other->AddRefCalls(), 0);
  other->Release();
  EXPECT_TRUE(boxes_.boxes().empty());

  const long growth = HeapGrowth(50, [&] {
    c.setAutoClientStringProperty(h, kProperty, "a value long enough for a block");
    probe_->calls.clear();
  });
  EXPECT_LT(growth, 25);
}

TEST_F(PropertyWrite, APlainBoolWriteSendsVariantTrueAndAnIndexedOneTheHostsBits) {
  for (int value : {1, 0x10000, -1}) {
    EXPECT_EQ(calls_.setAutoClientBoolProperty(handle_, kProperty, value), 1);
    EXPECT_TRUE(PlainWrite(LastCall(), DISPATCH_PROPERTYPUT, VT_BOOL));
    EXPECT_EQ(LastCall().arguments[0].integer, VARIANT_TRUE) << value;
  }
  calls_.setAutoClientBoolProperty(handle_, kProperty, 0);
  EXPECT_EQ(LastCall().arguments[0].integer, VARIANT_FALSE);

  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 2), 1);
  calls_.defineAutoClientIntegerParam(handle_, 4);
  EXPECT_EQ(calls_.setAutoClientBoolProperty(handle_, kProperty, 1), 1);
  ASSERT_EQ(LastCall().arguments.size(), 2u);
  EXPECT_EQ(LastCall().arguments[0].type, VT_BOOL);
  EXPECT_EQ(LastCall().arguments[0].integer, 1);
}

TEST_F(PropertyWrite, AnIndexedWriteSendsTheIndicesAndTheValueLast) {
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 3), 1);
  calls_.defineAutoClientIntegerParam(handle_, 2);
  calls_.defineAutoClientIntegerParam(handle_, 3);
  EXPECT_EQ(calls_.setAutoClientStringProperty(handle_, kProperty, "value"), 1);
  const SeenCall& call = LastCall();
  EXPECT_EQ(call.flags, DISPATCH_PROPERTYPUT);
  EXPECT_FALSE(call.resultWanted);
  ASSERT_EQ(call.arguments.size(), 3u);
  EXPECT_EQ(call.arguments[2].integer, 2);
  EXPECT_EQ(call.arguments[1].integer, 3);
  EXPECT_EQ(call.arguments[0].text, L"value");
  EXPECT_EQ(call.named, std::vector<DISPID>{DISPID_PROPERTYPUT});
  EXPECT_TRUE(ListIsEmpty());

  // An object as the value of an indexed write is put, not put by reference.
  auto* other = new RecordingDispatch;
  calls_.declareAutoClientInvokeParams(handle_, 2);
  calls_.defineAutoClientStringParam(handle_, "key");
  EXPECT_EQ(calls_.setAutoClientLPDispatchProperty(handle_, kProperty, other), 1);
  EXPECT_EQ(LastCall().flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(LastCall().arguments[0].type, VT_DISPATCH);
  EXPECT_EQ(other->AddRefCalls(), 0);
  other->Release();

  // A reader consumes declared indices too, and sends no name.
  probe_->AnswerText(L"cell");
  calls_.declareAutoClientInvokeParams(handle_, 1);
  calls_.defineAutoClientIntegerParam(handle_, 6);
  EXPECT_EQ(TakeHostText(calls_.getAutoClientStringProperty(handle_, kProperty)), "cell");
  EXPECT_EQ(LastCall().arguments.size(), 1u);
  EXPECT_TRUE(LastCall().named.empty());

  const long growth = HeapGrowth(50, [&] {
    calls_.declareAutoClientInvokeParams(handle_, 2);
    calls_.defineAutoClientStringParam(handle_, "an index text of some length");
    calls_.setAutoClientStringProperty(handle_, kProperty, "a value text of some length");
    probe_->calls.clear();
  });
  EXPECT_LT(growth, 25);
}

TEST_F(PropertyWrite, AnIndexedWriteWithoutRoomForItsValueSendsNothing) {
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
  calls_.defineAutoClientIntegerParam(handle_, 2);
  EXPECT_EQ(calls_.setAutoClientIntegerProperty(handle_, kProperty, 99), 0);
  EXPECT_TRUE(probe_->calls.empty());
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_TRUE(ListIsEmpty());
}

TEST_F(PropertyWrite, ACurrencyTextThatDoesNotParseStopsTheWriteAtOnce) {
  ASSERT_EQ(api_.setSilentErrorMode(handle_, 1), 1);
  probe_->Refuse(DISP_E_EXCEPTION, L"earlier");
  calls_.invokeAutoClientVoidFunction(handle_, 1);
  ASSERT_EQ(LastError(), "earlier");
  probe_->calls.clear();
  EXPECT_EQ(calls_.setAutoClientCurrencyProperty(handle_, kProperty, "twelve"), 0);
  EXPECT_EQ(calls_.setAutoClientCurrencyProperty(handle_, kProperty, nullptr), 0);
  EXPECT_TRUE(probe_->calls.empty());
  EXPECT_EQ(LastError(), "earlier");
  // Not even the detached client's report.
  ASSERT_EQ(api_.releaseAutoClientDispatch(handle_), 1);
  EXPECT_EQ(calls_.setAutoClientCurrencyProperty(handle_, kProperty, "twelve"), 0);
  EXPECT_TRUE(boxes_.boxes().empty());
}

}  // namespace
}  // namespace automation_tests
