// The HostVariant record both ways: one field per type, every other byte left
// alone, and who owns strings and interface pointers afterwards.
#include "tarvik/frame/host_variant.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <oleauto.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string>

#include "tarvik/frame/com_handles.h"
#include "tarvik/frame/conversions.h"
#include "tests/support/child_process.h"
#include "tests/windows/tarvik_conversion_tests/conversion_test_support.h"

namespace {

using namespace tarvik;
using conversion_tests::DispatchProbe;
using conversion_tests::HeapGrowth;
using conversion_tests::HeapText;
using conversion_tests::MarkedRecord;
using conversion_tests::OnlyFieldChanged;
using quorvan::testing::InChildProcess;

constexpr std::size_t kPointer = sizeof(void*);

TEST(HostVariantLayout, MatchesThePublishedOffsets) {
  EXPECT_EQ(kPointer, static_cast<std::size_t>(QUORVAN_EXPECTED_POINTER_SIZE));
  EXPECT_EQ(offsetof(HostVariant, currencyText), 42u);
  EXPECT_EQ(offsetof(HostVariant, string), 71u);
  EXPECT_EQ(offsetof(HostVariant, dispatch), 71u + kPointer);
  EXPECT_EQ(offsetof(HostVariant, error), 71u + 2 * kPointer);
  EXPECT_EQ(offsetof(HostVariant, boolValue), 75u + 2 * kPointer);
  EXPECT_EQ(offsetof(HostVariant, unknown), 79u + 2 * kPointer);
  EXPECT_EQ(offsetof(HostVariant, byteValue), 79u + 3 * kPointer);
  EXPECT_EQ(sizeof(HostVariant), 83u + 3 * kPointer);
}

std::uint32_t ReadWord(const HostVariant& record, std::size_t offset) {
  std::uint32_t word;
  std::memcpy(&word, reinterpret_cast<const unsigned char*>(&record) + offset, 4);
  return word;
}

TEST(VariantToHostVariant, IntegerFieldsAreExtendedAsTheTableSays) {
  struct Case {
    VARTYPE type;
    LONGLONG bits;  // written into the VARIANT's value bytes
    std::size_t offset;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {VT_I2, static_cast<std::uint16_t>(-5), offsetof(HostVariant, shortValue), 0xFFFFFFFBu},
      {VT_I2, 0x7FFF, offsetof(HostVariant, shortValue), 0x7FFFu},
      {VT_I4, 0x87654321LL, offsetof(HostVariant, integerValue), 0x87654321u},
      {VT_ERROR, static_cast<std::uint32_t>(DISP_E_PARAMNOTFOUND), offsetof(HostVariant, error),
       0x80020004u},
      {VT_BOOL, static_cast<std::uint16_t>(VARIANT_TRUE), offsetof(HostVariant, boolValue),
       0xFFFFFFFFu},
      {VT_BOOL, 1, offsetof(HostVariant, boolValue), 1u},
      {VT_UI1, 200, offsetof(HostVariant, byteValue), 200u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " bits " << c.bits);
    VARIANT value;
    std::memset(&value, 0, sizeof value);
    value.vt = c.type;
    value.llVal = c.bits;
    HostVariant record = MarkedRecord();
    VariantToHostVariant(value, &record);
    EXPECT_EQ(record.type, c.type);
    EXPECT_EQ(ReadWord(record, c.offset), c.expected);
    EXPECT_TRUE(OnlyFieldChanged(record, c.offset, 4));
  }
}

TEST(VariantToHostVariant, DateBecomesTheHostDay) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_DATE;
  value.date = 36526.75;
  HostVariant record = MarkedRecord();
  VariantToHostVariant(value, &record);
  EXPECT_EQ(record.type, static_cast<std::uint32_t>(VT_DATE));
  EXPECT_EQ(record.date, 730500u);
  EXPECT_TRUE(OnlyFieldChanged(record, offsetof(HostVariant, date), 4));
}

TEST(VariantToHostVariant, InterfacePointersAreCopiedWithoutAReference) {
  auto* probe = new DispatchProbe;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_DISPATCH;
  value.pdispVal = probe;
  HostVariant record = MarkedRecord();
  VariantToHostVariant(value, &record);
  EXPECT_EQ(record.dispatch, probe);
  EXPECT_TRUE(OnlyFieldChanged(record, offsetof(HostVariant, dispatch), kPointer));
  value.vt = VT_UNKNOWN;
  value.punkVal = static_cast<IUnknown*>(probe);
  record = MarkedRecord();
  VariantToHostVariant(value, &record);
  EXPECT_EQ(record.type, static_cast<std::uint32_t>(VT_UNKNOWN));
  EXPECT_EQ(record.unknown, static_cast<IUnknown*>(probe));
  EXPECT_TRUE(OnlyFieldChanged(record, offsetof(HostVariant, unknown), kPointer));
  EXPECT_EQ(probe->AddRefCalls(), 0);
  EXPECT_EQ(probe->ReleaseCalls(), 0);
  probe->Release();
}

TEST(VariantToHostVariant, StringBecomesAHeapBlockTheHostOwns) {
  UniqueVariant value;
  value->vt = VT_BSTR;
  value->bstrVal = SysAllocString(L"hello");
  HostVariant record = MarkedRecord();
  VariantToHostVariant(*value.Get(), &record);
  ASSERT_NE(record.string, nullptr);
  EXPECT_STREQ(record.string, "hello");
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, record.string), 6u);
  EXPECT_TRUE(OnlyFieldChanged(record, offsetof(HostVariant, string), kPointer));
  // The VARIANT keeps its BSTR.
  EXPECT_EQ(std::wstring(value->bstrVal), L"hello");
  EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, record.string));

  SysFreeString(value->bstrVal);
  value->bstrVal = nullptr;
  record = MarkedRecord();
  VariantToHostVariant(*value.Get(), &record);
  ASSERT_NE(record.string, nullptr);
  EXPECT_EQ(record.string[0], '\0');
  HeapFree(GetProcessHeap(), 0, record.string);
}

TEST(VariantToHostVariant, OtherTypesWriteTheTypeFieldOnly) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 0, 3);
  ASSERT_NE(array, nullptr);
  LONG referenced = 9;
  VARIANT inner;
  VariantInit(&inner);
  const struct {
    VARTYPE type;
    void* pointer;
  } cases[] = {{VT_EMPTY, nullptr},
               {VT_NULL, nullptr},
               {VT_DECIMAL, nullptr},
               {VT_I1, nullptr},
               {VT_UI4, nullptr},
               {VT_I8, nullptr},
               {VT_BYREF | VT_I4, &referenced},
               {VT_BYREF | VT_BSTR, &referenced},
               {VT_BYREF | VT_VARIANT, &inner},
               {VT_ARRAY | VT_I4, array},
               {0x0FFF, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    VARIANT value;
    std::memset(&value, 0, sizeof value);
    value.vt = c.type;
    value.byref = c.pointer;
    HostVariant record = MarkedRecord();
    VariantToHostVariant(value, &record);
    EXPECT_EQ(record.type, c.type);
    EXPECT_TRUE(OnlyFieldChanged(record, 0, 0));
  }
  SafeArrayDestroy(array);
  VariantToHostVariant(inner, nullptr);  // no record: nothing happens
}

TEST(MoveVariantToHostVariant, AResultsReferencePassesToTheHost) {
  auto* probe = new DispatchProbe;
  probe->AddRef();  // the reference a server returns with a result
  VARIANT result;
  VariantInit(&result);
  result.vt = VT_DISPATCH;
  result.pdispVal = probe;
  HostVariant record = MarkedRecord();
  MoveVariantToHostVariant(&result, &record);
  EXPECT_EQ(result.vt, VT_EMPTY);
  EXPECT_EQ(record.dispatch, probe);
  EXPECT_EQ(probe->References(), 2);
  record.dispatch->Release();  // what the host does with its reference
  EXPECT_EQ(probe->References(), 1);

  // No record to take it: the reference is given back.
  probe->AddRef();
  result.vt = VT_UNKNOWN;
  result.punkVal = static_cast<IUnknown*>(probe);
  MoveVariantToHostVariant(&result, nullptr);
  EXPECT_EQ(probe->References(), 1);
  EXPECT_EQ(result.vt, VT_EMPTY);
  probe->Release();
  MoveVariantToHostVariant(nullptr, &record);
}

TEST(MoveVariantToHostVariant, EverythingElseInTheResultIsFreed) {
  EXPECT_LT(HeapGrowth(300,
                       [] {
                         VARIANT result;
                         VariantInit(&result);
                         result.vt = VT_BSTR;
                         result.bstrVal = SysAllocString(L"a result text of some length");
                         HostVariant record = MarkedRecord();
                         MoveVariantToHostVariant(&result, &record);
                         HeapFree(GetProcessHeap(), 0, record.string);
                       }),
            30);
  EXPECT_LT(HeapGrowth(300,
                       [] {
                         VARIANT result;
                         VariantInit(&result);
                         result.vt = VT_ARRAY | VT_I4;
                         result.parray = SafeArrayCreateVector(VT_I4, 0, 16);
                         HostVariant record = MarkedRecord();
                         MoveVariantToHostVariant(&result, &record);
                         EXPECT_EQ(record.type, static_cast<std::uint32_t>(VT_ARRAY | VT_I4));
                       }),
            30);
}

HostVariant TypedRecord(std::uint32_t type) {
  HostVariant record = MarkedRecord();
  record.type = type;
  return record;
}

TEST(HostVariantToVariant, ValueFieldsAreReadAsTheTableSays) {
  VARIANT value;
  HostVariant record = TypedRecord(VT_I2);
  record.shortValue = 0x12348001;
  ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
  EXPECT_EQ(value.vt, VT_I2);
  EXPECT_EQ(value.iVal, -32767);

  record = TypedRecord(VT_I4);
  record.integerValue = -7;
  HostVariantToVariant(&record, &value);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, -7);

  record = TypedRecord(VT_ERROR);
  record.error = DISP_E_PARAMNOTFOUND;
  HostVariantToVariant(&record, &value);
  EXPECT_EQ(value.vt, VT_ERROR);
  EXPECT_EQ(value.scode, DISP_E_PARAMNOTFOUND);

  record = TypedRecord(VT_BOOL);
  record.boolValue = 0x00010001;
  HostVariantToVariant(&record, &value);
  EXPECT_EQ(value.vt, VT_BOOL);
  EXPECT_EQ(value.boolVal, 1);
  record.boolValue = -1;
  HostVariantToVariant(&record, &value);
  EXPECT_EQ(value.boolVal, VARIANT_TRUE);

  record = TypedRecord(VT_UI1);
  record.byteValue = 0x1FF;
  HostVariantToVariant(&record, &value);
  EXPECT_EQ(value.vt, VT_UI1);
  EXPECT_EQ(value.bVal, 255);

  record = TypedRecord(VT_DATE);
  record.date = 0xFF0B2584u;
  HostVariantToVariant(&record, &value);
  EXPECT_EQ(value.vt, VT_DATE);
  EXPECT_EQ(value.date, 36526.0);
}

TEST(HostVariantToVariant, InterfacePointersAreUsedWithoutAReference) {
  auto* probe = new DispatchProbe;
  VARIANT value;
  HostVariant record = TypedRecord(VT_DISPATCH);
  record.dispatch = probe;
  ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
  EXPECT_EQ(value.vt, VT_DISPATCH);
  EXPECT_EQ(value.pdispVal, probe);
  record = TypedRecord(VT_UNKNOWN);
  record.unknown = static_cast<IUnknown*>(probe);
  HostVariantToVariant(&record, &value);
  EXPECT_EQ(value.vt, VT_UNKNOWN);
  EXPECT_EQ(value.punkVal, static_cast<IUnknown*>(probe));
  EXPECT_EQ(probe->AddRefCalls(), 0);
  EXPECT_EQ(probe->ReleaseCalls(), 0);
  probe->Release();
}

TEST(HostVariantToVariant, TheHostsStringBlockIsTakenOverAndFreed) {
  HostVariant record = TypedRecord(VT_BSTR);
  record.string = HeapText("from the host");
  ASSERT_NE(record.string, nullptr);
  UniqueVariant value;
  ASSERT_EQ(HostVariantToVariant(&record, value.Get()), S_OK);
  EXPECT_EQ(value->vt, VT_BSTR);
  EXPECT_EQ(std::wstring(value->bstrVal), L"from the host");
  // Nulled, so that passing the record again cannot free the block twice.
  EXPECT_EQ(record.string, nullptr);

  EXPECT_LT(HeapGrowth(300,
                       [] {
                         HostVariant again = TypedRecord(VT_BSTR);
                         again.string = HeapText("another text from the host");
                         VARIANT made;
                         HostVariantToVariant(&again, &made);
                         VariantClear(&made);
                       }),
            30);
}

TEST(HostVariantToVariant, ANullStringBecomesTheEmptyBstr) {
  HostVariant record = TypedRecord(VT_BSTR);
  record.string = nullptr;
  UniqueVariant value;
  ASSERT_EQ(HostVariantToVariant(&record, value.Get()), S_OK);
  EXPECT_EQ(value->vt, VT_BSTR);
  ASSERT_NE(value->bstrVal, nullptr);
  EXPECT_EQ(SysStringLen(value->bstrVal), 0u);
}

TEST(HostVariantToVariant, ATextOutsideTheProcessHeapIsReadButNotFreed) {
  static char literal[] = "not a heap block";
  HostVariant record = TypedRecord(VT_BSTR);
  record.string = literal;
  UniqueVariant value;
  ASSERT_EQ(HostVariantToVariant(&record, value.Get()), S_OK);
  EXPECT_EQ(std::wstring(value->bstrVal), L"not a heap block");
  EXPECT_STREQ(literal, "not a heap block");
}

TEST(HostVariantToVariant, OnlyTheWholeTypeFieldSelectsAField) {
  VARIANT value;
  HostVariant record = TypedRecord(0x00010003);  // VT_I4 with an upper bit set
  ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, 0);

  char* block = HeapText("stays the host's");
  record = TypedRecord(0x80000008);  // VT_BSTR with an upper bit set
  record.string = block;
  ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
  EXPECT_EQ(value.vt, VT_BSTR);
  EXPECT_EQ(value.bstrVal, nullptr);  // a null BSTR: the empty text, safe to clear
  EXPECT_EQ(record.string, block);
  EXPECT_STREQ(block, "stays the host's");
  VariantClear(&value);
  HeapFree(GetProcessHeap(), 0, block);
}

TEST(HostVariantToVariant, TypesWithoutAFieldCarryOnlyTheirCode) {
  const VARTYPE kept[] = {VT_EMPTY, VT_NULL, VT_I1, VT_UI2, VT_UI4, VT_I8, VT_INT, VT_DECIMAL};
  for (VARTYPE type : kept) {
    SCOPED_TRACE(type);
    HostVariant record = TypedRecord(type);
    VARIANT value;
    ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
    EXPECT_EQ(value.vt, type);
    EXPECT_EQ(value.llVal, 0);
    EXPECT_EQ(VariantClear(&value), S_OK);
  }
  // A by-reference, array or record type would carry a null pointer for the
  // server to follow: the value is empty instead.
  const VARTYPE emptied[] = {VT_BYREF | VT_I4,
                             VT_BYREF | VT_BSTR,
                             VT_BYREF | VT_VARIANT,
                             VT_ARRAY | VT_I4,
                             VT_ARRAY | VT_BYREF | VT_VARIANT,
                             VT_RECORD,
                             VT_VARIANT,
                             0x0FFF};
  for (VARTYPE type : emptied) {
    SCOPED_TRACE(type);
    HostVariant record = TypedRecord(type);
    VARIANT value;
    ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
    EXPECT_EQ(value.vt, VT_EMPTY);
  }
}

TEST(HostVariantToVariant, NullPointersGiveDefinedResults) {
  VARIANT value;
  value.vt = VT_I4;
  EXPECT_EQ(HostVariantToVariant(nullptr, &value), E_POINTER);
  EXPECT_EQ(value.vt, VT_EMPTY);
  HostVariant record = TypedRecord(VT_I4);
  EXPECT_EQ(HostVariantToVariant(&record, nullptr), E_POINTER);
}

// --- Texts in the record, which follow the user's separator -----------------

void ExpectRealRoundTrip(VARTYPE type, double input, const char* expectedText) {
  SCOPED_TRACE(testing::Message() << type << " " << input);
  VARIANT value;
  VariantInit(&value);
  value.vt = type;
  if (type == VT_R4) {
    value.fltVal = static_cast<float>(input);
  } else {
    value.dblVal = input;
  }
  HostVariant record = MarkedRecord();
  VariantToHostVariant(value, &record);
  const bool single = type == VT_R4;
  const char* field = single ? record.shortRealText : record.realText;
  const std::size_t offset =
      single ? offsetof(HostVariant, shortRealText) : offsetof(HostVariant, realText);
  const std::size_t width = single ? 10 : 20;
  EXPECT_STREQ(field, expectedText);
  EXPECT_TRUE(OnlyFieldChanged(record, offset, width));
  VARIANT back;
  ASSERT_EQ(HostVariantToVariant(&record, &back), S_OK);
  EXPECT_EQ(back.vt, type);
  if (single) {
    EXPECT_NEAR(back.fltVal, input, std::fabs(input) * 1e-6 + 1e-6);
  } else {
    EXPECT_NEAR(back.dblVal, input, std::fabs(input) * 1e-6 + 1e-6);
  }
  EXPECT_STREQ(field, expectedText);  // the record's text is not normalised in place
}

TEST(DotSeparator, RecordRealTextsRoundTrip) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  ExpectRealRoundTrip(VT_R4, 2.5, "2.500000");
  ExpectRealRoundTrip(VT_R4, -9.25, "-9.250000");
  ExpectRealRoundTrip(VT_R4, 123.25, "123.25000");  // fewer decimals to fit
  ExpectRealRoundTrip(VT_R4, 1e15, "1.000e+15");    // exponent rather than cut digits
  ExpectRealRoundTrip(VT_R8, 1234.5, "1234.500000");
  ExpectRealRoundTrip(VT_R8, 123456789012.5, "123456789012.500000");
  ExpectRealRoundTrip(VT_R8, 1e12, "1000000000000.00000");
  ExpectRealRoundTrip(VT_R8, -1e300, "-1.00000000000e+300");
}

TEST(DotSeparator, RecordRealTextsNeedNoTerminatorInTheirField) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  HostVariant record = TypedRecord(VT_R4);
  std::memset(record.shortRealText, '9', sizeof record.shortRealText);
  std::memset(record.realText, '1', sizeof record.realText);
  VARIANT value;
  ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
  EXPECT_EQ(value.fltVal, 9999999999.0f);
  record.type = VT_R8;
  ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
  EXPECT_EQ(value.dblVal, 11111111111111111111.0);
}

TEST(DotSeparator, RecordCurrencyTextsRoundTrip) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  const LONGLONG values[] = {0, 15000, -123456789, std::numeric_limits<LONGLONG>::min(),
                             123456789012345LL};
  for (LONGLONG bits : values) {
    SCOPED_TRACE(bits);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_CY;
    value.cyVal.int64 = bits;
    HostVariant record = MarkedRecord();
    VariantToHostVariant(value, &record);
    EXPECT_TRUE(OnlyFieldChanged(record, offsetof(HostVariant, currencyText), 25));
    VARIANT back;
    ASSERT_EQ(HostVariantToVariant(&record, &back), S_OK);
    EXPECT_EQ(back.vt, VT_CY);
    EXPECT_EQ(back.cyVal.int64, bits) << record.currencyText;
  }
}

TEST(DotSeparator, RecordCurrencyTextsThatDoNotParse) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  HostVariant record = TypedRecord(VT_CY);
  std::strcpy(record.currencyText, "abc");
  VARIANT value;
  ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
  EXPECT_EQ(value.vt, VT_CY);
  EXPECT_EQ(value.cyVal.int64, 0);
  std::strcpy(record.currencyText, "1e30");
  ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
  EXPECT_EQ(value.cyVal.int64, std::numeric_limits<LONGLONG>::min());
  std::memset(record.currencyText, '7', sizeof record.currencyText);  // no terminator
  ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
  EXPECT_EQ(value.cyVal.int64, std::numeric_limits<LONGLONG>::min());
}

TEST(DotSeparator, EveryListedTypeRoundTrips) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  auto* probe = new DispatchProbe;
  VARIANT values[12];
  for (VARIANT& v : values) VariantInit(&v);
  values[0].vt = VT_I2, values[0].iVal = -300;
  values[1].vt = VT_I4, values[1].lVal = 123456789;
  values[2].vt = VT_R4, values[2].fltVal = 2.5f;
  values[3].vt = VT_R8, values[3].dblVal = -1234.5;
  values[4].vt = VT_CY, values[4].cyVal.int64 = 987654321;
  values[5].vt = VT_DATE, values[5].date = 36526.0;
  values[6].vt = VT_BSTR, values[6].bstrVal = SysAllocString(L"round trip");
  values[7].vt = VT_DISPATCH, values[7].pdispVal = probe;
  values[8].vt = VT_ERROR, values[8].scode = E_FAIL;
  values[9].vt = VT_BOOL, values[9].boolVal = VARIANT_TRUE;
  values[10].vt = VT_UNKNOWN, values[10].punkVal = static_cast<IUnknown*>(probe);
  values[11].vt = VT_UI1, values[11].bVal = 200;
  for (VARIANT& original : values) {
    SCOPED_TRACE(original.vt);
    HostVariant record = MarkedRecord();
    VariantToHostVariant(original, &record);
    UniqueVariant back;
    ASSERT_EQ(HostVariantToVariant(&record, back.Get()), S_OK);
    EXPECT_EQ(back->vt, original.vt);
    // VARCMP_EQ: the platform's own comparison of the two values.
    if (original.vt == VT_DISPATCH || original.vt == VT_UNKNOWN) {
      EXPECT_EQ(back->punkVal, original.punkVal);
      back->vt = VT_EMPTY;  // no reference of its own to give back
    } else if (original.vt == VT_ERROR) {
      EXPECT_EQ(back->scode, original.scode);
    } else {
      EXPECT_EQ(VarCmp(back.Get(), &original, LOCALE_USER_DEFAULT, 0), VARCMP_EQ);
    }
  }
  SysFreeString(values[6].bstrVal);
  EXPECT_EQ(probe->References(), 1);
  EXPECT_EQ(probe->AddRefCalls(), 0);
  probe->Release();
}

TEST(CommaSeparator, RecordTextsUseTheUsersSeparator) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  ExpectRealRoundTrip(VT_R8, 2.5, "2,500000");
  ExpectRealRoundTrip(VT_R4, -0.75, "-0,750000");
  ExpectRealRoundTrip(VT_R4, 1e15, "1,000e+15");
  HostVariant record = TypedRecord(VT_R8);
  std::strcpy(record.realText, "1,75");
  VARIANT value;
  ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
  EXPECT_EQ(value.dblVal, 1.75);
  EXPECT_STREQ(record.realText, "1,75");  // normalised on the library's copy

  record = TypedRecord(VT_CY);
  std::strcpy(record.currencyText, "-12,5");
  ASSERT_EQ(HostVariantToVariant(&record, &value), S_OK);
  EXPECT_EQ(value.cyVal.int64, -125000);
  VARIANT currency;
  VariantInit(&currency);
  currency.vt = VT_CY;
  currency.cyVal.int64 = 25000;
  record = MarkedRecord();
  VariantToHostVariant(currency, &record);
  EXPECT_STREQ(record.currencyText, "2,5");
}

}  // namespace
