// Each host type family both ways, apart from the texts that depend on the
// user's decimal separator (separator_test.cpp).
#include <gtest/gtest.h>
#include <windows.h>

#include <oleauto.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "tarvik/frame/com_handles.h"
#include "tarvik/frame/conversions.h"
#include "tests/windows/tarvik_conversion_tests/conversion_test_support.h"

namespace {

using namespace tarvik;
using conversion_tests::DispatchProbe;
using conversion_tests::HeapGrowth;

VARIANT Garbage() {
  VARIANT value;
  std::memset(&value, 0xAB, sizeof value);
  return value;
}

TEST(Families, BoolKeepsTheLow16BitsAndSignExtendsOnTheWayBack) {
  VARIANT value = Garbage();
  BoolToVariant(1, &value);
  EXPECT_EQ(value.vt, VT_BOOL);
  EXPECT_EQ(value.boolVal, 1);  // 1 stays 1
  EXPECT_EQ(value.wReserved1, 0);
  BoolToVariant(-1, &value);
  EXPECT_EQ(value.boolVal, VARIANT_TRUE);
  BoolToVariant(0x12340000, &value);
  EXPECT_EQ(value.boolVal, VARIANT_FALSE);
  value.boolVal = VARIANT_TRUE;
  EXPECT_EQ(HostBoolFromVariant(value), -1);
  value.boolVal = VARIANT_FALSE;
  EXPECT_EQ(HostBoolFromVariant(value), 0);
  value.boolVal = 1;
  EXPECT_EQ(HostBoolFromVariant(value), 1);
}

TEST(Families, ShortAndInteger) {
  VARIANT value = Garbage();
  ShortToVariant(0x12348001, &value);
  EXPECT_EQ(value.vt, VT_I2);
  EXPECT_EQ(value.iVal, -32767);
  EXPECT_EQ(HostShortFromVariant(value), -32767);
  ShortToVariant(-2, &value);
  EXPECT_EQ(HostShortFromVariant(value), -2);
  IntegerToVariant(std::numeric_limits<int>::min(), &value);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(HostIntegerFromVariant(value), std::numeric_limits<int>::min());
}

TEST(Families, DateGoesThroughTheHostDayNumber) {
  VARIANT value = Garbage();
  DateToVariant(0xFF0B2584u, &value);
  EXPECT_EQ(value.vt, VT_DATE);
  EXPECT_EQ(value.date, 36526.0);
  value.date = 36526.75;
  EXPECT_EQ(HostDateFromVariant(value), 730500u);
  value.date = -1.25;
  EXPECT_EQ(HostDateFromVariant(value), 693973u);
}

TEST(Families, DispatchPassesWithoutTouchingTheReferenceCount) {
  auto* probe = new DispatchProbe;
  VARIANT value = Garbage();
  DispatchToVariant(probe, &value);
  EXPECT_EQ(value.vt, VT_DISPATCH);
  EXPECT_EQ(value.pdispVal, probe);
  EXPECT_EQ(HostDispatchFromVariant(value), probe);
  EXPECT_EQ(probe->AddRefCalls(), 0);
  EXPECT_EQ(probe->ReleaseCalls(), 0);
  probe->Release();
}

TEST(Families, BstrPtrPointsAtTheHostsVariable) {
  BSTR variable = SysAllocString(L"mine");
  VARIANT value = Garbage();
  BstrPtrToVariant(&variable, &value);
  EXPECT_EQ(value.vt, VT_BYREF | VT_BSTR);
  EXPECT_EQ(value.pbstrVal, &variable);
  SysFreeString(variable);
}

TEST(Families, StringBecomesANewBstrAndComesBackAsAZeroFilledHeapBlock) {
  VARIANT value = Garbage();
  ASSERT_EQ(StringToVariant("hello", &value), S_OK);
  EXPECT_EQ(value.vt, VT_BSTR);
  EXPECT_EQ(std::wstring(value.bstrVal), L"hello");
  EXPECT_EQ(SysStringLen(value.bstrVal), 5u);
  char* block = HostStringFromBstr(value.bstrVal);
  ASSERT_NE(block, nullptr);
  EXPECT_STREQ(block, "hello");
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, block), 6u);
  HeapFree(GetProcessHeap(), 0, block);
  VariantClear(&value);

  ASSERT_EQ(StringToVariant(nullptr, &value), S_OK);
  ASSERT_NE(value.bstrVal, nullptr);
  EXPECT_EQ(SysStringLen(value.bstrVal), 0u);
  VariantClear(&value);

  // A null BSTR reads as the empty text.
  block = HostStringFromBstr(nullptr);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, block), 1u);
  EXPECT_EQ(block[0], '\0');
  HeapFree(GetProcessHeap(), 0, block);
}

TEST(Families, StringsUseTheAnsiCodePage) {
  const wchar_t wide[] = L"caf\u00e9 \u00fc";
  char expected[32] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, expected, sizeof expected, nullptr, nullptr);
  UniqueBstr text(SysAllocString(wide));
  char* block = HostStringFromBstr(text.Get());
  ASSERT_NE(block, nullptr);
  EXPECT_STREQ(block, expected);
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, block), std::strlen(expected) + 1);
  UniqueBstr back(BstrFromHostString(block));
  wchar_t expectedWide[32] = {};
  MultiByteToWideChar(CP_ACP, 0, expected, -1, expectedWide, 32);
  EXPECT_EQ(std::wstring(back.Get()), std::wstring(expectedWide));
  HeapFree(GetProcessHeap(), 0, block);
  EXPECT_EQ(BstrFromHostString(nullptr), nullptr);
}

TEST(Families, TheHeapCounterSeesALeakOfOneBlockPerStep) {
  // The leak checks below rely on this: a block per step left behind shows up.
  std::vector<char*> kept;
  const long growth = HeapGrowth(100, [&] { kept.push_back(HostStringFromBstr(nullptr)); });
  EXPECT_GE(growth, 100);
  for (char* block : kept) HeapFree(GetProcessHeap(), 0, block);
  std::vector<BSTR> bstrs;
  const long bstrGrowth =
      HeapGrowth(100, [&] { bstrs.push_back(SysAllocString(L"kept for a while")); });
  EXPECT_GE(bstrGrowth, 100);
  for (BSTR text : bstrs) SysFreeString(text);
}

TEST(Families, StringConversionsLeakNothing) {
  EXPECT_LT(HeapGrowth(300,
                       [] {
                         VARIANT value;
                         if (StringToVariant("a text of some length", &value) == S_OK) {
                           char* block = HostStringFromBstr(value.bstrVal);
                           HeapFree(GetProcessHeap(), 0, block);
                           VariantClear(&value);
                         }
                       }),
            30);
}

TEST(Families, NeutralRealTextTakesTheLongestValidPrefix) {
  EXPECT_EQ(ParseNeutralReal(" \t-12.5e2xyz"), -1250.0);
  EXPECT_EQ(ParseNeutralReal("+.5"), 0.5);
  EXPECT_EQ(ParseNeutralReal("1."), 1.0);
  EXPECT_EQ(ParseNeutralReal("1e"), 1.0);
  EXPECT_EQ(ParseNeutralReal("1e+"), 1.0);
  EXPECT_EQ(ParseNeutralReal("2E-3"), 0.002);
  EXPECT_EQ(ParseNeutralReal("12,5"), 12.0);
  EXPECT_EQ(ParseNeutralReal("1.2.3"), 1.2);
  EXPECT_EQ(ParseNeutralReal("0x10"), 0.0);
  EXPECT_EQ(ParseNeutralReal("007"), 7.0);
  // Nothing valid: 0.0, also for the words strtod would accept.
  for (const char* text : {"abc", "", "-", ".", "+.", "e5", "inf", "nan", "  "}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseNeutralReal(text), 0.0);
  }
  EXPECT_EQ(ParseNeutralReal(nullptr), 0.0);
  // Beyond the range of double.
  EXPECT_EQ(ParseNeutralReal("1e400"), HUGE_VAL);
  EXPECT_EQ(ParseNeutralReal("-123456e999"), -HUGE_VAL);
  EXPECT_EQ(ParseNeutralReal("0.000001e-400"), 0.0);
  EXPECT_EQ(ParseNeutralReal("1e-400"), 0.0);
  EXPECT_EQ(ParseNeutralReal("0.0001e310"), 1e306);
}

TEST(Families, NarrowingToFloatIsDefinedForEveryDouble) {
  EXPECT_EQ(NarrowToFloat(2.5), 2.5f);
  EXPECT_EQ(NarrowToFloat(1e300), std::numeric_limits<float>::infinity());
  EXPECT_EQ(NarrowToFloat(-1e300), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(NarrowToFloat(FLT_MAX), FLT_MAX);
  EXPECT_TRUE(std::isnan(NarrowToFloat(std::numeric_limits<double>::quiet_NaN())));
}

}  // namespace
