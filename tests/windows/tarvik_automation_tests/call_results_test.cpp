// What a method or property read gives the host: each family's conversion, the
// reference of an object result, coercion of other types, the two-call length
// protocol and by-reference strings.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleauto.h>

#include <cstring>

#include "tests/windows/tarvik_automation_tests/automation_fixture.h"

namespace automation_tests {
namespace {

using CallResults = AutomationTest;

constexpr DISPID kMember = 7;

TEST_F(CallResults, EachFamilyConvertsTheResultOfAMethodAndOfAProperty) {
  auto& c = calls_;
  const int h = handle_;
  char buffer[64];
  probe_->Answer(VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_TRUE; });
  EXPECT_EQ(c.invokeAutoClientBoolFunction(h, kMember), -1);
  EXPECT_EQ(c.getAutoClientBoolProperty(h, kMember), -1);
  probe_->Answer(VT_I2, [](VARIANT& v) { v.iVal = -2; });
  EXPECT_EQ(c.invokeAutoClientShortFunction(h, kMember), -2);
  EXPECT_EQ(c.getAutoClientShortProperty(h, kMember), -2);
  probe_->Answer(VT_I4, [](VARIANT& v) { v.lVal = -123456789; });
  EXPECT_EQ(c.invokeAutoClientIntegerFunction(h, kMember), -123456789);
  EXPECT_EQ(c.getAutoClientIntegerProperty(h, kMember), -123456789);
  probe_->Answer(VT_DATE, [](VARIANT& v) { v.date = 36526.75; });
  EXPECT_EQ(c.invokeAutoClientDateFunction(h, kMember), 730500u);
  EXPECT_EQ(c.getAutoClientDateProperty(h, kMember), 730500u);
  probe_->Answer(VT_CY, [](VARIANT& v) { v.cyVal.int64 = -12345678; });
  EXPECT_EQ(c.invokeAutoClientCurrencyFunction(h, kMember, buffer), 1);
  EXPECT_STREQ(buffer, "-1234.5678");
  EXPECT_EQ(c.getAutoClientCurrencyProperty(h, kMember, buffer), 1);
  EXPECT_STREQ(buffer, "-1234.5678");
  probe_->Answer(VT_R8, [](VARIANT& v) { v.dblVal = 1234.5; });
  EXPECT_EQ(c.invokeAutoClientRealFunction(h, kMember, buffer), 1);
  EXPECT_STREQ(buffer, "1234.500000");
  EXPECT_EQ(c.getAutoClientRealProperty(h, kMember, nullptr), 11);
  probe_->Answer(VT_R4, [](VARIANT& v) { v.fltVal = -0.25f; });
  EXPECT_EQ(c.invokeAutoClientShortRealFunction(h, kMember, nullptr), 9);
  EXPECT_EQ(c.getAutoClientShortRealProperty(h, kMember, buffer), 1);
  EXPECT_STREQ(buffer, "-0.250000");
  probe_->AnswerText(L"a result");
  EXPECT_EQ(TakeHostText(c.invokeAutoClientStringFunction(h, kMember)), "a result");
  EXPECT_EQ(TakeHostText(c.getAutoClientStringProperty(h, kMember)), "a result");
  for (const auto& call : probe_->calls) {
    EXPECT_TRUE(call.resultWanted);
    EXPECT_TRUE(call.arguments.empty() && call.named.empty());
  }
  // Methods and properties alternate.
  for (size_t i = 0; i < probe_->calls.size(); ++i) {
    EXPECT_EQ(probe_->calls[i].flags, i % 2 ? DISPATCH_PROPERTYGET : DISPATCH_METHOD) << i;
  }

  // A record is filled as the server answered, its other fields left alone.
  auto readers = Readers();
  probe_->Answer(VT_I4, [](VARIANT& v) { v.lVal = 31; });
  EXPECT_EQ(readers[10].read(h, kMember), "type 3");
  EXPECT_EQ(readers[20].read(h, kMember), "type 3");
  probe_->AnswerText(L"variant text");
  EXPECT_EQ(readers[10].read(h, kMember), "type 8 variant text");
  probe_->AnswerNothing();
  EXPECT_EQ(readers[20].read(h, kMember), "type 0");
  EXPECT_EQ(c.invokeAutoClientVoidFunction(h, kMember), 1);
  EXPECT_FALSE(LastCall().resultWanted);
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(CallResults, AnObjectResultCarriesTheServersReferenceToTheHost) {
  auto* other = new RecordingDispatch;
  probe_->Answer(VT_DISPATCH, [&](VARIANT& v) { v.pdispVal = other; });
  IDispatch* fromMethod = calls_.invokeAutoClientLPDispatchFunction(handle_, kMember);
  IDispatch* fromProperty = calls_.getAutoClientLPDispatchProperty(handle_, kMember);
  tarvik::HostVariant record = {};
  calls_.invokeAutoClientOLEVariantFunction(handle_, kMember, &record);
  EXPECT_EQ(record.type, static_cast<std::uint32_t>(VT_DISPATCH));
  EXPECT_EQ(fromMethod, static_cast<IDispatch*>(other));
  EXPECT_EQ(fromProperty, static_cast<IDispatch*>(other));
  EXPECT_EQ(record.dispatch, static_cast<IDispatch*>(other));
  probe_->AnswerNothing();
  EXPECT_EQ(other->References(), 4);  // the test's own and three for the host
  fromMethod->Release();
  fromProperty->Release();
  record.dispatch->Release();
  EXPECT_EQ(other->Release(), 0u);
}

TEST_F(CallResults, AResultOfAnotherTypeIsCoercedOrGivesTheEmptyValue) {
  probe_->AnswerText(L"42");
  EXPECT_EQ(calls_.invokeAutoClientIntegerFunction(handle_, kMember), 42);
  EXPECT_EQ(calls_.getAutoClientShortProperty(handle_, kMember), 42);
  probe_->Answer(VT_I4, [](VARIANT& v) { v.lVal = 17; });
  EXPECT_EQ(TakeHostText(calls_.invokeAutoClientStringFunction(handle_, kMember)), "17");
  EXPECT_EQ(calls_.getAutoClientBoolProperty(handle_, kMember), -1);
  // Neither an object from a number nor a number from just any text.
  EXPECT_EQ(calls_.invokeAutoClientLPDispatchFunction(handle_, kMember), nullptr);
  probe_->AnswerText(L"not a number");
  EXPECT_EQ(calls_.getAutoClientIntegerProperty(handle_, kMember), 0);
  // An object is not asked for its value behind the host's back.
  auto* other = new RecordingDispatch;
  probe_->Answer(VT_DISPATCH, [&](VARIANT& v) { v.pdispVal = other; });
  EXPECT_EQ(TakeHostText(calls_.getAutoClientStringProperty(handle_, kMember)), "");
  EXPECT_TRUE(other->calls.empty());
  probe_->AnswerNothing();
  EXPECT_EQ(other->Release(), 0u);
  EXPECT_EQ(calls_.getAutoClientDateProperty(handle_, kMember), 693974u);
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(CallResults, TheLengthCallAndTheTextCallEachInvoke) {
  probe_->Answer(VT_R8, [](VARIANT& v) { v.dblVal = 2.5; });
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
  calls_.defineAutoClientIntegerParam(handle_, 10);
  EXPECT_EQ(calls_.invokeAutoClientRealFunction(handle_, kMember, nullptr), 8);
  char buffer[32];
  EXPECT_EQ(calls_.invokeAutoClientRealFunction(handle_, kMember, buffer), 1);
  EXPECT_STREQ(buffer, "2.500000");
  ASSERT_EQ(probe_->calls.size(), 2u);
  EXPECT_EQ(probe_->calls[0].arguments.size(), 1u);
  EXPECT_TRUE(probe_->calls[1].arguments.empty());
}

TEST_F(CallResults, AByReferenceStringReceivesTheServersNewText) {
  auto getStringFromBstr = tarvik_.Export<quorvan::host::GetStringFromBstrFn>("GetStringFromBstr");
  ASSERT_NE(getStringFromBstr, nullptr);
  probe_->replacement = L"replaced by the server";
  BSTR variable = SysAllocString(L"original");
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
  ASSERT_EQ(calls_.defineAutoClientBstrPtrParam(handle_, &variable), 1);
  EXPECT_EQ(calls_.invokeAutoClientVoidFunction(handle_, kMember), 1);
  EXPECT_EQ(LastCall().arguments[0].pointer, &variable);
  EXPECT_EQ(TakeHostText(getStringFromBstr(variable)), "replaced by the server");
  SysFreeString(variable);

  // The library frees neither the host's old text nor the server's new one.
  const long growth = HeapGrowth(40, [&] {
    BSTR text = SysAllocString(L"before the call");
    calls_.declareAutoClientInvokeParams(handle_, 1);
    calls_.defineAutoClientBstrPtrParam(handle_, &text);
    calls_.invokeAutoClientVoidFunction(handle_, kMember);
    SysFreeString(text);
    probe_->calls.clear();
  });
  EXPECT_LT(growth, 20);
}

}  // namespace
}  // namespace automation_tests
