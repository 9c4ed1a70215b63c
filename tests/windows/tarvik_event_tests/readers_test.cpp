// Reading event arguments: every reader against arguments of every type, passed
// by value and by reference, at the position the host names.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/heap_blocks.h"
#include "tests/windows/tarvik_event_tests/event_fixture.h"

namespace event_tests {
namespace {

using quorvan::testing::HeapGrowth;

// "*" marks a result that is the platform's text of a date and not checked.
struct Coercion {
  const char* label;
  std::function<VARIANT()> make;
  bool byReferenceToo;
  const char* boolean;
  const char* shortValue;
  const char* integer;
  const char* real;
  const char* shortReal;
  const char* currency;
  const char* date;
  const char* string;
};

// What a control's argument gives through each reader. Numbers that do not fit
// the narrower type fail; fractions round to even; the date keeps the day; a
// truth value reads as the number it is, also as text.
const Coercion kCoercions[] = {
    {"VT_I2 -7", [] { return I2(-7); }, true, "-1", "-7", "-7", "-7.000000", "-7.000000", "-7",
     "693967", "-7"},
    {"VT_I4 123456", [] { return I4(123456); }, true, "-1", "0", "123456", "123456.000000",
     "123456.000000", "123456", "817430", "123456"},
    {"VT_R8 3.5", [] { return R8(3.5); }, true, "-1", "4", "4", "3.500000", "3.500000", "3.5",
     "693977", "3.5"},
    {"VT_R8 -2.5", [] { return R8(-2.5); }, true, "-1", "-2", "-2", "-2.500000", "-2.500000",
     "-2.5", "693972", "-2.5"},
    {"VT_R4 2.5", [] { return R4(2.5f); }, true, "-1", "2", "2", "2.500000", "2.500000", "2.5",
     "693976", "2.5"},
    {"VT_CY 12.3456", [] { return Cy(123456); }, true, "-1", "12", "12", "12.345600", "12.345600",
     "12.3456", "693986", "12.3456"},
    {"VT_DATE 36526.75", [] { return Date(36526.75); }, true, "-1", "0", "36527", "36526.750000",
     "36526.750000", "36526.75", "730500", "*"},
    {"VT_BSTR 12", [] { return Bstr(L"12"); }, true, "-1", "12", "12", "12.000000", "12.000000",
     "12", "*", "12"},
    {"VT_BSTR abc", [] { return Bstr(L"abc"); }, true, "0", "0", "0", "fail", "fail", "fail", "0",
     "abc"},
    {"VT_BOOL true", [] { return Bool(true); }, true, "-1", "-1", "-1", "-1.000000", "-1.000000",
     "-1", "693973", "-1"},
    {"VT_BOOL false", [] { return Bool(false); }, true, "0", "0", "0", "0.000000", "0.000000", "0",
     "693974", "0"},
    {"VT_UI1 200", [] { return UI1(200); }, true, "-1", "200", "200", "200.000000", "200.000000",
     "200", "694174", "200"},
    // The empty value converts to zero and the empty text; the null value to
    // nothing: its date is the failure result, not day 693974.
    {"VT_EMPTY", [] { return Empty(); }, false, "0", "0", "0", "0.000000", "0.000000", "0",
     "693974", ""},
    {"VT_NULL", [] { return Null(); }, false, "0", "0", "0", "fail", "fail", "fail", "0", "<null>"},
};

class Readers : public EventTest {
 protected:
  // Reads the argument at position 0 of a two-argument event whose second
  // argument would give other results, so that a reader looking at the wrong
  // end of the block is caught.
  void ExpectReadings(const Coercion& row, EventBlock& block) {
    DISPPARAMS* params = block.Params();
    EXPECT_EQ(ReadBool(params, 0), row.boolean) << "Bool";
    EXPECT_EQ(ReadShort(params, 0), row.shortValue) << "Short";
    EXPECT_EQ(ReadInteger(params, 0), row.integer) << "Integer";
    EXPECT_EQ(ReadReal(params, 0), row.real) << "Real";
    EXPECT_EQ(ReadShortReal(params, 0), row.shortReal) << "ShortReal";
    EXPECT_EQ(ReadCurrency(params, 0), row.currency) << "Currency";
    if (std::strcmp(row.date, "*") != 0) {
      EXPECT_EQ(ReadDate(params, 0), row.date) << "Date";
    }
    if (std::strcmp(row.string, "*") != 0) {
      EXPECT_EQ(ReadString(params, 0), row.string) << "String";
    }
  }
};

TEST_F(Readers, ArgumentsByValueCoerceToEachFamily) {
  for (const Coercion& row : kCoercions) {
    SCOPED_TRACE(row.label);
    EventBlock block({row.make(), I4(9999)});
    ExpectReadings(row, block);
  }
}

TEST_F(Readers, ArgumentsByReferenceReadTheControlsVariable) {
  for (const Coercion& row : kCoercions) {
    if (!row.byReferenceToo) continue;
    SCOPED_TRACE(row.label);
    VARIANT variable = row.make();
    {
      EventBlock block({RefTo(variable), I4(9999)});
      ExpectReadings(row, block);
    }
    // The control's variable is read, never changed or freed.
    VARIANT fresh = row.make();
    EXPECT_EQ(variable.vt, fresh.vt);
    if (variable.vt == VT_BSTR) {
      EXPECT_EQ(Narrow(variable.bstrVal), Narrow(fresh.bstrVal));
    } else {
      EXPECT_EQ(std::memcmp(&variable, &fresh, sizeof variable), 0);
    }
    VariantClear(&variable);
    VariantClear(&fresh);
  }
}

TEST_F(Readers, PositionsCountTheDeclaredParametersFromTheFirst) {
  VARIANT counter = I4(40);
  EventBlock block({I4(10), Bstr(L"twenty"), R8(30.5), RefTo(counter)});
  DISPPARAMS* params = block.Params();
  EXPECT_EQ(events_.getOCXEventIntegerParam(params, 0), 10);
  EXPECT_EQ(ReadString(params, 1), "twenty");
  EXPECT_EQ(ReadReal(params, 2), "30.500000");
  EXPECT_EQ(events_.getOCXEventIntegerParam(params, 3), 40);
  // Position 0 of a two-argument event is the block's second entry.
  EventBlock pair({I2(1), I2(2)});
  EXPECT_EQ(&pair.Params()->rgvarg[1], &pair.At(0));
  EXPECT_EQ(events_.getOCXEventShortParam(pair.Params(), 0), 1);
  EXPECT_EQ(events_.getOCXEventShortParam(pair.Params(), 1), 2);
}

TEST_F(Readers, BoolAndShortWidenWithTheirSign) {
  EventBlock block({Bool(true), I2(-32768), I2(32767), UI1(255)});
  EXPECT_EQ(events_.getOCXEventBoolParam(block.Params(), 0), -1);
  EXPECT_EQ(events_.getOCXEventShortParam(block.Params(), 1), -32768);
  EXPECT_EQ(events_.getOCXEventShortParam(block.Params(), 2), 32767);
  EXPECT_EQ(events_.getOCXEventShortParam(block.Params(), 3), 255);
}

TEST_F(Readers, RealTextFollowsTheTwoCallProtocol) {
  EventBlock block({R8(3.5), R4(-0.25f), R8(-1e20)});
  DISPPARAMS* params = block.Params();
  EXPECT_EQ(events_.getOCXEventRealParam(params, 0, nullptr), 8);  // "3.500000"
  char buffer[64];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(events_.getOCXEventRealParam(params, 0, buffer), 1);
  EXPECT_STREQ(buffer, "3.500000");
  EXPECT_EQ(buffer[9], 'x');  // the text and its terminator, nothing more
  EXPECT_EQ(events_.getOCXEventShortRealParam(params, 1, nullptr), 9);
  EXPECT_EQ(events_.getOCXEventShortRealParam(params, 1, buffer), 1);
  EXPECT_STREQ(buffer, "-0.250000");
  // Long texts have no field to fit: the length asked for is the whole text.
  EXPECT_EQ(events_.getOCXEventRealParam(params, 2, nullptr), 29);
  EXPECT_EQ(ReadReal(params, 2), "-100000000000000000000.000000");
}

TEST_F(Readers, CurrencyTextHasRoomForTheLongestValue) {
  EventBlock block({Cy(LLONG_MIN), Cy(LLONG_MAX)});
  EXPECT_EQ(ReadCurrency(block.Params(), 0), "-922337203685477.5808");
  EXPECT_EQ(ReadCurrency(block.Params(), 1), "922337203685477.5807");
}

TEST_F(Readers, AnObjectArgumentReadsAsItsValueOrItsPointer) {
  auto* plain = new ValueObject;
  auto* valued = new ValueObject(42);
  {
    VARIANT variable = Object(plain);
    EventBlock block({Object(plain), Object(valued), RefTo(variable)});
    const long plainBefore = plain->References();
    const long valuedBefore = valued->References();
    const auto pointerValue =
        static_cast<int>(reinterpret_cast<std::intptr_t>(static_cast<IDispatch*>(plain)));
    EXPECT_EQ(events_.getOCXEventIntegerParam(block.Params(), 0), pointerValue);
    EXPECT_EQ(events_.getOCXEventIntegerParam(block.Params(), 1), 42);
    EXPECT_EQ(events_.getOCXEventIntegerParam(block.Params(), 2), pointerValue);
    EXPECT_EQ(ReadReal(block.Params(), 1), "42.000000");
    // Only the integer reader falls back to the pointer.
    EXPECT_EQ(ReadShort(block.Params(), 0), "0");
    EXPECT_EQ(ReadReal(block.Params(), 0), "fail");
    // Reading takes no reference that outlives the call.
    EXPECT_EQ(plain->References(), plainBefore);
    EXPECT_EQ(valued->References(), valuedBefore);
    VariantClear(&variable);
  }
  EXPECT_EQ(plain->References(), 1);
  EXPECT_EQ(valued->References(), 1);
  plain->Release();
  valued->Release();
}

// The OLE-variant reader copies the argument as it stands into the record:
// its type and the one field of the type; every other byte stays the host's.
struct VariantReading {
  const char* label;
  std::function<VARIANT()> make;
  std::uint32_t type;
  std::size_t offset;       // of the one field written
  std::size_t width;        // of that field
  std::vector<char> field;  // what it begins with
};

template <class T>
std::vector<char> BytesOf(T value) {
  std::vector<char> bytes(sizeof value);
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}
std::vector<char> TextField(const char* text) {
  return std::vector<char>(text, text + std::strlen(text) + 1);
}

TEST_F(Readers, OleVariantCopiesTheArgumentAsItStands) {
  const VariantReading rows[] = {
      {"VT_I2", [] { return I2(-7); }, VT_I2, offsetof(HostVariant, shortValue), 4, BytesOf(-7)},
      {"VT_I4", [] { return I4(123456); }, VT_I4, offsetof(HostVariant, integerValue), 4,
       BytesOf(123456)},
      {"VT_R4", [] { return R4(2.5f); }, VT_R4, offsetof(HostVariant, shortRealText), 10,
       TextField("2.500000")},
      {"VT_R8", [] { return R8(3.5); }, VT_R8, offsetof(HostVariant, realText), 20,
       TextField("3.500000")},
      {"VT_CY", [] { return Cy(123456); }, VT_CY, offsetof(HostVariant, currencyText), 25,
       TextField("12.3456")},
      {"VT_DATE", [] { return Date(36526.75); }, VT_DATE, offsetof(HostVariant, date), 4,
       BytesOf(730500)},
      {"VT_ERROR", [] { return Error(DISP_E_PARAMNOTFOUND); }, VT_ERROR,
       offsetof(HostVariant, error), 4, BytesOf(DISP_E_PARAMNOTFOUND)},
      {"VT_BOOL", [] { return Bool(true); }, VT_BOOL, offsetof(HostVariant, boolValue), 4,
       BytesOf(-1)},
      {"VT_UI1", [] { return UI1(200); }, VT_UI1, offsetof(HostVariant, byteValue), 4,
       BytesOf(200)},
      {"VT_EMPTY", [] { return Empty(); }, VT_EMPTY, 0, 0, {}},
      {"VT_NULL", [] { return Null(); }, VT_NULL, 0, 0, {}},
  };
  for (const VariantReading& row : rows) {
    SCOPED_TRACE(row.label);
    EventBlock block({row.make(), I4(9999)});
    HostVariant record;
    std::memset(&record, 0xCD, sizeof record);
    ASSERT_EQ(events_.getOCXEventOLEVariantParam(block.Params(), 0, &record), 1);
    EXPECT_EQ(record.type, row.type);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    for (std::size_t i = sizeof record.type; i < sizeof record; ++i) {
      if (i < row.offset || i >= row.offset + row.width) {
        EXPECT_EQ(bytes[i], 0xCD) << "byte " << i;
      } else if (i < row.offset + row.field.size()) {
        EXPECT_EQ(static_cast<char>(bytes[i]), row.field[i - row.offset]) << "byte " << i;
      }
    }
  }
}

TEST_F(Readers, OleVariantGivesStringsAndObjectsToTheHost) {
  auto* object = new ValueObject;
  {
    EventBlock block({Bstr(L"text"), Object(object), RefTo(VT_I4, nullptr)});
    HostVariant record;
    std::memset(&record, 0xCD, sizeof record);
    ASSERT_EQ(events_.getOCXEventOLEVariantParam(block.Params(), 0, &record), 1);
    ASSERT_EQ(record.type, static_cast<std::uint32_t>(VT_BSTR));
    EXPECT_EQ(TakeHostText(record.string), "text");

    const long before = object->References();
    ASSERT_EQ(events_.getOCXEventOLEVariantParam(block.Params(), 1, &record), 1);
    EXPECT_EQ(record.type, static_cast<std::uint32_t>(VT_DISPATCH));
    EXPECT_EQ(record.dispatch, static_cast<IDispatch*>(object));
    // Like the integer reader's pointer, valid while the event lasts.
    EXPECT_EQ(object->References(), before);

    // A by-reference argument gives its type tag and nothing else, not even
    // a look at the variable (here there is none).
    std::memset(&record, 0xCD, sizeof record);
    ASSERT_EQ(events_.getOCXEventOLEVariantParam(block.Params(), 2, &record), 1);
    EXPECT_EQ(record.type, static_cast<std::uint32_t>(VT_BYREF | VT_I4));
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    for (std::size_t i = sizeof record.type; i < sizeof record; ++i) {
      EXPECT_EQ(bytes[i], 0xCD) << "byte " << i;
    }
    // Without a record there is nowhere to put it.
    EXPECT_EQ(events_.getOCXEventOLEVariantParam(block.Params(), 0, nullptr), 0);
  }
  object->Release();
}

TEST_F(Readers, RepeatedReadsLeaveNoHeapBlocksBehind) {
  VARIANT variable = Bstr(L"by reference");
  EventBlock block({Bstr(L"a string argument"), RefTo(variable), Bstr(L"12.5"), Null()});
  DISPPARAMS* params = block.Params();
  char buffer[64];
  const std::vector<std::pair<const char*, std::function<void()>>> reads = {
      {"String by value",
       [&] { HeapFree(GetProcessHeap(), 0, events_.getOCXEventStringParam(params, 0, 0)); }},
      {"String by reference",
       [&] { HeapFree(GetProcessHeap(), 0, events_.getOCXEventStringParam(params, 1, 0)); }},
      {"String of nothing", [&] { events_.getOCXEventStringParam(params, 3, 0); }},
      {"Real from text", [&] { events_.getOCXEventRealParam(params, 2, buffer); }},
      {"Currency from text", [&] { events_.getOCXEventCurrencyParam(params, 2, buffer); }},
      {"OLE variant string",
       [&] {
         HostVariant record{};
         events_.getOCXEventOLEVariantParam(params, 0, &record);
         HeapFree(GetProcessHeap(), 0, record.string);
       }},
  };
  for (const auto& [label, read] : reads) {
    SCOPED_TRACE(label);
    EXPECT_LT(HeapGrowth(200, read), 20);
  }
  VariantClear(&variable);
}

}  // namespace
}  // namespace event_tests
