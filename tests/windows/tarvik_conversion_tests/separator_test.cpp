// Real and currency texts with the user's decimal separator. Wine keeps a
// process's locale values once read, so each separator is set before a child
// process starts and its cases run there.
#include <gtest/gtest.h>
#include <windows.h>

#include <oleauto.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "tarvik/frame/conversions.h"
#include "tests/support/child_process.h"

namespace {

using namespace tarvik;
using quorvan::testing::InChildProcess;
using quorvan::testing::IntlValues;
using quorvan::testing::RunTestsInChild;
using quorvan::testing::ScopedIntlSettings;

VARIANT Garbage() {
  VARIANT value;
  std::memset(&value, 0xAB, sizeof value);
  return value;
}

void ExpectChildPasses(const char* filter, const IntlValues& values) {
  ScopedIntlSettings settings(values);
  const auto child = RunTestsInChild(filter);
  EXPECT_TRUE(child.Passed()) << child.output;
}

TEST(Separators, DotLeavesTextsAsTheyAre) {
  ExpectChildPasses("DotSeparator.*", {{"sDecimal", "."}, {"sThousand", ","}});
}
// The platform's currency parser reads the thousands and the monetary
// separators too: a user with a decimal comma has them the other way round.
TEST(Separators, CommaLocalizesAndNormalizes) {
  ExpectChildPasses(
      "CommaSeparator.*",
      {{"sDecimal", ","}, {"sThousand", "."}, {"sMonDecimalSep", ","}, {"sMonThousandSep", "."}});
}
TEST(Separators, AnEmptyValueActsAsADot) {
  ExpectChildPasses("EmptySeparator.*", {{"sDecimal", ""}});
}
TEST(Separators, OnlyTheFirstCharacterCounts) {
  ExpectChildPasses("LongSeparator.*", {{"sDecimal", "decimal point"}});
}

TEST(DotSeparator, TextsPassUnchanged) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  EXPECT_EQ(UserDecimalSeparator(), '.');
  char text[] = "1.5,2";
  LocalizeDecimalPoint(text);
  EXPECT_STREQ(text, "1.5,2");
  NormalizeDecimalPoint(text);
  EXPECT_STREQ(text, "1.5,2");
  char word[] = "abc";
  EXPECT_EQ(ParseRealText(word), 0.0);
  EXPECT_STREQ(word, "abc");
  LocalizeDecimalPoint(nullptr);
  NormalizeDecimalPoint(nullptr);
  EXPECT_EQ(ParseRealText(nullptr), 0.0);
}

TEST(DotSeparator, RealTextHasSixDecimals) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  EXPECT_EQ(RealText(3.25), "3.250000");
  EXPECT_EQ(RealText(-0.5), "-0.500000");
  EXPECT_EQ(RealText(0.0), "0.000000");
  EXPECT_EQ(RealText(1234567.0), "1234567.000000");
  EXPECT_EQ(RealText(static_cast<double>(2.1f)), "2.100000");
}

TEST(DotSeparator, TwoCallLengthProtocol) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  EXPECT_EQ(DeliverRealText(1234.5, nullptr), 11);
  char buffer[32];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(DeliverRealText(1234.5, buffer), 1);
  EXPECT_STREQ(buffer, "1234.500000");
  EXPECT_EQ(buffer[12], 'x');  // the text and its terminator, nothing more
  // A buffer just large enough for the length the first call gave.
  const int length = DeliverRealText(-1e20, nullptr);
  std::string exact(static_cast<std::size_t>(length) + 1, 'x');
  EXPECT_EQ(DeliverRealText(-1e20, exact.data()), 1);
  EXPECT_EQ(std::strlen(exact.c_str()), static_cast<std::size_t>(length));
  EXPECT_EQ(exact, std::string("-100000000000000000000.000000") + '\0');
}

TEST(DotSeparator, RealTextsBecomeVariants) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  VARIANT value = Garbage();
  char real[] = "1.75";
  RealTextToVariant(real, &value);
  EXPECT_EQ(value.vt, VT_R8);
  EXPECT_EQ(value.dblVal, 1.75);
  EXPECT_EQ(HostRealFromVariant(value), 1.75);
  char single[] = "0.1";
  ShortRealTextToVariant(single, &value);
  EXPECT_EQ(value.vt, VT_R4);
  EXPECT_EQ(value.fltVal, 0.1f);
  EXPECT_EQ(HostShortRealFromVariant(value), static_cast<double>(0.1f));
  char huge[] = "1e300";
  ShortRealTextToVariant(huge, &value);
  EXPECT_EQ(value.fltVal, std::numeric_limits<float>::infinity());
  char nothing[] = "abc";
  RealTextToVariant(nothing, &value);
  EXPECT_EQ(value.dblVal, 0.0);
}

TEST(CommaSeparator, RealTextGoesOutLocalizedAndComesBackNormalized) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  EXPECT_EQ(UserDecimalSeparator(), ',');
  EXPECT_EQ(RealText(2.5), "2,500000");
  EXPECT_EQ(DeliverRealText(1234.5, nullptr), 11);
  char buffer[32] = {};
  EXPECT_EQ(DeliverRealText(1234.5, buffer), 1);
  EXPECT_STREQ(buffer, "1234,500000");

  char text[] = "1,75";
  VARIANT value = Garbage();
  RealTextToVariant(text, &value);
  EXPECT_EQ(value.dblVal, 1.75);
  EXPECT_STREQ(text, "1.75");  // the host's own buffer is normalised in place
  char single[] = "2,5";
  ShortRealTextToVariant(single, &value);
  EXPECT_EQ(value.vt, VT_R4);
  EXPECT_EQ(value.fltVal, 2.5f);
  char dotted[] = "3.5";
  EXPECT_EQ(ParseRealText(dotted), 3.5);
}

TEST(CommaSeparator, OnlyTheFirstOccurrenceIsReplaced) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  char out[] = "1.2.3";
  LocalizeDecimalPoint(out);
  EXPECT_STREQ(out, "1,2.3");
  char in[] = "1,2,3";
  NormalizeDecimalPoint(in);
  EXPECT_STREQ(in, "1.2,3");
  char none[] = "123";
  LocalizeDecimalPoint(none);
  NormalizeDecimalPoint(none);
  EXPECT_STREQ(none, "123");
}

TEST(CommaSeparator, CurrencyTextFollowsTheUsersSeparator) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  CY value{};
  ASSERT_EQ(ParseCurrencyText("1,5", &value), S_OK);
  EXPECT_EQ(value.int64, 15000);
  EXPECT_EQ(CurrencyText(value), "1,5");
  ASSERT_EQ(ParseCurrencyText("-12345,6789", &value), S_OK);
  EXPECT_EQ(CurrencyText(value), "-12345,6789");
  value.int64 = std::numeric_limits<LONGLONG>::min();
  EXPECT_EQ(CurrencyText(value), "-922337203685477,5808");
}

TEST(EmptySeparator, TextsKeepTheirDot) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  EXPECT_EQ(UserDecimalSeparator(), '.');
  EXPECT_EQ(RealText(2.5), "2.500000");
  char text[] = "1.75";
  EXPECT_EQ(ParseRealText(text), 1.75);
  EXPECT_STREQ(text, "1.75");
}

TEST(LongSeparator, TheFirstCharacterIsTheSeparator) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  EXPECT_EQ(UserDecimalSeparator(), 'd');
  EXPECT_EQ(RealText(2.5), "2d500000");
  char text[] = "1d75";
  EXPECT_EQ(ParseRealText(text), 1.75);
  EXPECT_STREQ(text, "1.75");
}

TEST(DotSeparator, CurrencyTextRoundTrips) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  // Wine's parser goes through a double: exact round trips stay within 15
  // significant digits.
  const char* texts[] = {"0", "1.5", "-1.5", "12345.6789", "12345678901.2345", "0.0001"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    CY value{};
    ASSERT_EQ(ParseCurrencyText(text, &value), S_OK);
    EXPECT_EQ(CurrencyText(value), text);
  }
  CY value{};
  ASSERT_EQ(ParseCurrencyText("12345.6789", &value), S_OK);
  EXPECT_EQ(value.int64, 123456789);
  value.int64 = std::numeric_limits<LONGLONG>::min();
  const std::string longest = CurrencyText(value);
  EXPECT_EQ(longest.size(), 21u);
  char buffer[32];
  std::memset(buffer, 'x', sizeof buffer);
  DeliverCurrencyText(value, buffer);
  EXPECT_STREQ(buffer, "-922337203685477.5808");
  DeliverCurrencyText(value, nullptr);  // nothing to write into, nothing happens
}

TEST(DotSeparator, CurrencyTextThatDoesNotParseIsRefusedWithoutWriting) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  CY value;
  value.int64 = 77;
  EXPECT_EQ(ParseCurrencyText("abc", &value), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(ParseCurrencyText(nullptr, &value), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(ParseCurrencyText("922337203685477.5808", &value), DISP_E_OVERFLOW);
  EXPECT_EQ(ParseCurrencyText("1e30", &value), DISP_E_OVERFLOW);
  EXPECT_EQ(value.int64, 77);
  VARIANT variant = Garbage();
  variant.vt = VT_I4;
  EXPECT_EQ(CurrencyTextToVariant("abc", &variant), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(variant.vt, VT_I4);
  ASSERT_EQ(CurrencyTextToVariant("-2.25", &variant), S_OK);
  EXPECT_EQ(variant.vt, VT_CY);
  EXPECT_EQ(HostCurrencyFromVariant(variant).int64, -22500);
}

TEST(DotSeparator, FittedRealTextKeepsTheValueInTheRoomGiven) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  const double values[] = {0.0,  3.25,  -9.5,    99.999999, 123.456, -12345678.9,
                           1e15, -1e15, FLT_MAX, -FLT_MAX,  1e-7,    123456789012.0,
                           1e12, -1e11, 1e308,   -1e308,    5e-324,  99.5};
  for (std::size_t capacity : {std::size_t{10}, std::size_t{20}}) {
    for (double value : values) {
      SCOPED_TRACE(testing::Message() << value << " in " << capacity);
      const std::string text = FittedRealText(value, capacity);
      ASSERT_LT(text.size(), capacity);
      ASSERT_FALSE(text.empty());
      const double back = ParseNeutralReal(text.c_str());
      const double tolerance = std::fabs(value) * 1e-2 + 1e-6;
      EXPECT_NEAR(back, value, tolerance) << text;
    }
  }
}

}  // namespace
