#include "quillet/format/format_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "quillet/format/number_format.h"
#include "quillet/format/text_mask.h"
#include "tests/native/format/scoped_settings.h"

namespace quillet {
namespace {

using testing::ScopedSettings;

struct Formatted {
  int result;
  std::string text;
};

template <class T>
Formatted Format(const T& value, char type, char storage, const char* mask, bool edit = false,
                 int size = 64) {
  char output[300];
  std::memset(output, '?', sizeof output);
  output[sizeof output - 1] = '\0';
  int result = FormatData(&value, type, storage, mask, output, size, nullptr, edit);
  return {result, output};
}

Formatted Number(double value, const char* mask, bool edit = false, int size = 64) {
  return Format(value, 'n', 'd', mask, edit, size);
}

void ExpectText(const Formatted& formatted, const std::string& text) {
  EXPECT_EQ(formatted.text, text);
  EXPECT_EQ(formatted.result, static_cast<int>(text.size())) << text;
}

TEST(FormatNumberTest, MasksGroupPadAndChooseTheirSection) {
  ScopedSettings settings;
  ExpectText(Number(1234.5, "#,##0.00"), "1,234.50");
  ExpectText(Number(1234.5, "#,##0.00", true), "1234.50");
  ExpectText(Number(-1234.5, "#,##0.00;(#,##0.00)"), "(1,234.50)");
  ExpectText(Number(-1234.5, "#,##0.00;(#,##0.00)", true), "-1234.50");
  ExpectText(Number(-1234.5, "#,##0.00"), "-1,234.50");
  ExpectText(Number(0.5, "#.##"), ".5");
  ExpectText(Number(0.5, "0.00"), "0.50");
  ExpectText(Number(1234567, "#,##0"), "1,234,567");
  ExpectText(Number(5, "0,000,000"), "0,000,005");
  ExpectText(Number(1234.5, "$#,##0.00"), "$1,234.50");
  ExpectText(Number(-5, "[red]#,##0;[blue]-#,##0"), "-5");
  ExpectText(Number(5, "[red]#,##0;[blue]-#,##0"), "5");
  ExpectText(Number(2.675, "0.00"), "2.67");  // the double lies just below 2.675
  ExpectText(Number(0.001, "0.00"), "0.00");
}

TEST(FormatNumberTest, DefaultMaskShowsWhatTheNumberHolds) {
  ScopedSettings settings;
  ExpectText(Number(5, nullptr), "5");
  ExpectText(Number(5.25, ""), "5.25");
  ExpectText(Number(0, nullptr), "0");
  ExpectText(Number(0.1, nullptr), "0.1");
  ExpectText(Number(-0.000001, nullptr), "-0.000001");
  ExpectText(Number(123456789012.25, nullptr), "123456789012.25");
}

TEST(FormatNumberTest, ExtremesGoScientificOrOverflow) {
  ScopedSettings settings;
  ExpectText(Number(1e25, "#,##0.00"), "1.0000e25");
  ExpectText(Number(-1e25, nullptr), "-1.0000e25");
  ExpectText(Number(1e-20, nullptr), "1.0000e-20");
  // Scientific text that does not fit is refused, not cut into a smaller number.
  Formatted cut = Number(1e25, "0", false, 6);
  EXPECT_EQ(cut.text, "#####");
  EXPECT_EQ(cut.result, 0);

  Formatted overflow = Number(1234567, "0.00", false, 8);
  EXPECT_EQ(overflow.text, "#######");
  EXPECT_EQ(overflow.result, 0);
  EXPECT_EQ(Number(1.0 / 0.0, "0.00", false, 5).text, "####");
  EXPECT_EQ(Number(std::nan(""), nullptr, false, 3).result, 0);
}

TEST(FormatNumberTest, FollowsTheUsersSeparators) {
  ScopedSettings settings({{"sThousand", "."}, {"sDecimal", ","}});
  ExpectText(Number(1234567.891, "#,##0.00"), "1.234.567,89");
  ExpectText(Number(-0.25, nullptr, true), "-0,25");
}

TEST(FormatNumberTest, IntegerStorageCodesReadTheirWidth) {
  ScopedSettings settings;
  ExpectText(Format(std::int16_t{-3}, 'n', 's', "0"), "-3");
  ExpectText(Format(std::uint8_t{255}, 'c', 'b', nullptr), "255");
  ExpectText(Format(std::int8_t{-128}, 'c', 'h', nullptr), "-128");
  ExpectText(Format(std::uint16_t{65535}, 'n', 'w', nullptr), "65535");
  ExpectText(Format(std::uint32_t{4294967295u}, 'n', 'u', "#,##0"), "4,294,967,295");
  ExpectText(Format(std::int32_t{-7}, 'z', 'l', nullptr), "-7");
  ExpectText(Format(2.5f, 'z', 'f', "0.0"), "2.5");
  // 'M' values are passed through untouched by this engine: no text at all.
  Formatted money = Format(std::int64_t{5}, 'n', 'M', nullptr);
  EXPECT_EQ(money.result, 0);
  EXPECT_EQ(money.text[0], '?');
  EXPECT_EQ(LoadNumber(nullptr, 'd'), 0);
}

TEST(FormatNumberTest, AnalysisCountsEachPart) {
  NumberMaskInfo info;
  const char* mask = "[red]$#,##0.0#x;(0)";
  const char* section = AnalyseNumberMask(mask, false, false, &info);
  EXPECT_EQ(section, mask + 5);
  EXPECT_EQ(info.intLength, 6);
  EXPECT_EQ(info.intPositions, 4);
  EXPECT_EQ(info.forcedIntZeros, 1);
  EXPECT_EQ(info.intLiterals, 1);
  EXPECT_TRUE(info.grouping);
  EXPECT_EQ(info.fracLength, 4);
  EXPECT_EQ(info.fracPositions, 2);
  EXPECT_EQ(info.forcedFracZeros, 1);
  EXPECT_EQ(info.maxFracDigits, 2);
  EXPECT_EQ(info.fracLiterals, 2);
  EXPECT_FALSE(info.leadingMinus);

  EXPECT_EQ(AnalyseNumberMask(mask, true, false, &info), mask + 16);
  EXPECT_FALSE(info.leadingMinus);
  AnalyseNumberMask("000.*", true, true, &info);
  EXPECT_TRUE(info.leadingMinus);
  EXPECT_EQ(info.forcedIntZeros, 1);  // the edit form forces one zero only
  EXPECT_EQ(info.maxIntDigits, 3);
  EXPECT_EQ(info.maxFracDigits, kUnlimitedDigits);
}

TEST(FormatNumberTest, LongMasksNeverWritePastTheOutput) {
  ScopedSettings settings;
  std::string mask(400, '0');
  mask += ".";
  mask += std::string(400, '#');
  char output[32];
  std::memset(output, 'x', sizeof output);
  EXPECT_EQ(FormatNumber(1.5, mask.c_str(), output, 16, false), 0);
  EXPECT_EQ(std::string(output), std::string(15, '#'));
  EXPECT_EQ(output[16], 'x');
  std::string literals(300, 'x');
  literals += "0";
  EXPECT_EQ(FormatNumber(7, literals.c_str(), output, 32, false), 0);
}

TEST(FormatBooleanTest, WordsComeFromTheMask) {
  Formatted no = Format(std::int16_t{0}, 'b', 's', "Yes;No");
  ExpectText(no, "No");
  ExpectText(Format(std::int16_t{2}, 'b', 's', "Yes;No"), "Yes");
  ExpectText(Format(std::int32_t{0}, 'b', 'l', "On"), "On");
  ExpectText(Format(std::int32_t{1}, 'b', 'l', "On"), "On");
  ExpectText(Format(std::uint8_t{1}, 'b', 'b', nullptr), "TRUE");
  ExpectText(Format(std::uint8_t{0}, 'b', 'b', ""), "FALSE");
  // Only the storage width counts: the byte above a 16-bit value is not read.
  const std::uint32_t highOnly = 0x00010000;
  ExpectText(Format(highOnly, 'b', 'w', nullptr), "FALSE");
  ExpectText(Format(highOnly, 'b', 'W', nullptr), "TRUE");

  int isFalse = 7;
  const std::int16_t zero = 0, one = 1;
  char output[16];
  FormatData(&zero, 'b', 's', "Yes;No", output, sizeof output, &isFalse, false);
  EXPECT_EQ(isFalse, 1);
  FormatData(&one, 'b', 's', "Yes;No", output, sizeof output, &isFalse, false);
  EXPECT_EQ(isFalse, 0);
  ExpectText({FormatBoolean(true, "Affirmative;No", output, 5), output}, "Affi");
}

TEST(TextMaskTest, MergesAndStrips) {
  char output[64];
  ExpectText({ApplyTextMask("1234567", "(###) ###-####", output, 64, false), output},
             "(123) 456-7___");
  ExpectText({ApplyTextMask("ab", "@@@", output, 64, false), output}, "ab ");
  ExpectText({ApplyTextMask("(555) 123-4567", "(###) ###-####", output, 64, false), output},
             "(555) 123-4567");
  ExpectText({ApplyTextMask("a1-b", "&!*[ignored]\\#", output, 64, false), output}, "a-b#");
  ExpectText({ApplyTextMask("(123) 456-7890", "(###) ###-####", output, 64, true), output},
             "1234567890");
  // A refused character ends a stripped text; the result counts one more.
  EXPECT_EQ(ApplyTextMask("(12a) 456", "(###) ###-####", output, 64, true), 3);
  EXPECT_STREQ(output, "12");
  ExpectText({ApplyTextMask("abc", nullptr, output, 3, false), output}, "ab");
  ExpectText({ApplyTextMask("12345", "#####", output, 4, false), output}, "123");
  EXPECT_EQ(ApplyTextMask(nullptr, "#", output, 64, false), 0);
  EXPECT_EQ(ApplyTextMask("1", "#", output, 0, false), 0);
  ExpectText({ApplyTextMask("9", "#\\", output, 64, false), output}, "9");
}

TEST(FormatDateTimeTest, FieldsByMask) {
  ScopedSettings settings({{"sDate", "."}});
  const std::int32_t date = 20240307;
  ExpectText(Format(date, 'd', 'l', "dd/mm/yyyy"), "07.03.2024");
  ExpectText(Format(date, 'd', 'l', "ddd, mmmm d"), "Thu, March 7");
  ExpectText(Format(date, 'd', 'l', "dddd yy yyy y"), "Thursday 24 024 y");
  ExpectText(Format(date, 'd', 'l', "mmm\\d[skipped]dddddd"), "MardThursday07");
  ExpectText(Format(std::int32_t{0}, 'd', 'l', "mm/dd/yyyy"), "  .  .    ");
  ExpectText(Format(std::int32_t{0}, 'd', 'l', "ddd mmmm"), std::string(8, ' '));

  const std::uint16_t time[3] = {13, 5, 9};
  ExpectText(Format(time, 't', 't', "h:mm:ss ap"), "1:05:09 pm");
  ExpectText(Format(time, 't', 't', "HH:MM:SS AP"), "01:05:09 PM");
  ExpectText(Format(time, 't', 't', "hh:mm:ss"), "13:05:09");
  ExpectText(Format(time, 't', 't', "h m s f a"), "13 m s f a");
  const std::uint16_t midnight[3] = {0, 0, 0};
  ExpectText(Format(midnight, 't', 't', "h:mm ap"), "12:00 am");
  ExpectText(Format(time, 't', 't', "hh:mm", false, 4), "13:");
  // A time field has no month: its "mm" is always minutes.
  ExpectText(Format(time, 't', 't', "mm:ss"), "05:09");
  ExpectText(Format(time, 't', 't', "mm:ss", true), "05:09");
}

TEST(FormatDateTimeTest, SettingsLayoutWithoutMaskOrForEditing) {
  ScopedSettings settings;
  DateTimeParts parts{};
  parts.year = 2024;
  parts.month = 3;
  parts.day = 7;
  ExpectText(Format(parts, 'a', 'D', nullptr), "3/7/2024");  // midnight: the date alone
  parts.hour = 13;
  parts.minute = 5;
  parts.milliseconds = 250;
  ExpectText(Format(parts, 'a', 'D', ""), "3/7/2024 1:05:00 pm");
  ExpectText(Format(parts, 'a', 'D', "yyyy-mm-dd hh:mm:ss.ff"), "2024-03-07 13:05:00.250");
  ExpectText(Format(parts, 'd', 'D', nullptr), "3/7/2024");
  ExpectText(Format(parts, 't', 'D', nullptr), "1:05:00 pm");
  // Unknown storage codes convert nothing.
  EXPECT_EQ(Format(parts, 'a', 'x', nullptr).result, 0);
}

TEST(FormatDateTimeTest, StoredValuesOutsideTheCalendarShowNoNames) {
  ScopedSettings settings;
  DateTimeParts parts{};
  parts.year = 2024;
  parts.month = 13;
  parts.day = 40;
  ExpectText(Format(parts, 'd', 'D', "mmmm mmm mm"), "         13");
  parts.month = 255;
  EXPECT_EQ(Format(parts, 'd', 'D', "mmm").text, "   ");
  // OLE dates before the zero day keep a positive time of day.
  ExpectText(Format(-1.75, 'a', 'u', "yyyy-mm-dd hh:mm"), "1899-12-29 18:00");
}

TEST(FormatDateTimeTest, EditLayoutUnderOtherSeparatorsHasNoStraySeparators) {
  ScopedSettings settings({{"sDate", "."}, {"sShortDate", "dd.MM.yyyy"}, {"sTime", "."}},
                          {{"iTime", 1}});
  const std::int32_t date = 20240307;
  ExpectText(Format(date, 'd', 'l', "yyyy", true), "2024");
  ExpectText(Format(date, 'd', 'l', "mm/yyyy", true), "3.2024");
  DateTimeParts parts{};
  parts.year = 2024;
  parts.month = 3;
  parts.day = 7;
  parts.hour = 13;
  parts.minute = 5;
  ExpectText(Format(parts, 'a', 'D', "dd/mm/yyyy hh:mm", true), "7.3.2024 13.05");
}

TEST(FormatDataTest, DispatchAndRefusals) {
  char output[16];
  std::memset(output, 'x', sizeof output);
  int isFalse = 5;
  const double number = 1;
  EXPECT_EQ(FormatData(nullptr, 'n', 'd', nullptr, output, 16, &isFalse, false), 0);
  EXPECT_EQ(FormatData(&number, 'n', 'd', nullptr, nullptr, 16, &isFalse, false), 0);
  EXPECT_EQ(FormatData(&number, 'n', 'd', nullptr, output, 1, &isFalse, false), 0);
  EXPECT_EQ(FormatData(&number, 'x', 'd', nullptr, output, 16, &isFalse, false), 0);
  EXPECT_EQ(isFalse, 5);
  EXPECT_EQ(output[0], 'x');

  ExpectText(Format('Q', 'h', 'h', nullptr), "Q");
  char text[] = "plain text value";
  char cut[8];
  EXPECT_EQ(FormatData(text, 's', 's', "ignored", cut, sizeof cut, nullptr, false), 7);
  EXPECT_STREQ(cut, "plain t");
  char digits[] = "1234567";
  EXPECT_EQ(FormatData(digits, 'm', 's', "(###) ###-####", output, 16, nullptr, false), 14);
  EXPECT_STREQ(output, "(123) 456-7___");
}

}  // namespace
}  // namespace quillet
