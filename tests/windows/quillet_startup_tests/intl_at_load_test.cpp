// Quillet reads the user's international settings once, when it is loaded into a
// process. Each case writes settings as a user's machine holds them, then loads
// Quillet in a fresh child process and looks at what its formatting shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "host/quillet_exports.h"
#include "tests/support/child_process.h"

namespace {

using quorvan::host::LoadedLibrary;
using quorvan::host::QuilletExports;
using quorvan::testing::InChildProcess;
using quorvan::testing::IntlValues;
using quorvan::testing::RunTestsInChild;
using quorvan::testing::ScopedIntlSettings;

// What a freshly loaded Quillet shows for a number, a date and a time, each with
// the layout of the settings (no mask), and what it reads back from texts.
struct Shown {
  std::string number, date, time;
  double parsedNumber = 0;
  std::int32_t parsedDate = 0, parsedShortYear = 0, parsedShortYearNoEpoch = 0;
};

Shown LoadQuilletAndFormat(const char* numberText, const char* dateText,
                           const char* shortYearText) {
  LoadedLibrary quillet("Quillet.dll");
  EXPECT_TRUE(quillet.Loaded()) << GetLastError();
  QuilletExports exports(quillet);
  EXPECT_TRUE(exports.Complete());
  if (!exports.Complete()) return {};
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  EXPECT_TRUE(GetClassInfoExA(quillet.Handle(), "HEdit", &info));

  char output[64];
  Shown shown;
  const double amount = 1234.5;
  exports.formatData(&amount, 'n', 'd', "#,##0.00", output, sizeof output, nullptr, 0);
  shown.number = output;
  const std::int32_t date = 20240307;
  exports.formatData(&date, 'd', 'l', nullptr, output, sizeof output, nullptr, 0);
  shown.date = output;
  const std::uint16_t time[3] = {13, 5, 9};
  exports.formatData(time, 't', 't', nullptr, output, sizeof output, nullptr, 0);
  shown.time = output;

  EXPECT_EQ(exports.parseData(&shown.parsedNumber, 'n', 'd', nullptr, numberText, 0), 0);
  exports.parseData(&shown.parsedDate, 'd', 'l', nullptr, dateText, 0);
  exports.sendEpochToQuillet(1, 30);
  exports.parseData(&shown.parsedShortYear, 'd', 'l', nullptr, shortYearText, 0);
  exports.sendEpochToQuillet(0, 0);
  exports.parseData(&shown.parsedShortYearNoEpoch, 'd', 'l', nullptr, shortYearText, 0);
  return shown;
}

TEST(IntlChild, DefaultsWithoutAnyEntries) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  Shown shown = LoadQuilletAndFormat("1,234.5", "12/25/2024", "2/1/29");
  EXPECT_EQ(shown.number, "1,234.50");
  EXPECT_EQ(shown.date, "3/7/2024");
  EXPECT_EQ(shown.time, "1:05:09 pm");
  EXPECT_EQ(shown.parsedNumber, 1234.5);
  EXPECT_EQ(shown.parsedDate, 20241225);
  EXPECT_EQ(shown.parsedShortYear, 20290201);
  EXPECT_EQ(shown.parsedShortYearNoEpoch, 290201);
}

TEST(IntlChild, EuropeanSettings) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  Shown shown = LoadQuilletAndFormat("1.234,5", "25.12.2024", "1.2.30");
  EXPECT_EQ(shown.number, "1.234,50");
  EXPECT_EQ(shown.date, "7.3.2024");
  EXPECT_EQ(shown.time, "13-05-09");
  EXPECT_EQ(shown.parsedNumber, 1234.5);
  EXPECT_EQ(shown.parsedDate, 20241225);
  EXPECT_EQ(shown.parsedShortYear, 19300201);
  EXPECT_EQ(shown.parsedShortYearNoEpoch, 300201);
}

TEST(IntlChild, OverlongAndEmptyValues) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  Shown shown = LoadQuilletAndFormat("1d5", "3/7/2024", "1/1/1");
  // Only the first character of a separator counts; an empty one keeps its default.
  EXPECT_EQ(shown.number, "1,234d50");
  EXPECT_EQ(shown.parsedNumber, 1.5);
  EXPECT_FALSE(shown.date.empty());
  EXPECT_EQ(shown.time, "1:05:09 pm");
}

void ExpectChildPasses(const char* childTest, const IntlValues& values) {
  ScopedIntlSettings settings(values);
  auto child = RunTestsInChild(std::string("IntlChild.") + childTest);
  EXPECT_TRUE(child.Passed()) << child.output;
}

TEST(IntlAtLoad, DefaultsWithoutAnyIntlEntries) {
  ExpectChildPasses("DefaultsWithoutAnyEntries", {{"sThousand", std::nullopt},
                                                  {"sDecimal", std::nullopt},
                                                  {"sDate", std::nullopt},
                                                  {"sShortDate", std::nullopt},
                                                  {"sTime", std::nullopt},
                                                  {"iTLZero", std::nullopt},
                                                  {"iTime", std::nullopt}});
}

TEST(IntlAtLoad, EuropeanSettingsShowInFormattedText) {
  ExpectChildPasses("EuropeanSettings", {{"sThousand", "."},
                                         {"sDecimal", ","},
                                         {"sDate", "."},
                                         {"sShortDate", "dd.MM.yyyy"},
                                         {"sTime", "-"},
                                         {"iTLZero", "1"},
                                         {"iTime", "1"}});
}

TEST(IntlAtLoad, OverlongAndEmptyValuesAreCutSafely) {
  ExpectChildPasses("OverlongAndEmptyValues",
                    {{"sThousand", ""},
                     {"sDecimal", "decimal point"},
                     {"sDate", ""},
                     {"sShortDate", "yy-MM-dd yy-MM-dd yy-MM-dd yy-MM-dd yy-MM-dd yyyy"},
                     {"sTime", "::::"},
                     {"iTLZero", "not a number"},
                     {"iTime", "-0"}});
}

// Settings are read at load, not at each call: this process loaded Quillet under
// the user's own settings, and a change afterwards is not seen.
TEST(IntlAtLoad, LaterChangesAreNotSeenByALoadedLibrary) {
  LoadedLibrary quillet("Quillet.dll");
  QuilletExports exports(quillet);
  ASSERT_TRUE(exports.Complete());
  char before[32], after[32];
  const double amount = 0.5;
  exports.formatData(&amount, 'n', 'd', "0.0", before, sizeof before, nullptr, 0);
  {
    ScopedIntlSettings settings(IntlValues{{"sDecimal", "!"}});
    exports.formatData(&amount, 'n', 'd', "0.0", after, sizeof after, nullptr, 0);
  }
  EXPECT_STREQ(before, after);
  EXPECT_EQ(std::string(after).find('!'), std::string::npos);
}

}  // namespace
