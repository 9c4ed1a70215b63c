#include "quillet/format/date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "quillet/format/date_time_mask.h"
#include "quillet/format/intl_settings.h"

namespace quillet {
namespace {

DateTimeParts Make(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                   int ms = 0) {
  DateTimeParts p;
  p.year = static_cast<std::int16_t>(year);
  p.month = static_cast<std::uint8_t>(month);
  p.day = static_cast<std::uint8_t>(day);
  p.hour = static_cast<std::uint8_t>(hour);
  p.minute = static_cast<std::uint8_t>(minute);
  p.second = static_cast<std::uint8_t>(second);
  p.milliseconds = static_cast<std::uint16_t>(ms);
  return p;
}

std::string Show(const DateTimeParts& p) {
  char text[64];
  std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day,
                p.hour, p.minute, p.second, p.milliseconds);
  return text;
}

// Reads a value placed at an odd address, as callers' records often are.
std::string Read(const void* value, std::size_t size, char code) {
  unsigned char buffer[48] = {};
  std::memcpy(buffer + 1, value, size);
  DateTimeParts p = Make(1, 1, 1, 1, 1, 1, 1);
  return ValueToDateTimeParts(&p, buffer + 1, code) ? Show(p) : "refused " + Show(p);
}

TEST(DayNumberTest, KnownDaysAndTheCalendarSwitch) {
  EXPECT_EQ(DayNumberFromDate(1900, 1, 1), 2415021);
  EXPECT_EQ(DayNumberFromDate(1899, 12, 30), 2415019);
  EXPECT_EQ(DayNumberFromDate(2000, 2, 29), 2451604);
  EXPECT_EQ(DayNumberFromDate(1582, 10, 15), 2299161);
  EXPECT_EQ(DayNumberFromDate(1582, 10, 4), 2299160);
  EXPECT_EQ(DayNumberFromDate(-4713, 1, 1), 0);
  EXPECT_EQ(DayNumberFromDate(0, 3, 1), DayNumberFromDate(1992, 3, 1));
  EXPECT_EQ(DayNumberFromDate(1, 1, 1) - DayNumberFromDate(-1, 12, 31), 1);

  DateTimeParts p;
  ASSERT_TRUE(DateFromDayNumber(2299160, &p));
  EXPECT_EQ(Show(p), "1582-10-04 00:00:00.000");
  ASSERT_TRUE(DateFromDayNumber(2451604, &p));
  EXPECT_EQ(Show(p), "2000-02-29 00:00:00.000");
  ASSERT_TRUE(DateFromDayNumber(DayNumberFromDate(6700, 3, 1), &p));
  EXPECT_EQ(Show(p), "6700-03-01 00:00:00.000");  // not a leap year
  EXPECT_FALSE(DateFromDayNumber(std::numeric_limits<std::int32_t>::max(), &p));
  EXPECT_FALSE(DateFromDayNumber(0, nullptr));
}

TEST(DayNumberTest, EveryDayOfTheRecordsYearsRoundTripsInSequence) {
  const std::int32_t first = DayNumberFromDate(-32768, 1, 1);
  const std::int32_t last = DayNumberFromDate(32767, 12, 31);
  DateTimeParts previous;
  ASSERT_TRUE(DateFromDayNumber(first, &previous));
  ASSERT_EQ(Show(previous), "-32768-01-01 00:00:00.000");
  for (std::int32_t n = first + 1; n <= last; ++n) {
    DateTimeParts p;
    ASSERT_TRUE(DateFromDayNumber(n, &p)) << n;
    ASSERT_EQ(DayNumberFromDate(p.year, p.month, p.day), n) << Show(p);
    const bool nextDay =
        p.year == previous.year && p.month == previous.month && p.day == previous.day + 1;
    const bool nextMonth =
        p.day == 1 && ((p.year == previous.year && p.month == previous.month + 1) ||
                       (p.month == 1 && previous.month == 12));
    ASSERT_TRUE(nextDay || nextMonth || n == 2299161) << Show(previous) << " -> " << Show(p);
    previous = p;
  }
  EXPECT_EQ(Show(previous), "32767-12-31 00:00:00.000");
}

TEST(EpochTest, ExpandsOnlyTwoDigitYearsWhileEnabled) {
  EXPECT_EQ(ExpandTwoDigitYear(49), 49);
  SetEpoch(1, 50);
  EXPECT_EQ(ExpandTwoDigitYear(49), 2049);
  EXPECT_EQ(ExpandTwoDigitYear(50), 1950);
  EXPECT_EQ(ExpandTwoDigitYear(0), 2000);
  EXPECT_EQ(ExpandTwoDigitYear(100), 100);
  EXPECT_EQ(ExpandTwoDigitYear(-5), -5);
  SetEpoch(0, 50);
  EXPECT_EQ(ExpandTwoDigitYear(49), 49);
  SetEpoch(0, 0);
}

TEST(StoredDateTimeTest, EachLayoutReadsItsBytes) {
  const std::uint16_t packedDate = 44 | 3 << 7 | 7 << 11;
  EXPECT_EQ(Read(&packedDate, 2, 'A'), "2024-03-07 00:00:00.000");
  const std::uint16_t packedTime = 13 | 59 << 5 | 29 << 11;
  EXPECT_EQ(Read(&packedTime, 2, 'I'), "0-00-00 13:59:58.000");
  const unsigned char a[6] = {7, 3, 0xE8, 0x07, 9, 9};
  EXPECT_EQ(Read(a, 6, 'a'), "2024-03-07 00:00:00.000");
  const std::int16_t d[3] = {2024, 0x103, 0x207};
  EXPECT_EQ(Read(d, 6, 'd'), "2024-03-07 00:00:00.000");
  const std::int32_t l[2] = {20240307, -49699};
  EXPECT_EQ(Read(&l[0], 4, 'l'), "2024-03-07 00:00:00.000");
  EXPECT_EQ(Read(&l[1], 4, 'l'), "-5-03-01 00:00:00.000");
  const unsigned char i[4] = {23, 59, 58, 99};
  EXPECT_EQ(Read(i, 4, 'i'), "0-00-00 23:59:58.990");
  const std::int32_t q1900[2] = {0, 3723000};
  EXPECT_EQ(Read(q1900, 8, 'Q'), "1900-01-01 01:02:03.000");
  const std::uint16_t q[2] = {65535, 23 * 60 + 59};
  EXPECT_EQ(Read(q, 4, 'q'), "2079-06-06 23:59:00.000");
  const double u[4] = {1.5, -1.75, 2.0 - 1e-12, 45358.0 + 0.123 / 86400};
  EXPECT_EQ(Read(&u[0], 8, 'u'), "1899-12-31 12:00:00.000");
  EXPECT_EQ(Read(&u[1], 8, 'u'), "1899-12-29 18:00:00.000");
  EXPECT_EQ(Read(&u[2], 8, 'u'), "1900-01-01 00:00:00.000");
  EXPECT_EQ(Read(&u[3], 8, 'u'), "2024-03-07 00:00:00.123");
  const std::uint16_t s[8] = {2024, 3, 7, 13, 14, 15, 456, 1};  // milliseconds 0x101C8
  EXPECT_EQ(Read(s, 16, 's'), "2024-03-07 13:14:15.456");
  unsigned char record[10] = {0xE8, 0x07, 3, 7, 13, 14, 15, 0xAA, 0x56, 0x04};
  EXPECT_EQ(Read(record, 10, 'D'), "2024-03-07 13:14:15.1110");
  DateTimeParts p;
  ValueToDateTimeParts(&p, record, 'D');
  EXPECT_EQ(p.reserved, 0);
}

TEST(StoredDateTimeTest, ValuesWithoutMeaningAreRefusedNotWrapped) {
  const std::int32_t qLate[2] = {std::numeric_limits<std::int32_t>::max(), 0};
  const std::int32_t qLong[2] = {0, 86400000};
  const std::uint16_t qMinutes[2] = {0, 24 * 60};
  const double uBad[3] = {NAN, INFINITY, 1e300};
  const std::int32_t lFar = 400000000;
  struct Stored {
    const void* value;
    std::size_t size;
    char code;
  };
  for (const Stored& s : {Stored{qLate, 8, 'Q'}, Stored{qLong, 8, 'Q'}, Stored{qMinutes, 4, 'q'},
                          Stored{&uBad[0], 8, 'u'}, Stored{&uBad[1], 8, 'u'},
                          Stored{&uBad[2], 8, 'u'}, Stored{&lFar, 4, 'l'}, Stored{&lFar, 4, 'x'}}) {
    EXPECT_EQ(Read(s.value, s.size, s.code), "refused 0-00-00 00:00:00.000") << s.code;
  }
  DateTimeParts p;
  EXPECT_FALSE(ValueToDateTimeParts(&p, nullptr, 'u'));
  EXPECT_FALSE(ValueToDateTimeParts(nullptr, &lFar, 'l'));
}

TEST(StoredDateTimeTest, WritesRoundTripAndKeepOnlyWhatTheLayoutHolds) {
  const DateTimeParts when = Make(2024, 3, 7, 13, 14, 15, 456);
  const std::map<char, std::string> expected = {
      {'A', "2024-03-07 00:00:00.000"}, {'a', "2024-03-07 00:00:00.000"},
      {'d', "2024-03-07 00:00:00.000"}, {'l', "2024-03-07 00:00:00.000"},
      {'I', "0-00-00 13:14:14.000"},    {'i', "0-00-00 13:14:15.450"},
      {'t', "0-00-00 13:14:15.000"},    {'D', "2024-03-07 13:14:15.456"},
      {'Q', "2024-03-07 13:14:15.000"}, {'q', "2024-03-07 13:14:00.000"},
      {'u', "2024-03-07 13:14:15.000"}, {'s', "2024-03-07 13:14:15.456"}};
  for (const auto& [code, text] : expected) {
    unsigned char buffer[48];
    std::memset(buffer, 0xCC, sizeof buffer);
    ASSERT_TRUE(DateTimePartsToValue(&when, buffer + 1, code)) << code;
    EXPECT_EQ(Read(buffer + 1, 40, code), text) << code;
  }

  double u = 0;
  const DateTimeParts sixAm = Make(1900, 1, 1, 6);
  ASSERT_TRUE(DateTimePartsToValue(&sixAm, &u, 'u'));
  EXPECT_EQ(u, 2.25);
  const DateTimeParts beforeZero = Make(1899, 12, 29, 18);
  ASSERT_TRUE(DateTimePartsToValue(&beforeZero, &u, 'u'));
  EXPECT_EQ(u, -1.75);
  std::uint16_t a = 0;
  const DateTimeParts noDate{};
  ASSERT_TRUE(DateTimePartsToValue(&noDate, &a, 'A'));
  EXPECT_EQ(a, 68);  // (0 - 1980) mod 128; month and day stay empty
}

TEST(StoredDateTimeTest, RefusedWritesLeaveTheDestinationAlone) {
  const std::vector<std::pair<DateTimeParts, char>> refused = {{Make(1979, 12, 31), 'A'},
                                                               {Make(2108, 1, 1), 'A'},
                                                               {Make(2024, 16, 1), 'A'},
                                                               {Make(0, 0, 0, 32), 'I'},
                                                               {Make(0, 0, 0, 0, 0, 0, 2560), 'i'},
                                                               {Make(2079, 6, 7), 'q'},
                                                               {Make(1899, 12, 31), 'q'},
                                                               {Make(2024, 179, 1), 'l'},
                                                               {Make(2024, 1, 100), 'l'},
                                                               {Make(2024, 1, 1), 'x'}};
  for (const auto& [parts, code] : refused) {
    std::uint32_t value = 0xDEADBEEF;
    EXPECT_FALSE(DateTimePartsToValue(&parts, &value, code)) << Show(parts) << " " << code;
    EXPECT_EQ(value, 0xDEADBEEFu);
  }
  std::uint32_t value = 0;
  EXPECT_FALSE(DateTimePartsToValue(nullptr, &value, 'A'));
  EXPECT_FALSE(DateTimePartsToValue(&refused[0].first, nullptr, 'A'));
}

// Runs a test body under a given local time zone and puts the machine's back.
class LocalTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    hadTz_ = tz != nullptr;
    if (hadTz_) savedTz_ = tz;
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_) {
      setenv("TZ", savedTz_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool hadTz_ = false;
  std::string savedTz_;
};

TEST_F(LocalTimeTest, SummerAndWinterTimesRoundTripThroughTheRunTime) {
  for (const DateTimeParts& when : {Make(2024, 7, 1, 12), Make(2024, 1, 15, 23, 59, 59)}) {
    std::int32_t t = 0;
    ASSERT_TRUE(DateTimePartsToValue(&when, &t, 'T'));
    EXPECT_EQ(Read(&t, 4, 'T'), Show(when));
    StoredTm tm;
    ASSERT_TRUE(DateTimePartsToValue(&when, &tm, 'm'));
    EXPECT_EQ(Read(&tm, sizeof tm, 'm'), Show(when));
  }
  std::int32_t t = 0;
  const DateTimeParts noon = Make(2024, 7, 1, 12);
  ASSERT_TRUE(DateTimePartsToValue(&noon, &t, 'T'));
  EXPECT_EQ(t, 1719849600);  // 16:00 UTC under daylight saving

  StoredTm tm;
  const DateTimeParts overflowing = Make(2024, 2, 30, 25);
  ASSERT_TRUE(DateTimePartsToValue(&overflowing, &tm, 'm'));
  EXPECT_EQ(tm.tm_mon, 2);
  EXPECT_EQ(tm.tm_mday, 2);
  EXPECT_EQ(tm.tm_hour, 1);
  EXPECT_EQ(tm.tm_wday, 6);

  const DateTimeParts past2038 = Make(2040, 1, 1);
  EXPECT_FALSE(DateTimePartsToValue(&past2038, &t, 'T'));
  tm.tm_year = 40000;
  EXPECT_EQ(Read(&tm, sizeof tm, 'm'), "refused 0-00-00 00:00:00.000");
}

// Settings as a profile would give them; absent keys take the caller's default.
class ProfileSource : public IntlSource {
 public:
  std::map<std::string, std::string> strings;
  std::map<std::string, int> ints;
  std::string ProfileString(const char* key, const char* fallback, unsigned size) const override {
    std::string value = strings.count(key) != 0 ? strings.at(key) : fallback;
    if (value.size() >= size) value.resize(size - 1);
    return value;
  }
  int ProfileInt(const char* key, int fallback) const override {
    return ints.count(key) != 0 ? ints.at(key) : fallback;
  }
  std::string DayName(int) const override { return ""; }
  std::string MonthName(int) const override { return ""; }
};

class DateTimeMaskTest : public ::testing::Test {
 protected:
  void TearDown() override { LoadIntlSettingsFrom(ProfileSource{}); }
};

TEST_F(DateTimeMaskTest, DefaultSettingsLayOutTheFieldsTheMaskAsksFor) {
  LoadIntlSettingsFrom(ProfileSource{});
  EXPECT_STREQ(BuildDateTimeMask("", true, true), "m/d/yyyy h:mm:ss ap");
  EXPECT_STREQ(BuildDateTimeMask(nullptr, false, true), "h:mm:ss ap");
  EXPECT_STREQ(BuildDateTimeMask("mm/dd/yyyy", true, false), "m/d/yyyy");
  EXPECT_STREQ(BuildDateTimeMask("mm/yyyy", true, false), "m/yyyy");
  EXPECT_STREQ(BuildDateTimeMask("hh:mm", false, true), "h:mm ap");
  EXPECT_STREQ(BuildDateTimeMask("MM/DD/YYYY HH:MM", true, true), "m/d/yyyy h:mm ap");
  EXPECT_STREQ(BuildDateTimeMask("yyyy", true, false), "yyyy");
  EXPECT_STREQ(BuildDateTimeMask("mm/dd", true, false), "m/d");
  EXPECT_STREQ(BuildDateTimeMask("hh:mm", true, true), "h:mm ap");
  EXPECT_STREQ(BuildDateTimeMask("mm/dd/yyyy hh", true, true), "m/d/yyyy h ap");
  EXPECT_STREQ(BuildDateTimeMask("mm:ss", false, true), "mm:ss");
  EXPECT_STREQ(BuildDateTimeMask("xyz", false, false), "");
}

TEST_F(DateTimeMaskTest, OtherSeparatorsStillLoseTheirDroppedFields) {
  ProfileSource german;
  german.strings = {{"sDate", "."}, {"sShortDate", "dd.MM.yyyy"}, {"sTime", "."}};
  german.ints = {{"iTime", 1}};
  LoadIntlSettingsFrom(german);
  EXPECT_STREQ(BuildDateTimeMask("mm/yyyy", true, false), "m/yyyy");
  EXPECT_STREQ(BuildDateTimeMask("dd/mm", true, false), "d/m");
  EXPECT_STREQ(BuildDateTimeMask("dd/mm/yyyy hh:mm", true, true), "d/m/yyyy h:mm");
  EXPECT_STREQ(BuildDateTimeMask("mm:ss", false, true), "mm:ss");
  EXPECT_STREQ(BuildDateTimeMask("hh", false, true), "h");
}

TEST_F(DateTimeMaskTest, OnlyTheFirst239CharactersOfTheMaskCount) {
  LoadIntlSettingsFrom(ProfileSource{});
  std::string mask(238, 'x');
  EXPECT_STREQ(BuildDateTimeMask((mask + "dyyyy").c_str(), true, false), "d");
  EXPECT_STREQ(BuildDateTimeMask((mask + "xyyyy").c_str(), true, false), "");
}

}  // namespace
}  // namespace quillet
