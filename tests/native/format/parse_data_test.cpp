#include "quillet/format/parse_data.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "quillet/format/date_time.h"
#include "tests/native/format/scoped_settings.h"

namespace quillet {
namespace {

// Every test starts with the default settings and the epoch off.
class ParseDataTest : public ::testing::Test {
 protected:
  void SetUp() override { SetEpoch(0, 0); }
  void TearDown() override { SetEpoch(0, 0); }

  testing::ScopedSettings defaults_;
};

TEST_F(ParseDataTest, NumberTextKeepsDigitsMinusAndTheDecimalSeparator) {
  const std::pair<const char*, double> cases[] = {
      {"-1,234.9", -1234.9}, {"(1,234)", 1234.0}, {"$ 12.50", 12.5}, {"abc", 0.0},   {"", 0.0},
      {"-.25", -0.25},       {"5.", 5.0},         {"1-2", 1.0},      {"5.3.2", 5.3}, {"--5", 0.0},
      {"1e5", 15.0},         {"0x10", 10.0},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_DOUBLE_EQ(ParseNumberText(text), expected) << text;
  }
  EXPECT_EQ(ParseNumberText(nullptr), 0.0);

  testing::ScopedSettings settings({{"sDecimal", ","}, {"sThousand", "."}});
  EXPECT_DOUBLE_EQ(ParseNumberText("-1.234,5 EUR"), -1234.5);
  EXPECT_DOUBLE_EQ(ParseNumberText("3.14"), 314.0);  // '.' is now a thousands separator
}

TEST_F(ParseDataTest, NumberTextOfAnyLengthIsReadWithoutOverrun) {
  const std::string huge(100000, '9');
  EXPECT_EQ(ParseNumberText(huge.c_str()), HUGE_VAL);
  EXPECT_EQ(ParseNumberText(("-" + huge).c_str()), -HUGE_VAL);
  EXPECT_EQ(ParseNumberText(("0." + std::string(100000, '0') + "1").c_str()), 0.0);
  const std::string noisy = std::string(50000, 'x') + "4,2" + std::string(50000, ' ');
  EXPECT_DOUBLE_EQ(ParseNumberText(noisy.c_str()), 42.0);
}

TEST_F(ParseDataTest, StoreNumberTruncatesIntoTheFieldOrRefuses) {
  const struct {
    char code;
    double number;
    bool stored;
    std::uint32_t bits;
  } cases[] = {
      {'s', -1234.9, true, 0xFB2E},
      {'s', 32767.9, true, 0x7FFF},
      {'s', -32769.0, false, 0},
      {'w', 65535.0, true, 0xFFFF},
      {'w', 65537.0, false, 0},
      {'w', -1.0, false, 0},
      {'b', 255.7, true, 255},
      {'b', 300.7, false, 0},
      {'h', -1.5, true, 0xFF},
      {'h', 128.0, false, 0},
      {'i', -2147483648.0, true, 0x80000000},
      {'l', 3000000000.0, false, 0},
      {'u', 4294967295.0, true, 0xFFFFFFFF},
      {'u', -0.5, true, 0},  // truncates to 0, which fits
      {'W', 7.99, true, 7},
      {'W', 4294967296.0, false, 0},
      {'i', -2147483649.0, false, 0},
      {'s', HUGE_VAL, false, 0},
      {'b', std::numeric_limits<double>::quiet_NaN(), false, 0},
  };
  for (const auto& [code, number, stored, bits] : cases) {
    const int width = code == 'b' || code == 'h' ? 1 : code == 's' || code == 'w' ? 2 : 4;
    unsigned char buffer[8];
    std::memset(buffer, 0xAA, sizeof buffer);
    EXPECT_EQ(StoreNumber(buffer, code, number), stored) << code << " " << number;
    std::uint32_t value = 0;
    std::memcpy(&value, buffer, width);
    if (stored) {
      EXPECT_EQ(value, bits) << code << " " << number;
    } else {
      EXPECT_EQ(buffer[0], 0xAA) << code << " " << number << " was written although refused";
    }
    EXPECT_EQ(buffer[width], 0xAA) << code << " wrote past its width";
  }
  // Through ParseData the refusal is the invalid result, the field unchanged.
  std::int16_t field = 7;
  EXPECT_EQ(ParseData(&field, 'n', 's', nullptr, "40000", false), 1);
  EXPECT_EQ(field, 7);
}

TEST_F(ParseDataTest, StoreNumberKeepsRealsAndRefusesOtherCodes) {
  double d = 0;
  EXPECT_TRUE(StoreNumber(&d, 'd', 1e300));
  EXPECT_EQ(d, 1e300);
  float f = 0;
  EXPECT_TRUE(StoreNumber(&f, 'f', -1234.9));
  EXPECT_EQ(f, -1234.9f);
  // Beyond float's range the narrowing rounds as the FPU does.
  EXPECT_TRUE(StoreNumber(&f, 'f', -1e39));
  EXPECT_EQ(f, -std::numeric_limits<float>::infinity());
  EXPECT_TRUE(StoreNumber(&f, 'f', static_cast<double>(FLT_MAX) * (1 + 1e-9)));
  EXPECT_EQ(f, FLT_MAX);

  std::uint64_t value = 0x1122334455667788;
  for (char code : {'M', 'x', 'A', '\0'}) EXPECT_FALSE(StoreNumber(&value, code, 5.0)) << code;
  EXPECT_EQ(value, 0x1122334455667788u);
  EXPECT_FALSE(StoreNumber(nullptr, 'd', 5.0));
}

TEST_F(ParseDataTest, NumbersAreParsedAndStoredByStorageCode) {
  for (char type : {'c', 'n', 'z'}) {
    std::int16_t s = 0;
    EXPECT_EQ(ParseData(&s, type, 's', "#,##0.00", "-1,234.9", false), 0);
    EXPECT_EQ(s, -1234);
    double d = 0;
    EXPECT_EQ(ParseData(&d, type, 'd', nullptr, "-1,234.9", false), 0);
    EXPECT_DOUBLE_EQ(d, -1234.9);
    EXPECT_EQ(ParseData(&s, type, 's', nullptr, "abc", false), 0);
    EXPECT_EQ(s, 0);
  }
  std::uint64_t money = 42;
  EXPECT_EQ(ParseData(&money, 'n', 'M', nullptr, "17", false), 0);  // carried, never converted
  EXPECT_EQ(ParseData(&money, 'n', 'x', nullptr, "17", false), 1);
  EXPECT_EQ(money, 42u);
}

TEST_F(ParseDataTest, TruthIsAPrefixOfTheTrueWord) {
  // Only the shorter length is compared, so a text that runs on past the word is true.
  for (const char* text : {"Yes", "Y", "", "Yesterday"}) {
    EXPECT_TRUE(ParseBoolean("Yes;No", text)) << text;
  }
  for (const char* text : {"No", "yes", "Nope", " Yes"}) {
    EXPECT_FALSE(ParseBoolean("Yes;No", text)) << text;
  }
  for (const char* mask : {static_cast<const char*>(nullptr), ""}) {
    EXPECT_TRUE(ParseBoolean(mask, "T"));
    EXPECT_FALSE(ParseBoolean(mask, "true"));
    EXPECT_FALSE(ParseBoolean(mask, "FALSE"));
  }
  EXPECT_TRUE(ParseBoolean("On", "Off"));  // no false word: nothing reads as false
  EXPECT_FALSE(ParseBoolean("Yes;No", nullptr));
}

TEST_F(ParseDataTest, TruthIsStoredInTheWidthOfTheStorageCode) {
  const std::pair<char, int> widths[] = {{'W', 4}, {'i', 4}, {'l', 4}, {'u', 4}, {'b', 1},
                                         {'h', 1}, {'s', 2}, {'w', 2}, {'d', 0}};
  for (const auto& [code, bytes] : widths) {
    for (const auto& [text, truth] : {std::pair{"Yes", 1}, std::pair{"No", 0}}) {
      unsigned char buffer[8];
      std::memset(buffer, 0xAA, sizeof buffer);
      EXPECT_EQ(ParseData(buffer, 'b', code, "Yes;No", text, false), 0);
      for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(buffer[i], i == 0 && bytes > 0 ? truth : i < bytes ? 0 : 0xAA) << code << i;
      }
    }
  }
}

TEST_F(ParseDataTest, DispatchesByTypeAndCopiesCharactersAndText) {
  char buffer[4] = "xyz";
  EXPECT_EQ(ParseData(nullptr, 'x', 's', nullptr, "text", false), 0);
  EXPECT_EQ(ParseData(buffer, 's', 's', nullptr, nullptr, false), 0);
  for (char type : {'x', 'A', 'S', '\0'}) {
    EXPECT_EQ(ParseData(buffer, type, 's', nullptr, "ab", false), 1) << type;
  }
  EXPECT_STREQ(buffer, "xyz");
  EXPECT_EQ(ParseData(buffer, 'h', 'h', nullptr, "Qrs", false), 0);
  EXPECT_STREQ(buffer, "Qyz");

  // Exactly length + 1 bytes, so the sanitizer sees any write beyond.
  const std::string text(70000, 'p');
  std::vector<char> copy(text.size() + 1, 'x');
  EXPECT_EQ(ParseData(copy.data(), 's', 's', "ignored", text.c_str(), false), 0);
  EXPECT_EQ(std::string(copy.data()), text);
}

TEST_F(ParseDataTest, MaskedTextIsStrippedIntoNoMoreThanItsOwnLength) {
  const auto parse = [](const std::string& text, const char* mask) {
    std::vector<char> buffer(text.size() + 1, 'x');
    EXPECT_EQ(ParseData(buffer.data(), 'm', 's', mask, text.c_str(), false), 0);
    return std::string(buffer.data());
  };
  EXPECT_EQ(parse("(123) 456-7890", "(###) ###-####"), "1234567890");
  EXPECT_EQ(parse("(12a) 456", "(###) ###-####"), "12");
  EXPECT_EQ(parse("12", "#####").size(), 2u);  // fillers cut at the text's length
  EXPECT_EQ(parse("", "#####"), "");
  const std::string longText(70000, '7');
  EXPECT_EQ(parse(longText, "(###) ###-####"), "7777777777");
  EXPECT_EQ(parse(longText, nullptr), longText);
}

struct DateCase {
  const char* text;
  const char* mask;
  bool noValidate;
  int result;
  std::int32_t value;  // storage 'l': yyyymmdd
};

void ExpectDates(const std::vector<DateCase>& cases) {
  for (const DateCase& c : cases) {
    std::int32_t value = -1;
    EXPECT_EQ(ParseData(&value, 'd', 'l', c.mask, c.text, c.noValidate), c.result) << c.text;
    EXPECT_EQ(value, c.value) << c.text << " " << (c.mask ? c.mask : "(null)");
  }
}

TEST_F(ParseDataTest, DatesAreReadInTheSettingsLayoutThenCorrected) {
  const char* dmy = "dd/mm/yyyy";
  ExpectDates({
      {"12/25/2024", dmy, false, 0, 20241225},  // the settings' order, not the mask's
      {"12-25-2024", dmy, false, 0, 20241225},  // separators are positions
      {" 1/ 5/2024", dmy, false, 0, 20240105},
      {"2/30/2024", dmy, false, 1, 20240229},
      {"2/30/2023", dmy, false, 1, 20230228},
      {"2/29/1900", dmy, false, 1, 19000228},
      {"4/31/2024", dmy, false, 1, 20240430},
      {"13/5/2024", dmy, false, 1, 20241205},
      {"3/0/2024", dmy, false, 1, 20240300},  // zeros are refused but stay
      {"x/7/2024", dmy, false, 1, 20240000},  // a month of 0 takes the day with it
      {"2/30/2024", dmy, true, 0, 20240230},
      {"14/2024", "mm/yyyy", false, 1, 20241200},
      {"2/2024", "mm/yyyy", false, 0, 20240200},  // no day asked for, none checked
      {"1/2/2500", dmy, false, 0, 19250102},      // large years are folded
      {"1/2/99999", dmy, false, 0, 22270102},     // held at 32767, not wrapped, then folded
      {"2/30/24", nullptr, false, 1, 240229},     // no mask: every check
      {"2/30/24", "", false, 1, 240229},          // an empty mask is no mask
  });

  testing::ScopedSettings settings({{"sShortDate", "dd.MM.yyyy"}, {"sDate", "."}});
  ExpectDates({{"25.12.2024", "mm/dd/yyyy", false, 0, 20241225}});
}

TEST_F(ParseDataTest, TwoDigitYearsFollowTheEpoch) {
  SetEpoch(1, 30);
  ExpectDates({
      {"1/2/29", "dd/mm/yyyy", false, 0, 20290102},
      {"1/2/30", "dd/mm/yyyy", false, 0, 19300102},
      {"1/2/29", "dd/mm/yyyy", true, 0, 290102},
  });
  SetEpoch(0, 30);
  ExpectDates({{"1/2/29", "dd/mm/yyyy", false, 0, 290102}});
}

TEST_F(ParseDataTest, DateTextOfAnyLengthStopsWithTheMask) {
  // The year takes one digit past its four letters (20249) and is folded.
  const std::string text = "12/25/2024" + std::string(100000, '9');
  const std::string blanks(100000, ' ');
  const std::string longMask(100000, 'd');
  ExpectDates({
      {text.c_str(), nullptr, false, 0, 21021225},
      {blanks.c_str(), nullptr, false, 1, 0},
      {"25", longMask.c_str(), false, 0, 0},  // a day without a month is no day
  });
}

struct Clock {
  std::uint16_t hour = 0, minute = 0, second = 0;  // storage 't'
};

TEST_F(ParseDataTest, FieldsStopWhereTheirNumberEnds) {
  // Texts narrower than the mask: a field never swallows what follows it.
  SetEpoch(1, 50);
  DateTimeParts parts;
  EXPECT_EQ(ParseData(&parts, 'a', 'D', nullptr, "1/2/29 1:00 am", false), 0);
  EXPECT_EQ(parts.year, 2029);
  EXPECT_EQ(parts.hour, 1);
  EXPECT_EQ(ParseData(&parts, 'a', 'D', "mm/dd/yyyy hh:mm", "1/2/29 1:00 pm", false), 0);
  EXPECT_EQ(parts.year, 2029);
  EXPECT_EQ(parts.hour, 13);
  Clock clock;
  EXPECT_EQ(ParseData(&clock, 't', 't', "mm:ss", "05:30", false), 0);
  EXPECT_EQ(clock.minute, 5);
  EXPECT_EQ(clock.second, 30);
  EXPECT_EQ(ParseData(&clock, 't', 't', "hh:mm", "7:35", false), 0);
  EXPECT_EQ(clock.hour, 7);
  EXPECT_EQ(clock.minute, 35);
  // Canonical texts read as they always did.
  EXPECT_EQ(ParseData(&clock, 't', 't', "hh:mm:ss", "07:35:09 pm", false), 0);
  EXPECT_EQ(clock.hour, 19);
  EXPECT_EQ(clock.second, 9);
  EXPECT_EQ(ParseDateTimeText(" 7/ 3/2024", "mm/dd/yyyy", true, false).day, 3);
  EXPECT_EQ(ParseDateTimeText("-7/-3/2024", "mm/dd/yyyy", true, false).month, 0);
}

TEST_F(ParseDataTest, OleDatesBeforeTheZeroDayCountTheirTimeAwayFromZero) {
  double value = 0;
  EXPECT_EQ(ParseData(&value, 'a', 'u', "mm/dd/yyyy hh:mm", "12/29/1899 6:00 pm", false), 0);
  EXPECT_EQ(value, -1.75);
  EXPECT_EQ(ParseData(&value, 'a', 'u', "mm/dd/yyyy hh:mm", "12/30/1899 6:00 am", false), 0);
  EXPECT_EQ(value, 0.25);
}

TEST_F(ParseDataTest, TimesAreCorrectedOnA24HourClockWhenAMaskIsGiven) {
  Clock clock;
  EXPECT_EQ(ParseData(&clock, 't', 't', "hh:mm", "25:61", false), 1);
  EXPECT_EQ(clock.hour, 23);
  EXPECT_EQ(clock.minute, 59);
  EXPECT_EQ(ParseData(&clock, 't', 't', "hh:mm", "25:61", true), 0);
  EXPECT_EQ(clock.hour, 25);
  EXPECT_EQ(ParseData(&clock, 't', 't', "hh:mm", "0:00", false), 0);

  // A two-digit hour pattern lets each field take three digits; none wraps.
  testing::ScopedSettings settings({}, {{"iTLZero", 1}, {"iTime", 1}});
  EXPECT_EQ(ParseData(&clock, 't', 't', "hh:mm:ss", "300:300:256", false), 1);
  EXPECT_EQ(clock.hour, 23);
  EXPECT_EQ(clock.minute, 59);
  EXPECT_EQ(clock.second, 59);
  EXPECT_EQ(ParseDateTimeText("-5:300:00", "hh:mm:ss", false, true).hour, 0);
}

TEST_F(ParseDataTest, TheAmPmMarkerMovesTheHour) {
  const std::pair<const char*, int> cases[] = {
      {"3/7/2024 1:05 pm", 13}, {"3/7/2024 1:05 PM", 13},  {"3/7/2024 1:05 am", 1},
      {"3/7/2024 12:05 AM", 0}, {"3/7/2024 12:05 pm", 12}, {"3/7/2024 1:05 7", 13},
      {"3/7/2024 1:05", 1},
  };
  for (const auto& [text, hour] : cases) {
    DateTimeParts parts;
    EXPECT_EQ(ParseData(&parts, 'a', 'D', "mm/dd/yyyy hh:mm", text, false), 0) << text;
    EXPECT_EQ(parts.hour, hour) << text;
    EXPECT_EQ(parts.minute, 5) << text;
    EXPECT_EQ(parts.day, 7) << text;
  }
}

TEST_F(ParseDataTest, WithoutAMaskTheHourIsHeldToATwelveHourClock) {
  // Kept for callers that pass no mask: the reader has already made "1 pm" 13,
  // which the 1-12 check then turns into 12.
  for (const char* mask : {static_cast<const char*>(nullptr), ""}) {
    const struct {
      const char* text;
      int hour, result;
    } cases[] = {{"1:05:09 am", 1, 0}, {"1:05:09 pm", 12, 1}, {"12:00:00 am", 1, 1}};
    for (const auto& [text, hour, result] : cases) {
      Clock clock;
      EXPECT_EQ(ParseData(&clock, 't', 't', mask, text, false), result) << text;
      EXPECT_EQ(clock.hour, hour) << text;
    }
  }
}

TEST_F(ParseDataTest, DateTimesThatCannotBeStoredAreReported) {
  DateTimeParts parts;
  EXPECT_EQ(ParseData(&parts, 'a', 'x', nullptr, "3/7/2024", false), 1);
  EXPECT_EQ(ParseData(&parts, 't', '\0', nullptr, "1:00:00 am", false), 1);

  std::int32_t seconds = 0;
  EXPECT_EQ(ParseData(&seconds, 'k', 'T', "mm/dd/yyyy hh:mm:ss", "3/7/2024 1:05:09 pm", false), 0);
  ASSERT_TRUE(ValueToDateTimeParts(&parts, &seconds, 'T'));
  EXPECT_EQ(parts.day, 7);
  EXPECT_EQ(parts.hour, 13);
  EXPECT_EQ(parts.second, 9);
}

TEST_F(ParseDataTest, ValidationWithoutCorrectionChangesNothing) {
  SetEpoch(1, 50);
  DateTimeParts parts;
  parts.year = 29;
  parts.month = 13;  // no month length to hold the day against
  parts.day = 40;
  const DateTimeParts before = parts;
  EXPECT_FALSE(ValidateDate(&parts, false, true, true, true));
  EXPECT_FALSE(ValidateDate(&parts, false, false, false, true));
  EXPECT_TRUE(ValidateDate(&parts, false, true, false, false));
  parts.hour = 30;
  EXPECT_FALSE(ValidateTime(&parts, false, false, true, true, true));
  parts.hour = before.hour;
  EXPECT_EQ(std::memcmp(&parts, &before, sizeof parts), 0);

  parts.month = 0;  // ... except that a day without a month is cleared
  EXPECT_TRUE(ValidateDate(&parts, false, false, false, true));
  EXPECT_EQ(parts.day, 0);
  EXPECT_FALSE(ValidateDate(nullptr, true, true, true, true));
  EXPECT_FALSE(ValidateTime(nullptr, true, true, true, true, true));
}

}  // namespace
}  // namespace quillet
