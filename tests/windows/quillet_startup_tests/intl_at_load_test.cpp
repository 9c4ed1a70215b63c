// Quillet reads the user's international settings once, when it is loaded into a
// process. Each case writes settings as a user's machine holds them, then loads
// Quillet in a fresh child process.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/loaded_library.h"
#include "tests/support/child_process.h"

namespace {

using quorvan::testing::InChildProcess;
using quorvan::testing::IntlValues;
using quorvan::testing::RunTestsInChild;
using quorvan::testing::ScopedIntlSettings;

// In the child: Quillet starts up completely under whatever settings it finds.
TEST(IntlChild, QuilletStartsUp) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  quorvan::host::LoadedLibrary quillet("Quillet.dll");
  ASSERT_TRUE(quillet.Loaded()) << GetLastError();
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  EXPECT_TRUE(GetClassInfoExA(quillet.Handle(), "HEdit", &info));
  EXPECT_TRUE(GetClassInfoExA(quillet.Handle(), "HEdit_SS", &info));
}

void ExpectStartUpUnder(const IntlValues& values) {
  ScopedIntlSettings settings(values);
  auto child = RunTestsInChild("IntlChild.QuilletStartsUp");
  EXPECT_TRUE(child.Passed()) << child.output;
}

TEST(IntlAtLoad, StartsWithoutAnyIntlEntries) {
  ExpectStartUpUnder({{"sThousand", std::nullopt},
                      {"sDecimal", std::nullopt},
                      {"sDate", std::nullopt},
                      {"sShortDate", std::nullopt},
                      {"sTime", std::nullopt},
                      {"iTLZero", std::nullopt},
                      {"iTime", std::nullopt}});
}

TEST(IntlAtLoad, StartsWithEuropeanSettings) {
  ExpectStartUpUnder({{"sThousand", "."},
                      {"sDecimal", ","},
                      {"sDate", "."},
                      {"sShortDate", "dd.MM.yyyy"},
                      {"sTime", ":"},
                      {"iTLZero", "1"},
                      {"iTime", "1"}});
}

TEST(IntlAtLoad, StartsWithOverlongAndEmptyValues) {
  ExpectStartUpUnder({{"sThousand", ""},
                      {"sDecimal", "decimal point"},
                      {"sDate", ""},
                      {"sShortDate", "yy-MM-dd yy-MM-dd yy-MM-dd yy-MM-dd yy-MM-dd yyyy"},
                      {"sTime", "::::"},
                      {"iTLZero", "not a number"},
                      {"iTime", "-7"}});
}

}  // namespace
