// Arguments that are not there: an event without arguments (lParam 0),
// positions outside the block, blocks whose counts do not match their arrays.
// Every export answers with its failure result and touches nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/windows/tarvik_event_tests/event_fixture.h"

namespace event_tests {
namespace {

class MissingArguments : public EventTest {
 protected:
  struct Export {
    const char* name;
    std::function<std::string(DISPPARAMS*, int)> call;
    const char* failure;
  };

  std::vector<Export> Exports() {
    return {
        {"GetOCXEventBoolParam", [&](DISPPARAMS* p, int i) { return ReadBool(p, i); }, "0"},
        {"GetOCXEventShortParam", [&](DISPPARAMS* p, int i) { return ReadShort(p, i); }, "0"},
        {"GetOCXEventIntegerParam", [&](DISPPARAMS* p, int i) { return ReadInteger(p, i); }, "0"},
        {"GetOCXEventRealParam", [&](DISPPARAMS* p, int i) { return ReadReal(p, i); }, "fail"},
        {"GetOCXEventShortRealParam", [&](DISPPARAMS* p, int i) { return ReadShortReal(p, i); },
         "fail"},
        {"GetOCXEventCurrencyParam", [&](DISPPARAMS* p, int i) { return ReadCurrency(p, i); },
         "fail"},
        {"GetOCXEventDateParam", [&](DISPPARAMS* p, int i) { return ReadDate(p, i); }, "0"},
        {"GetOCXEventStringParam", [&](DISPPARAMS* p, int i) { return ReadString(p, i); },
         "<null>"},
        {"GetOCXEventOLEVariantParam",
         [&](DISPPARAMS* p, int i) {
           HostVariant record;
           std::memset(&record, 0xCD, sizeof record);
           const int result = events_.getOCXEventOLEVariantParam(p, i, &record);
           const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
           for (std::size_t b = 0; b < sizeof record; ++b) {
             if (bytes[b] != 0xCD) return "record written at byte " + std::to_string(b);
           }
           return std::to_string(result);
         },
         "0"},
        {"AlterOCXEventParam",
         [&](DISPPARAMS* p, int i) {
           // A string value: when nothing is written, the block stays the host's.
           HostVariant value = RecordString("host's");
           const int result = Alter(p, i, value);
           if (!HeapValidate(GetProcessHeap(), 0, value.string)) return std::string("block freed");
           HeapFree(GetProcessHeap(), 0, value.string);
           return std::to_string(result);
         },
         "0"},
    };
  }

  void ExpectFailureEverywhere(DISPPARAMS* params, const std::vector<int>& positions) {
    for (const Export& e : Exports()) {
      for (int position : positions) {
        SCOPED_TRACE(testing::Message() << e.name << " at " << position);
        EXPECT_EQ(e.call(params, position), e.failure);
      }
    }
  }
};

TEST_F(MissingArguments, AnEventWithoutArgumentsHasNothingToRead) {
  ExpectFailureEverywhere(nullptr, {0, 1, -1});
  EventBlock none({});
  ExpectFailureEverywhere(none.Params(), {0, 1, -1});
}

TEST_F(MissingArguments, PositionsOutsideTheBlockFindNothing) {
  // Arguments every export could read or write, were they asked for.
  VARIANT variable = I4(8);
  EventBlock block({RefTo(variable), RefTo(variable)});
  ExpectFailureEverywhere(block.Params(), {2, 3, 1000, INT_MAX, -1, -2, INT_MIN});
  EXPECT_EQ(variable.lVal, 8);
  // The same block answers for the positions it has.
  EXPECT_EQ(events_.getOCXEventIntegerParam(block.Params(), 1), 8);
}

TEST_F(MissingArguments, BlocksWhoseCountsDoNotMatchTheirArraysAreRefused) {
  VARIANT variable = I4(8);
  VARIANT argument = RefTo(variable);
  DISPID named = 0;
  DISPPARAMS noArray{nullptr, nullptr, 2, 0};
  ExpectFailureEverywhere(&noArray, {0, 1});
  DISPPARAMS moreNamedThanAll{&argument, &named, 1, 3};
  ExpectFailureEverywhere(&moreNamedThanAll, {0, 1});
  DISPPARAMS namedWithoutNames{&argument, nullptr, 1, 1};
  ExpectFailureEverywhere(&namedWithoutNames, {0, 1});
  EXPECT_EQ(variable.lVal, 8);
}

// A negative position taken as unsigned would name a named argument whose
// DISPID has the same bits (DISPID_PROPERTYPUT is -3).
TEST_F(MissingArguments, ANegativePositionNeverFindsANamedArgument) {
  VARIANT variable = I4(8);
  VARIANT argument = RefTo(variable);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS block{&argument, &named, 1, 1};
  ExpectFailureEverywhere(&block, {DISPID_PROPERTYPUT});
  EXPECT_EQ(variable.lVal, 8);
}

}  // namespace
}  // namespace event_tests
