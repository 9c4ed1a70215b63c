// Writing back through by-reference arguments: what each variable type
// receives, and everything that must leave the control's variable alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/heap_blocks.h"
#include "tests/windows/tarvik_event_tests/event_fixture.h"

namespace event_tests {
namespace {

using quorvan::testing::HeapGrowth;

template <class T>
std::vector<unsigned char> BytesOf(T value) {
  std::vector<unsigned char> bytes(sizeof value);
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}

// A host value written into a variable of `target` type. The variable starts
// as 16 bytes of 0xEE; afterwards it must begin with `stored` and keep the rest
// (a refused write keeps all of it).
struct Write {
  const char* label;
  VARTYPE target;
  HostVariant value;
  int result;
  std::vector<unsigned char> stored;
};

std::vector<Write> Writes() {
  CY twelveAndAHalf;
  twelveAndAHalf.int64 = 125000;
  CY three;
  three.int64 = 30000;
  return {
      {"VT_I2 from an integer", VT_I2, RecordI4(-300), 1, BytesOf<SHORT>(-300)},
      {"VT_I2 from a short", VT_I2, RecordI2(-2), 1, BytesOf<SHORT>(-2)},
      {"VT_BOOL from a bool", VT_BOOL, RecordBool(-1), 1, BytesOf<VARIANT_BOOL>(VARIANT_TRUE)},
      {"VT_BOOL from an integer", VT_BOOL, RecordI4(5), 1, BytesOf<VARIANT_BOOL>(VARIANT_TRUE)},
      {"VT_I4 from a numeric text", VT_I4, RecordString("12"), 1, BytesOf<LONG>(12)},
      {"VT_I4 from a real", VT_I4, RecordR8("2.5"), 1, BytesOf<LONG>(2)},
      {"VT_ERROR from an error", VT_ERROR, RecordError(DISP_E_PARAMNOTFOUND), 1,
       BytesOf<SCODE>(DISP_E_PARAMNOTFOUND)},
      {"VT_R4 from a real", VT_R4, RecordR8("2.25"), 1, BytesOf<float>(2.25f)},
      {"VT_R4 from a short real", VT_R4, RecordR4("-0.5"), 1, BytesOf<float>(-0.5f)},
      {"VT_R8 from a real", VT_R8, RecordR8("3.5"), 1, BytesOf<double>(3.5)},
      {"VT_R8 from an integer", VT_R8, RecordI4(7), 1, BytesOf<double>(7.0)},
      {"VT_DATE from a date", VT_DATE, RecordDate(730500), 1, BytesOf<double>(36526.0)},
      {"VT_CY from a currency text", VT_CY, RecordCy("12.5"), 1, BytesOf<CY>(twelveAndAHalf)},
      {"VT_CY from an integer", VT_CY, RecordI4(3), 1, BytesOf<CY>(three)},
      {"VT_UI1 from a short", VT_UI1, RecordI2(200), 1, BytesOf<BYTE>(200)},
      // Values that do not convert to the variable's type.
      {"VT_UI1 overflow", VT_UI1, RecordI4(300), 0, {}},
      {"VT_I2 from a word", VT_I2, RecordString("abc"), 0, {}},
      {"VT_I2 overflow", VT_I2, RecordI4(70000), 0, {}},
      {"VT_DATE from a word", VT_DATE, RecordString("abc"), 0, {}},
      // Variable types without a rule are never written.
      {"VT_I1", VT_I1, RecordI4(1), 0, {}},
      {"VT_UI2", VT_UI2, RecordI4(1), 0, {}},
      {"VT_UI4", VT_UI4, RecordI4(1), 0, {}},
      {"VT_I8", VT_I8, RecordI4(1), 0, {}},
      {"VT_INT", VT_INT, RecordI4(1), 0, {}},
      {"VT_DECIMAL", VT_DECIMAL, RecordI4(1), 0, {}},
      {"VT_VARIANT", VT_VARIANT, RecordI4(1), 0, {}},
      {"VT_EMPTY", VT_EMPTY, RecordI4(1), 0, {}},
  };
}

class WriteBack : public EventTest {};

TEST_F(WriteBack, EachVariableTypeReceivesItsWidthAndNoMore) {
  for (const Write& row : Writes()) {
    SCOPED_TRACE(row.label);
    alignas(16) unsigned char variable[16];
    std::memset(variable, 0xEE, sizeof variable);
    EventBlock block({I4(1), RefTo(row.target, variable)});
    EXPECT_EQ(Alter(block.Params(), 1, row.value), row.result);
    for (std::size_t i = 0; i < sizeof variable; ++i) {
      const unsigned expected = i < row.stored.size() ? row.stored[i] : 0xEE;
      EXPECT_EQ(variable[i], expected) << "byte " << i;
    }
    // The argument keeps its type tag, and the neighbour is not touched.
    EXPECT_EQ(block.At(1).vt, static_cast<VARTYPE>(row.target | VT_BYREF));
    EXPECT_EQ(block.At(0).vt, VT_I4);
    EXPECT_EQ(block.At(0).lVal, 1);
  }
}

TEST_F(WriteBack, EveryCallReplacesThePreviousValue) {
  LONG counter = 0;
  EventBlock block({RefTo(VT_I4, &counter)});
  for (LONG value : {5, -6, INT_MAX}) {
    EXPECT_EQ(Alter(block.Params(), 0, RecordI4(value)), 1);
    EXPECT_EQ(counter, value);
  }
}

TEST_F(WriteBack, AStringVariableGetsItsNewTextAndLosesTheOld) {
  VARIANT variable = Bstr(L"old");
  EventBlock block({RefTo(variable)});
  const BSTR old = variable.bstrVal;
  EXPECT_EQ(Alter(block.Params(), 0, RecordString("new")), 1);
  EXPECT_NE(variable.bstrVal, old);
  EXPECT_EQ(Narrow(variable.bstrVal), "new");
  EXPECT_EQ(SysStringLen(variable.bstrVal), 3u);
  // A second write, and one that needs a coercion.
  EXPECT_EQ(Alter(block.Params(), 0, RecordString("newer")), 1);
  EXPECT_EQ(Narrow(variable.bstrVal), "newer");
  EXPECT_EQ(Alter(block.Params(), 0, RecordI4(42)), 1);
  EXPECT_EQ(Narrow(variable.bstrVal), "42");
  // An empty or missing host text is the empty string.
  HostVariant none = Record(VT_BSTR);
  none.string = nullptr;
  EXPECT_EQ(Alter(block.Params(), 0, none), 1);
  ASSERT_NE(variable.bstrVal, nullptr);
  EXPECT_EQ(SysStringLen(variable.bstrVal), 0u);
  // The variable started without a string: nothing to free, no crash.
  VARIANT nothing = Empty();
  nothing.vt = VT_BSTR;
  EventBlock second({RefTo(nothing)});
  EXPECT_EQ(Alter(second.Params(), 0, RecordString("first")), 1);
  EXPECT_EQ(Narrow(nothing.bstrVal), "first");
  VariantClear(&nothing);
  VariantClear(&variable);
}

// Each write makes a BSTR and takes over the host's block: unless the old
// string and the block are both freed, the heap grows with every event.
TEST_F(WriteBack, StringWritesFreeWhatTheyReplaceAndWhatTheyConsume) {
  VARIANT variable = Bstr(L"start");
  EventBlock block({RefTo(variable)});
  EXPECT_LT(HeapGrowth(200, [&] { EXPECT_EQ(Alter(block.Params(), 0, RecordString("text")), 1); }),
            20);
  // A refused write consumes the block all the same.
  LONG number = 77;
  EventBlock numeric({RefTo(VT_I2, &number)});
  EXPECT_LT(HeapGrowth(200, [&] { EXPECT_EQ(Alter(numeric.Params(), 0, RecordString("x")), 0); }),
            20);
  EXPECT_EQ(number, 77);
  VariantClear(&variable);
}

TEST_F(WriteBack, ANonNumericTextLeavesAShortVariableUnchanged) {
  SHORT variable = 1234;
  EventBlock block({RefTo(VT_I2, &variable)});
  EXPECT_EQ(Alter(block.Params(), 0, RecordString("twelve")), 0);
  EXPECT_EQ(variable, 1234);
  EXPECT_EQ(Alter(block.Params(), 0, RecordString("12")), 1);
  EXPECT_EQ(variable, 12);
}

TEST_F(WriteBack, ArgumentsByValueAreNotWrittenAndKeepTheHostsText) {
  EventBlock block({I4(5), Bstr(L"by value"), I2(3)});
  for (int position = 0; position < block.Count(); ++position) {
    SCOPED_TRACE(position);
    HostVariant value = RecordString("kept");
    EXPECT_EQ(Alter(block.Params(), position, value), 0);
    // The block is still the host's, whole, to free.
    ASSERT_TRUE(HeapValidate(GetProcessHeap(), 0, value.string));
    EXPECT_STREQ(value.string, "kept");
    HeapFree(GetProcessHeap(), 0, value.string);
  }
  EXPECT_EQ(block.At(0).lVal, 5);
  EXPECT_EQ(Narrow(block.At(1).bstrVal), "by value");
  EXPECT_EQ(block.At(2).iVal, 3);
}

TEST_F(WriteBack, AReferenceWithoutAVariableIsRefused) {
  EventBlock block({RefTo(VT_I4, nullptr), RefTo(VT_BSTR, nullptr)});
  EXPECT_EQ(Alter(block.Params(), 0, RecordI4(1)), 0);
  EXPECT_EQ(Alter(block.Params(), 1, RecordString("lost")), 0);
}

// The host's reference on the new object moves into the variable, as the host's
// text block does; the object the variable held before is left as the control
// had it.
TEST_F(WriteBack, AnObjectVariableTakesOverTheHostsReference) {
  auto* before = new ValueObject;
  auto* after = new ValueObject;
  // One reference for each variable the test hands it to, and one the test keeps
  // to the end: a release too many then shows as a count, not as an object
  // destroyed under the test.
  after->AddRef();
  after->AddRef();
  IDispatch* dispatchVariable = before;
  IUnknown* unknownVariable = nullptr;
  {
    EventBlock block({RefTo(VT_DISPATCH, &dispatchVariable), RefTo(VT_UNKNOWN, &unknownVariable)});
    EXPECT_EQ(Alter(block.Params(), 0, RecordDispatch(after)), 1);
    EXPECT_EQ(dispatchVariable, static_cast<IDispatch*>(after));
    EXPECT_EQ(after->References(), 3);
    EXPECT_EQ(before->References(), 1);
    // Into an IUnknown variable: the object's IUnknown, with the reference.
    EXPECT_EQ(Alter(block.Params(), 1, RecordDispatch(after)), 1);
    EXPECT_EQ(unknownVariable, static_cast<IUnknown*>(static_cast<IDispatch*>(after)));
    ASSERT_EQ(after->References(), 3);
    ASSERT_EQ(dispatchVariable, static_cast<IDispatch*>(after));
    ASSERT_EQ(unknownVariable, static_cast<IUnknown*>(static_cast<IDispatch*>(after)));
  }
  // The control releases what its variables hold.
  dispatchVariable->Release();
  unknownVariable->Release();
  ASSERT_EQ(after->References(), 1);
  ASSERT_EQ(before->References(), 1);
  before->Release();
  after->Release();
}

// Converting an object to a number reads its default value. The host's
// reference is the library's either way: given back after the conversion, and
// after a refusal, exactly once.
TEST_F(WriteBack, ObjectsConvertedOrRefusedGiveTheHostsReferenceBackOnce) {
  auto* valued = new ValueObject(42);
  auto* plain = new ValueObject;
  // One reference to hand over and one the test keeps: a release too many then
  // shows as a count, not as an object destroyed under the test.
  valued->AddRef();
  plain->AddRef();
  {
    LONG number = 0;
    SHORT small = 9;
    IDispatch* object = nullptr;
    EventBlock block({RefTo(VT_I4, &number), RefTo(VT_I2, &small), RefTo(VT_DISPATCH, &object)});
    EXPECT_EQ(Alter(block.Params(), 0, RecordDispatch(valued)), 1);
    EXPECT_EQ(number, 42);
    EXPECT_EQ(valued->References(), 1);
    EXPECT_EQ(Alter(block.Params(), 1, RecordDispatch(plain)), 0);
    EXPECT_EQ(small, 9);
    EXPECT_EQ(plain->References(), 1);
    // A number is no object.
    EXPECT_EQ(Alter(block.Params(), 2, RecordI4(5)), 0);
    EXPECT_EQ(object, nullptr);
    // A null object is a value like any other.
    EXPECT_EQ(Alter(block.Params(), 2, RecordDispatch(nullptr)), 1);
    EXPECT_EQ(object, nullptr);
  }
  // Released only as far as the test still owns them; a miscount stops here.
  ASSERT_EQ(valued->References(), 1);
  ASSERT_EQ(plain->References(), 1);
  valued->Release();
  plain->Release();
}

}  // namespace
}  // namespace event_tests
