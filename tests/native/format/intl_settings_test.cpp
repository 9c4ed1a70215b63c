#include "quillet/format/intl_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace quillet {
namespace {

// A profile and locale holding whatever a test puts in. Absent keys give the
// caller's default, cut to the buffer as the profile call cuts it; every call is logged.
class FakeIntlSource : public IntlSource {
 public:
  std::map<std::string, std::string> strings;
  std::map<std::string, int> ints;
  std::vector<std::string> days, months;
  bool cutToBuffer = true;
  mutable std::vector<std::string> calls;

  std::string ProfileString(const char* key, const char* fallback, unsigned size) const override {
    calls.push_back(std::string(key) + "/" + std::to_string(size));
    std::string value = strings.count(key) != 0 ? strings.at(key) : fallback;
    if (cutToBuffer && value.size() >= size) value.resize(size - 1);
    return value;
  }
  int ProfileInt(const char* key, int fallback) const override {
    calls.push_back(key);
    return ints.count(key) != 0 ? ints.at(key) : fallback;
  }
  std::string DayName(int i) const override { return Name("day", days, i); }
  std::string MonthName(int i) const override { return Name("month", months, i); }

 private:
  std::string Name(const char* what, const std::vector<std::string>& names, int i) const {
    calls.push_back(what + std::to_string(i));
    return i < static_cast<int>(names.size()) ? names[i] : "";
  }
};

std::string Separators(const IntlSettings& s) {
  return {s.thousandsSeparator, s.decimalSeparator, s.dateSeparator, s.timeSeparator};
}

TEST(IntlSettingsTest, EmptyProfileGivesTheDefaultsReadInOrder) {
  FakeIntlSource source;
  const IntlSettings s = ReadIntlSettings(source);
  EXPECT_EQ(Separators(s), ",./:");
  EXPECT_STREQ(s.shortDatePattern, "m/d/yyyy");
  EXPECT_STREQ(s.timePattern, "h:mm:ss ap");
  EXPECT_STREQ(s.dayNames[0], "");
  EXPECT_STREQ(s.monthNames[11], "");

  std::vector<std::string> expected;
  for (int i = 0; i < 7; ++i) expected.push_back("day" + std::to_string(i));
  for (int i = 0; i < 12; ++i) expected.push_back("month" + std::to_string(i));
  for (const char* call :
       {"sThousand/2", "sDecimal/2", "sDate/2", "sShortDate/16", "sTime/2", "iTLZero", "iTime"}) {
    expected.push_back(call);
  }
  EXPECT_EQ(source.calls, expected);
}

TEST(IntlSettingsTest, SeparatorsKeepTheirFirstCharacterOrTheDefaultWhenEmpty) {
  FakeIntlSource source;
  source.cutToBuffer = false;
  source.strings = {{"sThousand", "'"}, {"sDecimal", ","}, {"sDate", ".-"}, {"sTime", ""}};
  const IntlSettings s = ReadIntlSettings(source);
  EXPECT_EQ(Separators(s), "',.:");
}

TEST(IntlSettingsTest, ShortDatePatternsAreNormalisedAndCutAfterAWholeField) {
  const struct {
    const char *shortDate, *dateSeparator, *pattern;
  } cases[] = {
      {"MM/dd/yy", "/", "m/d/yyyy"},
      {"dd/MM/yy", "/", "d/m/yyyy"},
      {"dd.MM.yyyy", ".", "d/m/yyyy"},
      {"yyyy-MM-dd", "-", "yyyy/m/d"},
      {"dd.MM.yyyy", "/", "d.m.yyyy"},
      {"d. M. y", ".", "d/ m/ yyyy"},
      {"YY MMM DDD", " ", "yyyy/m/d"},
      {"", "/", "m/d/yyyy"},
      {"y.y.y.y.y.y.y.y", ".", "yyyy/yyyy/yyyy/"},
  };
  for (const auto& c : cases) {
    FakeIntlSource source;
    source.strings = {{"sShortDate", c.shortDate}, {"sDate", c.dateSeparator}};
    EXPECT_STREQ(ReadIntlSettings(source).shortDatePattern, c.pattern) << c.shortDate;
  }
  // A source that ignores the buffer size is cut as the profile call would cut it.
  FakeIntlSource source;
  source.cutToBuffer = false;
  source.strings = {{"sShortDate", "dd/MM/yyyy/y/y/y/y/y/y/y/y/y"}};
  EXPECT_STREQ(ReadIntlSettings(source).shortDatePattern, "d/m/yyyy/yyyy/");

  char out[kIntlPatternSize];
  NormaliseShortDate("abcdefghijklmnopqrstuvwxyz", '/', out);
  EXPECT_STREQ(out, "abcdefghijklmno");
  NormaliseShortDate(nullptr, '/', out);
  EXPECT_STREQ(out, "");
}

TEST(IntlSettingsTest, TimePatternFollowsLeadingZeroAndClock) {
  const struct {
    int leadingZero, clock24;
    const char* pattern;
  } cases[] = {{0, 0, "h:mm:ss ap"},
               {1, 0, "hh:mm:ss ap"},
               {0, 1, "h:mm:ss"},
               {1, 1, "hh:mm:ss"},
               {2, -1, "hh:mm:ss"}};
  for (const auto& c : cases) {
    FakeIntlSource source;
    source.ints = {{"iTLZero", c.leadingZero}, {"iTime", c.clock24}};
    EXPECT_STREQ(ReadIntlSettings(source).timePattern, c.pattern) << c.leadingZero << c.clock24;
  }
}

TEST(IntlSettingsTest, NamesComeFromTheLocaleAndAreCut) {
  FakeIntlSource source;
  source.days = {"Sonntag", "Montag", "", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
  source.months = {"Januar", std::string(300, 'x')};
  const IntlSettings s = ReadIntlSettings(source);
  EXPECT_STREQ(s.dayNames[0], "Sonntag");
  EXPECT_STREQ(s.dayNames[2], "");
  EXPECT_STREQ(s.dayNames[6], "Samstag");
  EXPECT_STREQ(s.monthNames[0], "Januar");
  EXPECT_EQ(std::strlen(s.monthNames[1]), kIntlNameSize - 1);
}

TEST(IntlSettingsTest, LoadingReplacesTheSettingsInForce) {
  FakeIntlSource german;
  german.strings = {{"sDecimal", ","}, {"sDate", "."}, {"sShortDate", "dd.MM.yyyy"}};
  german.ints = {{"iTime", 1}};
  LoadIntlSettingsFrom(german);
  EXPECT_EQ(Intl().decimalSeparator, ',');
  EXPECT_STREQ(Intl().shortDatePattern, "d/m/yyyy");
  EXPECT_STREQ(Intl().timePattern, "h:mm:ss");

  // Natively the machine has no profile: defaults and the C locale's names.
  LoadIntlSettings();
  EXPECT_EQ(Intl().decimalSeparator, '.');
  EXPECT_STREQ(Intl().shortDatePattern, "m/d/yyyy");
  EXPECT_STREQ(Intl().dayNames[0], "Sunday");
  EXPECT_STREQ(Intl().dayNames[6], "Saturday");
  EXPECT_STREQ(Intl().monthNames[11], "December");
}

}  // namespace
}  // namespace quillet
