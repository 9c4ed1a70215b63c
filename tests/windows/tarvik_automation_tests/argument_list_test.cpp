// The pending argument list: declared, defined in the order of the method's
// signature, sent from the end of the array, owned and emptied by the library.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleauto.h>

#include <climits>
#include <cstring>

#include "tests/windows/tarvik_automation_tests/automation_fixture.h"

namespace automation_tests {
namespace {

using ArgumentList = AutomationTest;

constexpr DISPID kMethod = 12;

TEST_F(ArgumentList, ArgumentsTravelInReverseAndTheStringIsFreedAfterwards) {
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 2), 1);
  EXPECT_EQ(calls_.defineAutoClientStringParam(handle_, "some text"), 1);
  EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle_, 5), 1);
  EXPECT_EQ(calls_.invokeAutoClientVoidFunction(handle_, kMethod), 1);

  ASSERT_EQ(probe_->calls.size(), 1u);
  const SeenCall& call = LastCall();
  EXPECT_EQ(call.dispid, kMethod);
  EXPECT_EQ(call.flags, DISPATCH_METHOD);
  EXPECT_FALSE(call.resultWanted);
  EXPECT_TRUE(call.named.empty());
  ASSERT_EQ(call.arguments.size(), 2u);
  EXPECT_EQ(call.arguments[0].type, VT_I4);
  EXPECT_EQ(call.arguments[0].integer, 5);
  EXPECT_EQ(call.arguments[1].type, VT_BSTR);
  EXPECT_EQ(call.arguments[1].text, L"some text");
  EXPECT_TRUE(boxes_.boxes().empty());

  // Each string the list made is freed once the call is over.
  const long growth = HeapGrowth(50, [&] {
    calls_.declareAutoClientInvokeParams(handle_, 3);
    calls_.defineAutoClientStringParam(handle_, "a text long enough to need its own block");
    calls_.defineAutoClientStringParam(handle_, "another");
    calls_.defineAutoClientIntegerParam(handle_, 1);
    calls_.invokeAutoClientVoidFunction(handle_, kMethod);
    probe_->calls.clear();
  });
  EXPECT_LT(growth, 25);
}

TEST_F(ArgumentList, EveryFamilyStoresItsTypeAndValue) {
  auto* other = new RecordingDispatch;
  BSTR variable = SysAllocString(L"kept");
  tarvik::HostVariant record = {};
  record.type = VT_I4;
  record.integerValue = -77;

  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 11), 1);
  EXPECT_EQ(calls_.defineAutoClientBoolParam(handle_, 0x12345), 1);
  EXPECT_EQ(calls_.defineAutoClientCurrencyParam(handle_, "12.5"), 1);
  EXPECT_EQ(calls_.defineAutoClientDateParam(handle_, 0xFF0B2584u), 1);
  char real[] = "2.25";
  EXPECT_EQ(calls_.defineAutoClientRealParam(handle_, real), 1);
  char shortReal[] = "-1.5";
  EXPECT_EQ(calls_.defineAutoClientShortRealParam(handle_, shortReal), 1);
  EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle_, -2000000000), 1);
  EXPECT_EQ(calls_.defineAutoClientShortParam(handle_, 0x18000), 1);
  EXPECT_EQ(calls_.defineAutoClientLPDispatchParam(handle_, other), 1);
  EXPECT_EQ(calls_.defineAutoClientStringParam(handle_, "t"), 1);
  EXPECT_EQ(calls_.defineAutoClientOLEVariantParam(handle_, &record), 1);
  EXPECT_EQ(calls_.defineAutoClientBstrPtrParam(handle_, &variable), 1);
  // The list takes no reference on an object argument.
  EXPECT_EQ(other->References(), 1);
  EXPECT_EQ(calls_.invokeAutoClientVoidFunction(handle_, kMethod), 1);

  ASSERT_EQ(LastCall().arguments.size(), 11u);
  const auto& a = LastCall().arguments;  // a[10] is the first defined
  EXPECT_EQ(a[10].type, VT_BOOL);
  EXPECT_EQ(a[10].integer, 0x2345);  // the low 16 bits, unchanged
  EXPECT_EQ(a[9].type, VT_CY);
  EXPECT_EQ(a[9].currency, 125000);
  EXPECT_EQ(a[8].type, VT_DATE);
  EXPECT_EQ(a[8].real, 36526.0);  // the top byte of the host date is ignored
  EXPECT_EQ(a[7].type, VT_R8);
  EXPECT_EQ(a[7].real, 2.25);
  EXPECT_EQ(a[6].type, VT_R4);
  EXPECT_EQ(a[6].real, -1.5);
  EXPECT_EQ(a[5].type, VT_I4);
  EXPECT_EQ(a[5].integer, -2000000000);
  EXPECT_EQ(a[4].type, VT_I2);
  EXPECT_EQ(a[4].integer, -32768);
  EXPECT_EQ(a[3].type, VT_DISPATCH);
  EXPECT_EQ(a[3].pointer, static_cast<IDispatch*>(other));
  EXPECT_EQ(a[2].type, VT_BSTR);
  EXPECT_EQ(a[2].text, L"t");
  EXPECT_EQ(a[1].type, VT_I4);
  EXPECT_EQ(a[1].integer, -77);
  EXPECT_EQ(a[0].type, VT_BYREF | VT_BSTR);
  EXPECT_EQ(a[0].pointer, &variable);

  // Clearing leaves the object and the host's variable alone.
  EXPECT_EQ(other->References(), 1);
  EXPECT_STREQ(variable, L"kept");
  SysFreeString(variable);
  other->Release();
}

TEST_F(ArgumentList, SlotsNeverDefinedTravelEmpty) {
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 3), 1);
  EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle_, 9), 1);
  calls_.invokeAutoClientVoidFunction(handle_, kMethod);
  const auto& a = LastCall().arguments;
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[2].type, VT_I4);
  EXPECT_EQ(a[2].integer, 9);
  EXPECT_EQ(a[1].type, VT_EMPTY);
  EXPECT_EQ(a[0].type, VT_EMPTY);
}

TEST_F(ArgumentList, ASecondDeclarationWaitsUntilACallConsumedTheFirst) {
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 2), 1);
  EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle_, 1), 1);
  EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, 5), 0);
  EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle_, 2), 1);
  calls_.invokeAutoClientVoidFunction(handle_, kMethod);
  // The refused declaration changed nothing.
  ASSERT_EQ(LastCall().arguments.size(), 2u);
  EXPECT_EQ(LastCall().arguments[1].integer, 1);
  EXPECT_EQ(LastCall().arguments[0].integer, 2);
  EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, 5), 1);
  // A call without a declaration sends no arguments and empties what is pending.
  calls_.invokeAutoClientVoidFunction(handle_, kMethod);
  EXPECT_EQ(LastCall().arguments.size(), 5u);
  calls_.invokeAutoClientVoidFunction(handle_, kMethod);
  EXPECT_TRUE(LastCall().arguments.empty());
}

TEST_F(ArgumentList, DefinesWithoutAFreeSlotAreRefused) {
  // Nothing declared.
  EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle_, 1), 0);
  EXPECT_EQ(calls_.defineAutoClientStringParam(handle_, "x"), 0);
  // A count of 0 is refused: there is nothing to declare.
  EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, 0), 0);
  EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle_, 1), 0);
  // A negative count is refused.
  EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, -1), 0);
  EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, INT_MIN), 0);
  // So is a count whose array cannot be had.
  EXPECT_EQ(calls_.declareAutoClientInvokeParams(handle_, INT_MAX), 0);
  // More defines than declared slots.
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 1), 1);
  EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle_, 1), 1);
  EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle_, 2), 0);
  BSTR variable = nullptr;
  EXPECT_EQ(calls_.defineAutoClientBstrPtrParam(handle_, &variable), 0);
  calls_.invokeAutoClientVoidFunction(handle_, kMethod);
  ASSERT_EQ(LastCall().arguments.size(), 1u);
  EXPECT_EQ(LastCall().arguments[0].integer, 1);

  // A string refused for want of a slot is not kept anywhere.
  const long growth = HeapGrowth(50, [&] {
    calls_.declareAutoClientInvokeParams(handle_, 1);
    calls_.defineAutoClientIntegerParam(handle_, 1);
    calls_.defineAutoClientStringParam(handle_, "a text that has nowhere to go");
    calls_.invokeAutoClientVoidFunction(handle_, kMethod);
    probe_->calls.clear();
  });
  EXPECT_LT(growth, 25);
}

TEST_F(ArgumentList, ACurrencyTextThatDoesNotParseTakesNoSlot) {
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 2), 1);
  EXPECT_EQ(calls_.defineAutoClientCurrencyParam(handle_, "abc"), 0);
  EXPECT_EQ(calls_.defineAutoClientCurrencyParam(handle_, "1e400"), 0);
  EXPECT_EQ(calls_.defineAutoClientCurrencyParam(handle_, nullptr), 0);
  EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle_, 7), 1);
  EXPECT_EQ(calls_.defineAutoClientIntegerParam(handle_, 8), 1);
  calls_.invokeAutoClientVoidFunction(handle_, kMethod);
  ASSERT_EQ(LastCall().arguments.size(), 2u);
  EXPECT_EQ(LastCall().arguments[1].integer, 7);
  EXPECT_EQ(LastCall().arguments[0].integer, 8);
}

TEST_F(ArgumentList, NullInputsAreSafe) {
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 3), 1);
  // A by-reference slot the server would write through, and a missing record,
  // are refused.
  EXPECT_EQ(calls_.defineAutoClientBstrPtrParam(handle_, nullptr), 0);
  EXPECT_EQ(calls_.defineAutoClientOLEVariantParam(handle_, nullptr), 0);
  EXPECT_EQ(calls_.defineAutoClientStringParam(handle_, nullptr), 1);
  EXPECT_EQ(calls_.defineAutoClientRealParam(handle_, nullptr), 1);
  EXPECT_EQ(calls_.defineAutoClientLPDispatchParam(handle_, nullptr), 1);
  calls_.invokeAutoClientVoidFunction(handle_, kMethod);
  const auto& a = LastCall().arguments;
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[2].type, VT_BSTR);
  EXPECT_EQ(a[2].text, L"");
  EXPECT_EQ(a[1].type, VT_R8);
  EXPECT_EQ(a[1].real, 0.0);
  EXPECT_EQ(a[0].type, VT_DISPATCH);
  EXPECT_EQ(a[0].pointer, nullptr);
}

TEST_F(ArgumentList, AStringRecordPassesItsBlockToTheLibrary) {
  const long growth = HeapGrowth(50, [&] {
    tarvik::HostVariant record = {};
    record.type = VT_BSTR;
    const char text[] = "from the host";
    record.string = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, sizeof text));
    std::memcpy(record.string, text, sizeof text);
    calls_.declareAutoClientInvokeParams(handle_, 1);
    EXPECT_EQ(calls_.defineAutoClientOLEVariantParam(handle_, &record), 1);
    calls_.invokeAutoClientVoidFunction(handle_, kMethod);
    EXPECT_EQ(LastCall().arguments[0].type, VT_BSTR);
    EXPECT_EQ(LastCall().arguments[0].text, L"from the host");
    probe_->calls.clear();
  });
  EXPECT_LT(growth, 25);
}

TEST_F(ArgumentList, ArgumentsCanBeDefinedBeforeTheClientIsAttached) {
  ASSERT_EQ(api_.releaseAutoClientDispatch(handle_), 1);
  ASSERT_EQ(calls_.declareAutoClientInvokeParams(handle_, 2), 1);
  EXPECT_EQ(calls_.defineAutoClientStringParam(handle_, "early"), 1);
  EXPECT_EQ(calls_.defineAutoClientShortParam(handle_, 3), 1);
  EXPECT_TRUE(boxes_.boxes().empty());
  ASSERT_EQ(api_.attachAutoClientDispatch(handle_, probe_, 1), 1);
  calls_.invokeAutoClientVoidFunction(handle_, kMethod);
  ASSERT_EQ(LastCall().arguments.size(), 2u);
  EXPECT_EQ(LastCall().arguments[1].text, L"early");
  EXPECT_EQ(LastCall().arguments[0].integer, 3);
}

TEST_F(ArgumentList, DestroyingAClientFreesItsPendingStrings) {
  const long growth = HeapGrowth(30, [&] {
    const int handle = api_.createAutomationClient();
    calls_.declareAutoClientInvokeParams(handle, 2);
    calls_.defineAutoClientStringParam(handle, "pending when the client goes");
    calls_.defineAutoClientStringParam(handle, "and another");
    api_.destroyAutomationClient(handle);
  });
  EXPECT_LT(growth, 15);
}

}  // namespace
}  // namespace automation_tests
