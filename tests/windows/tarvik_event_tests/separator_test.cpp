// Real and currency arguments with the user's decimal separator. Wine keeps a
// process's locale values once read, so the separator is set before a child
// process starts and the cases run there.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "tests/support/child_process.h"
#include "tests/windows/tarvik_event_tests/event_fixture.h"

namespace event_tests {
namespace {

using quorvan::testing::InChildProcess;
using quorvan::testing::RunTestsInChild;
using quorvan::testing::ScopedIntlSettings;

// The child initialises OLE, which makes a window. When no process holds the
// desktop yet, the child's first window starts the desktop process, and under
// Wine that process inherits the child's output pipe and keeps it open after
// the child has ended: the parent would wait for the end of the output forever.
// A window of the parent's own brings the desktop up before the child starts.
class DesktopInUse {
 public:
  DesktopInUse()
      : window_(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr)) {}
  ~DesktopInUse() {
    if (window_) DestroyWindow(window_);
  }
  DesktopInUse(const DesktopInUse&) = delete;
  DesktopInUse& operator=(const DesktopInUse&) = delete;

 private:
  HWND window_;
};

TEST(EventSeparators, ACommaReachesTheHostInBothDirections) {
  DesktopInUse desktop;
  // The platform's currency parser reads the thousands and monetary
  // separators too: a user with a decimal comma has them the other way round.
  ScopedIntlSettings settings(
      {{"sDecimal", ","}, {"sThousand", "."}, {"sMonDecimalSep", ","}, {"sMonThousandSep", "."}});
  const auto child = RunTestsInChild("CommaEvents.*");
  EXPECT_TRUE(child.Passed()) << child.output;
}

TEST(EventSeparators, ADotLeavesTextsAsTheyAre) {
  DesktopInUse desktop;
  ScopedIntlSettings settings({{"sDecimal", "."}, {"sThousand", ","}});
  const auto child = RunTestsInChild("DotEvents.*");
  EXPECT_TRUE(child.Passed()) << child.output;
}

class CommaEvents : public EventTest {
 protected:
  void SetUp() override {
    if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
    EventTest::SetUp();
  }
};
class DotEvents : public CommaEvents {};

TEST_F(CommaEvents, RealTextsCarryTheComma) {
  EventBlock block({R8(3.5), R4(2.5f), R8(-1234.5)});
  DISPPARAMS* params = block.Params();
  EXPECT_EQ(events_.getOCXEventRealParam(params, 0, nullptr), 8);
  char buffer[32];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(events_.getOCXEventRealParam(params, 0, buffer), 1);
  EXPECT_STREQ(buffer, "3,500000");
  EXPECT_EQ(ReadShortReal(params, 1), "2,500000");
  EXPECT_EQ(ReadReal(params, 2), "-1234,500000");
  HostVariant record{};
  ASSERT_EQ(events_.getOCXEventOLEVariantParam(params, 0, &record), 1);
  EXPECT_STREQ(record.realText, "3,500000");
}

TEST_F(CommaEvents, CurrencyTextsCarryTheComma) {
  EventBlock block({Cy(35000), Cy(-123456789)});
  EXPECT_EQ(ReadCurrency(block.Params(), 0), "3,5");
  EXPECT_EQ(ReadCurrency(block.Params(), 1), "-12345,6789");
}

TEST_F(CommaEvents, WrittenRealsAndCurrenciesAreReadWithTheComma) {
  double real = 0.0;
  float shortReal = 0.0f;
  CY currency{};
  EventBlock block({RefTo(VT_R8, &real), RefTo(VT_R4, &shortReal), RefTo(VT_CY, &currency)});
  EXPECT_EQ(Alter(block.Params(), 0, RecordR8("1,75")), 1);
  EXPECT_EQ(real, 1.75);
  EXPECT_EQ(Alter(block.Params(), 1, RecordR4("2,5")), 1);
  EXPECT_EQ(shortReal, 2.5f);
  EXPECT_EQ(Alter(block.Params(), 2, RecordCy("12,5")), 1);
  EXPECT_EQ(currency.int64, 125000);
}

TEST_F(DotEvents, RealTextsKeepTheDot) {
  EventBlock block({R8(3.5), Cy(35000)});
  EXPECT_EQ(events_.getOCXEventRealParam(block.Params(), 0, nullptr), 8);
  EXPECT_EQ(ReadReal(block.Params(), 0), "3.500000");
  EXPECT_EQ(ReadCurrency(block.Params(), 1), "3.5");
  double real = 0.0;
  EventBlock written({RefTo(VT_R8, &real)});
  EXPECT_EQ(Alter(written.Params(), 0, RecordR8("1.75")), 1);
  EXPECT_EQ(real, 1.75);
}

}  // namespace
}  // namespace event_tests
