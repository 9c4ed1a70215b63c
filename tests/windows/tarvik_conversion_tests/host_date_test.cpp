// The host's day-number date against OLE dates, including the days before 1899
// whose time of day counts away from zero.
#include "tarvik/frame/host_date.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <oleauto.h>

#include <limits>

namespace {

using tarvik::HostDate;
using tarvik::HostDateFromOleDate;
using tarvik::OleDateFromHostDate;

double OleDateOf(WORD year, WORD month, WORD day, WORD hour = 0) {
  SYSTEMTIME time{};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  double oleDate = 0;
  EXPECT_TRUE(SystemTimeToVariantTime(&time, &oleDate));
  return oleDate;
}

TEST(HostDate, FromOleDateKeepsTheDayAndDropsTheTime) {
  EXPECT_EQ(HostDateFromOleDate(0.0), 693974u);
  EXPECT_EQ(HostDateFromOleDate(36526.0), 730500u);
  EXPECT_EQ(HostDateFromOleDate(36526.75), 730500u);
  EXPECT_EQ(HostDateFromOleDate(0.999), 693974u);
  // 29 December 1899, 06:00: the fraction counts away from zero.
  EXPECT_EQ(HostDateFromOleDate(-1.25), 693973u);
  EXPECT_EQ(HostDateFromOleDate(-0.5), 693974u);
}

TEST(HostDate, ToOleDateGivesWholeDaysAndIgnoresTheTopByte) {
  EXPECT_EQ(OleDateFromHostDate(693974), 0.0);
  EXPECT_EQ(OleDateFromHostDate(730500), 36526.0);
  EXPECT_EQ(OleDateFromHostDate(0xFF0B2584u), 36526.0);
  EXPECT_EQ(OleDateFromHostDate(0x010B2584u), 36526.0);
  EXPECT_EQ(OleDateFromHostDate(693973), -1.0);
  EXPECT_EQ(OleDateFromHostDate(0), -693974.0);
  EXPECT_EQ(OleDateFromHostDate(0xFFFFFFFFu), 16777215.0 - 693974.0);
}

TEST(HostDate, AgreesWithThePlatformCalendarBeforeAndAfter1899) {
  struct Case {
    WORD year, month, day, hour;
  };
  const Case cases[] = {{1800, 1, 1, 18}, {1899, 12, 29, 6},  {1899, 12, 30, 23}, {1900, 3, 1, 12},
                        {2000, 1, 1, 18}, {9999, 12, 31, 23}, {100, 1, 1, 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day);
    const double withTime = OleDateOf(c.year, c.month, c.day, c.hour);
    const double midnight = OleDateOf(c.year, c.month, c.day);
    const HostDate hostDate = HostDateFromOleDate(withTime);
    EXPECT_EQ(hostDate, static_cast<HostDate>(693974 + static_cast<long>(midnight)));
    EXPECT_EQ(hostDate >> 24, 0u);
    EXPECT_EQ(OleDateFromHostDate(hostDate), midnight);
    SYSTEMTIME back{};
    ASSERT_TRUE(VariantTimeToSystemTime(OleDateFromHostDate(hostDate), &back));
    EXPECT_EQ(back.wYear, c.year);
    EXPECT_EQ(back.wMonth, c.month);
    EXPECT_EQ(back.wDay, c.day);
    EXPECT_EQ(back.wHour, 0);
  }
}

TEST(HostDate, EveryInputGivesADefinedDayWithTheTopByteClear) {
  const double odd[] = {std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity(),
                        1e300,
                        -1e300,
                        2147483647.0,
                        -2147483648.0,
                        -700000.0};
  for (double value : odd) {
    SCOPED_TRACE(value);
    EXPECT_EQ(HostDateFromOleDate(value) >> 24, 0u);
  }
  // Beyond the 32-bit range the day is what the processor's truncation gives.
  EXPECT_EQ(HostDateFromOleDate(std::numeric_limits<double>::quiet_NaN()), 693974u);
  EXPECT_EQ(HostDateFromOleDate(-700000.0), (693974u - 700000u) & 0xFFFFFFu);
}

}  // namespace
