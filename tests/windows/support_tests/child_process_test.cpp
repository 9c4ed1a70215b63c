#include "tests/support/child_process.h"

#include <gtest/gtest.h>

namespace {

using quorvan::testing::InChildProcess;
using quorvan::testing::RunTestsInChild;
using quorvan::testing::ScopedIntlSettings;

std::string ProfileIntl(const char* key) {
  char value[64] = {};
  GetProfileStringA("Intl", key, "(default)", value, sizeof value);
  return value;
}

// Runs only in the child started below.
TEST(ChildIntl, SeesTheSettingsWrittenBeforeItStarted) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child process";
  EXPECT_EQ(ProfileIntl("sShortDate"), "dd.MM.yyyy");
  EXPECT_EQ(ProfileIntl("sDate"), ".");
  EXPECT_EQ(ProfileIntl("sThousand"), "(default)");
}

TEST(ChildProcess, ChildRunsUnderTheWrittenInternationalSettings) {
  const std::string shortDateBefore = ProfileIntl("sShortDate");
  const std::string thousandBefore = ProfileIntl("sThousand");
  {
    ScopedIntlSettings settings(
        {{"sShortDate", "dd.MM.yyyy"}, {"sDate", "."}, {"sThousand", std::nullopt}});
    auto child = RunTestsInChild("ChildIntl.SeesTheSettingsWrittenBeforeItStarted");
    EXPECT_TRUE(child.Passed()) << child.output;
  }
  // The user's own settings are back, including the removed one.
  EXPECT_EQ(ProfileIntl("sShortDate"), shortDateBefore);
  EXPECT_EQ(ProfileIntl("sThousand"), thousandBefore);
}

TEST(ChildProcess, FailingOrEmptyChildRunIsNotAPass) {
  auto none = RunTestsInChild("NoSuchGroup.*");
  EXPECT_FALSE(none.Passed()) << none.output;
}

}  // namespace
