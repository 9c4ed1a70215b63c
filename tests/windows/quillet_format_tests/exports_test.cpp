// Quillet's exports called the way the host calls them: found by their exact
// names and called through pointers of their exact types and conventions.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "host/quillet_exports.h"

namespace {

using quorvan::host::LoadedLibrary;
using quorvan::host::QuilletExports;

class QuilletExportsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(exports_.Complete()); }
  void TearDown() override { exports_.sendEpochToQuillet(0, 0); }

  std::string Format(const void* value, int type, int storage, const char* mask,
                     int* isFalse = nullptr, int editForm = 0) {
    char output[64];
    std::memset(output, 0, sizeof output);
    lastResult_ =
        exports_.formatData(value, type, storage, mask, output, sizeof output, isFalse, editForm);
    return output;
  }

  LoadedLibrary quillet_{"Quillet.dll"};
  QuilletExports exports_{quillet_};
  int lastResult_ = -1;
};

TEST_F(QuilletExportsTest, FormatDataReceivesEveryArgument) {
  const double amount = -1234.5;
  EXPECT_EQ(Format(&amount, 'n', 'd', "#,##0.00;(#,##0.00)"), "(1,234.50)");
  EXPECT_EQ(lastResult_, 10);
  EXPECT_EQ(Format(&amount, 'n', 'd', "#,##0.00;(#,##0.00)", nullptr, 1), "-1234.50");
  int isFalse = 9;
  const std::int16_t no = 0;
  EXPECT_EQ(Format(&no, 'b', 's', "Yes;No", &isFalse), "No");
  EXPECT_EQ(isFalse, 1);
  // Only the low byte of a code counts.
  const std::int32_t date = 20240307;
  EXPECT_EQ(Format(&date, 0x7700 | 'd', 0x1200 | 'l', "yyyy-mm-dd"), "2024-03-07");
  EXPECT_EQ(Format("1234567", 'm', 's', "(###) ###-####"), "(123) 456-7___");
}

TEST_F(QuilletExportsTest, FormatDataRefusesBadArgumentsWithoutWriting) {
  const double amount = 1;
  char output[8] = "keep";
  int isFalse = 3;
  EXPECT_EQ(exports_.formatData(nullptr, 'n', 'd', nullptr, output, 8, &isFalse, 0), 0);
  EXPECT_EQ(exports_.formatData(&amount, 'n', 'd', nullptr, nullptr, 8, &isFalse, 0), 0);
  EXPECT_EQ(exports_.formatData(&amount, 'n', 'd', nullptr, output, 1, &isFalse, 0), 0);
  EXPECT_EQ(exports_.formatData(&amount, 'n', 'd', nullptr, output, -5, &isFalse, 0), 0);
  EXPECT_EQ(exports_.formatData(&amount, '?', 'd', nullptr, output, 8, &isFalse, 0), 0);
  EXPECT_STREQ(output, "keep");
  EXPECT_EQ(isFalse, 3);
}

TEST_F(QuilletExportsTest, ParseDataStoresAndReportsInvalidText) {
  double amount = 0;
  EXPECT_EQ(exports_.parseData(&amount, 'n', 'd', "#,##0.00", "(1,234.5)", 0), 0);
  EXPECT_EQ(amount, 1234.5);
  std::int32_t date = 0;
  EXPECT_EQ(exports_.parseData(&date, 'd', 'l', "mm/dd/yyyy", "2/30/2024", 0), 1);
  EXPECT_EQ(date, 20240229);  // corrected, and stored all the same
  EXPECT_EQ(exports_.parseData(&date, 'q', 'l', nullptr, "1", 0), 1);
  EXPECT_EQ(exports_.parseData(nullptr, 'n', 'd', nullptr, "1", 0), 0);
  EXPECT_EQ(exports_.parseData(&amount, 'n', 'd', nullptr, nullptr, 0), 0);
}

TEST_F(QuilletExportsTest, EpochDecidesTheCenturyOfTwoDigitYears) {
  std::int32_t date = 0;
  exports_.sendEpochToQuillet(1, 30);
  exports_.parseData(&date, 'd', 'l', nullptr, "1/2/29", 0);
  EXPECT_EQ(date, 20290102);
  exports_.parseData(&date, 'd', 'l', nullptr, "1/2/30", 0);
  EXPECT_EQ(date, 19300102);
  exports_.sendEpochToQuillet(0, 30);
  exports_.parseData(&date, 'd', 'l', nullptr, "1/2/29", 0);
  EXPECT_EQ(date, 290102);
}

}  // namespace
