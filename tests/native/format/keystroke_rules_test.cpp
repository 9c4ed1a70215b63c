#include "quillet/format/keystroke_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/native/format/scoped_settings.h"

namespace quillet {
namespace {

using testing::ScopedSettings;

// The buffers are exactly as large as the rules may use (the text, one more
// character and the NUL), so the sanitizer sees any write beyond that room.
std::unique_ptr<char[]> Room(const char* text) {
  const std::size_t size = std::strlen(text) + 2;
  std::unique_ptr<char[]> buffer(new char[size]);
  std::memcpy(buffer.get(), text, size - 1);
  buffer[size - 1] = '\x7f';
  return buffer;
}

// after == nullptr: refused with the text unchanged.
struct KeyCase {
  char type;
  const char* mask;
  const char* before;
  int position;
  char character;
  const char* after;
  int advance;
  int count;
};

void ExpectKeys(const std::vector<KeyCase>& cases) {
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(std::string(1, c.type) + " mask \"" + (c.mask ? c.mask : "(null)") + "\" text \"" +
                 c.before + "\" at " + std::to_string(c.position) + " key '" +
                 std::string(1, c.character) + "'");
    auto text = Room(c.before);
    int advance = 99, count = 99;
    const int result =
        ApplyKeystroke(c.type, 's', text.get(), c.mask, c.position, c.character, &advance, &count);
    if (!c.after) {
      EXPECT_NE(result, 0);
      EXPECT_STREQ(text.get(), c.before);
      EXPECT_EQ(advance, 0);
      EXPECT_EQ(count, 0);
    } else {
      EXPECT_EQ(result, 0);
      EXPECT_STREQ(text.get(), c.after);
      EXPECT_EQ(advance, c.advance);
      EXPECT_EQ(count, c.count);
    }
  }
}

struct DeleteCase {
  char type;
  const char* mask;
  const char* before;
  int position;
  int result;
  const char* after;
};

void ExpectDeletes(const std::vector<DeleteCase>& cases) {
  for (const DeleteCase& c : cases) {
    SCOPED_TRACE(std::string(1, c.type) + " mask \"" + (c.mask ? c.mask : "(null)") + "\" text \"" +
                 c.before + "\" at " + std::to_string(c.position));
    auto text = Room(c.before);
    EXPECT_EQ(DeleteCharAt(c.type, 's', text.get(), c.mask, c.position), c.result);
    EXPECT_STREQ(text.get(), c.after);
  }
}

TEST(KeystrokeDispatchTest, UnknownTypesPlainTextAndBadArgumentsAreRefused) {
  ScopedSettings settings;
  ExpectKeys({
      {'s', nullptr, "abc", 1, 'x', nullptr, 0, 0},
      {'x', nullptr, "abc", 1, 'x', nullptr, 0, 0},
      {'n', "0", "12", -1, '1', nullptr, 0, 0},
      {'n', "0", "12", 3, '1', nullptr, 0, 0},
      {'d', nullptr, "3/7/2024", 9, '1', nullptr, 0, 0},
      {'m', "###", "___", 4, '1', nullptr, 0, 0},
      {'z', "0.00", "0.00", 5, '1', nullptr, 0, 0},
      {'h', nullptr, "a", 0, '\0', nullptr, 0, 0},
      {'n', "0", "12", 0, '\0', nullptr, 0, 0},
  });

  int advance = 99, count = 99;
  EXPECT_NE(ApplyKeystroke('n', 's', nullptr, "0", 0, '1', &advance, &count), 0);
  EXPECT_EQ(advance, 0);
  EXPECT_EQ(count, 0);
  EXPECT_NE(ApplyKeystroke('b', 's', nullptr, nullptr, 0, 't', &advance, &count), 0);

  // The out-pointers are optional.
  char text[8] = "12";
  EXPECT_EQ(ApplyKeystroke('n', 's', text, "##0", 2, '3', nullptr, nullptr), 0);
  EXPECT_STREQ(text, "123");
}

TEST(KeystrokeDispatchTest, SingleCharacterFieldsTakeTheKeyAsTheirCharacter) {
  ScopedSettings settings;
  ExpectKeys({
      {'h', nullptr, "a", 0, 'x', "x", 0, 1},
      {'h', nullptr, "a", 5, '7', "7", 0, 1},  // the position plays no part
      {'h', nullptr, "", 0, 'x', "x", 0, 1},
  });
  ExpectDeletes({
      {'h', nullptr, "a", 0, 0, " "},
      {'h', nullptr, "", 0, 0, " "},
      {'s', nullptr, "abc", 1, 0, "ac"},
      {'s', nullptr, "abc", 3, 0, "abc"},
      {'s', nullptr, "abc", -1, 0, "abc"},
      {'x', nullptr, "abc", 1, 0, "abc"},
  });
  EXPECT_EQ(DeleteCharAt('n', 's', nullptr, "0", 0), 0);
  EXPECT_EQ(DeleteCharAt('h', 's', nullptr, nullptr, 0), 0);
}

TEST(DateTimeKeystrokeTest, DigitsOverwriteGrowAndJumpOverSeparators) {
  ScopedSettings settings;
  ExpectKeys({
      // A digit on a digit overwrites it.
      {'d', nullptr, "3/7/2024", 0, '1', "1/7/2024", 1, 1},
      // Behind a one-digit field the field takes a second digit.
      {'d', nullptr, "1/7/2024", 1, '2', "12/7/2024", 1, 8},
      {'a', nullptr, "3/7/2024", 3, '1', "3/71/2024", 1, 6},
      // A field that already holds two digits takes no third.
      {'d', nullptr, "12/7/2024", 2, '8', "12/8/2024", 2, 2},
      // At the end only a growing field takes a digit.
      {'d', "mm/dd", "3/7", 3, '1', "3/71", 1, 1},
      {'d', "mm/dd", "3/17", 4, '1', nullptr, 0, 0},
      {'d', nullptr, "3/7/2024", 8, '5', nullptr, 0, 0},
      {'d', nullptr, "3/7/2024", 8, '/', nullptr, 0, 0},
      // Blanked fields take digits.
      {'d', nullptr, " /7/2024", 0, '5', "5/7/2024", 1, 1},
      // A separator at the end of the text has nothing behind it to overwrite.
      {'d', nullptr, "3//", 2, '5', nullptr, 0, 0},
      {'a', nullptr, "3/7/2024 ", 8, '1', nullptr, 0, 0},
      // Nor does a digit go over the am/pm letter.
      {'t', nullptr, "1:05:09 pm", 7, '3', nullptr, 0, 0},
      // Separators typed: over one, or on to behind the next one.
      {'d', nullptr, "3/7/2024", 0, '/', "3/7/2024", 2, 1},
      {'d', nullptr, "3/7/2024", 2, '-', "3/7/2024", 2, 1},
      {'d', nullptr, "3/7/2024", 1, '/', "3/7/2024", 1, 1},
      {'d', nullptr, "3/7/2024", 5, '/', nullptr, 0, 0},
      {'a', nullptr, "3/7/2024 1:05:09 pm", 8, ':', "3/7/2024 1:05:09 pm", 1, 1},
      // The am/pm letter.
      {'t', nullptr, "1:05:09 pm", 8, 'a', "1:05:09 am", 1, 1},
      {'t', nullptr, "11:05:09 am", 9, 'p', "11:05:09 pm", 1, 1},
      {'t', nullptr, "1:05:09 pm", 0, 'x', nullptr, 0, 0},
      // Its first position takes only a or p, its second only the m, in either case.
      {'t', nullptr, "12:00:00 am", 9, 'P', "12:00:00 Pm", 1, 1},
      {'t', nullptr, "12:00:00 pm", 9, 'A', "12:00:00 Am", 1, 1},
      {'t', nullptr, "12:00:00 am", 10, 'm', "12:00:00 am", 1, 1},
      {'t', nullptr, "12:00:00 am", 10, 'M', "12:00:00 aM", 1, 1},
      {'t', nullptr, "12:00:00 am", 9, 'x', nullptr, 0, 0},
      {'t', nullptr, "12:00:00 am", 9, 'm', nullptr, 0, 0},
      {'t', nullptr, "12:00:00 am", 10, 'x', nullptr, 0, 0},
      {'t', nullptr, "12:00:00 am", 10, 'p', nullptr, 0, 0},
      {'t', nullptr, "12:00:00 am", 10, 'a', nullptr, 0, 0},
      {'k', nullptr, "3/7/2024 1:05:09 pm", 17, 'q', nullptr, 0, 0},
      {'k', nullptr, "3/7/2024 1:05:09 pm", 18, 'M', "3/7/2024 1:05:09 pM", 1, 1},
      {'d', nullptr, "3/7/2024", 0, 'x', nullptr, 0, 0},
  });
}

TEST(DateTimeKeystrokeTest, BlanksCloseWideFieldsAndBlankNarrowOnes) {
  ScopedSettings settings;
  ExpectKeys({
      {'d', nullptr, "12/7/2024", 0, ' ', "2/7/2024", 0, 1},
      {'d', nullptr, "12/7/2024", 1, ' ', "1/7/2024", 0, 1},
      {'d', nullptr, "3/7/2024", 0, ' ', " /7/2024", 1, 1},
      {'d', nullptr, "3/7/2024", 1, ' ', "3/7/2024", 1, 1},
      {'d', nullptr, "3/7/2024", 4, ' ', "3/7/ 024", 1, 1},
      {'t', nullptr, "1:05:09 pm", 2, ' ', "1: 5:09 pm", 1, 1},
  });
  ExpectDeletes({
      {'d', nullptr, "12/7/2024", 1, 0, "1/7/2024"},
      {'d', nullptr, "3/7/2024", 0, 1, " /7/2024"},
      {'d', nullptr, "3/7/2024", 1, 1, "3/7/2024"},
      {'d', nullptr, "3/7/2024", 8, 0, "3/7/2024"},
      {'k', nullptr, "3/7/2024", -1, 0, "3/7/2024"},
  });
}

TEST(DateTimeKeystrokeTest, SeparatorsFollowTheSettings) {
  ScopedSettings settings({{"sDate", "."}, {"sShortDate", "dd.MM.yyyy"}, {"sTime", "."}});
  ExpectKeys({
      {'d', nullptr, "7.3.2024", 1, '1', "71.3.2024", 1, 8},
      {'d', nullptr, "17.3.2024", 3, '1', "17.1.2024", 1, 1},
      {'d', nullptr, "17.3.2024", 4, '1', "17.31.2024", 1, 6},
      {'d', nullptr, "17.3.2024", 0, '/', "17.3.2024", 3, 1},
      {'d', nullptr, "17.3.2024", 0, ' ', "7.3.2024", 0, 1},
      {'t', nullptr, "1.05.09 pm", 8, 'a', "1.05.09 am", 1, 1},
      {'t', nullptr, "1.05.09 pm", 9, 'x', nullptr, 0, 0},
      {'t', nullptr, "1.05.09 pm", 9, 'm', "1.05.09 pm", 1, 1},
  });
}

TEST(NumberKeystrokeTest, DigitsFillTheIntegerAndFractionPositionsOfTheMask) {
  ScopedSettings settings;
  ExpectKeys({
      {'n', "##0", "123", 3, '4', nullptr, 0, 0},
      {'n', "##0", "12", 2, '3', "123", 1, 1},
      {'c', "#,##0.00", "12.50", 1, '9', "19.50", 1, 1},
      {'n', "#,##0.00", "12.5", 4, '1', "12.51", 1, 1},
      {'n', "#,##0.00", "12.50", 5, '1', nullptr, 0, 0},
      // At the decimal separator: into the integer part while it has room, else
      // over the first fraction digit.
      {'n', "##0.00", "12.45", 2, '9', "129.45", 1, 4},
      {'n', "##0.00", "123.45", 3, '9', "123.95", 2, 2},
      {'n', "##0.00", "123.", 3, '9', "123.9", 2, 2},
      {'n', "##0", "1.", 1, '9', "19.", 1, 2},
      {'n', "0", "5", 1, '6', nullptr, 0, 0},
      // Unlimited masks.
      {'n', nullptr, "12345", 5, '6', "123456", 1, 1},
      {'n', "*0.*", "1.2345", 6, '6', "1.23456", 1, 1},
      // A digit may not go in front of another character.
      {'n', "##0.00", "1.5", 1, '7', "17.5", 1, 3},
      {'n', "$##0", "-", 0, '7', "7", 1, 1},
      {'n', "##0", "12", 0, 'x', nullptr, 0, 0},
      {'n', "##0", "12", 0, '+', nullptr, 0, 0},
  });
}

TEST(NumberKeystrokeTest, MinusOnlyAtTheFrontAndOnlyOnce) {
  ScopedSettings settings;
  ExpectKeys({
      {'n', "##0", "12", 0, '-', "-12", 1, 3},
      {'n', "##0", "-12", 0, '-', "-12", 1, 1},
      {'n', "##0", "12", 1, '-', nullptr, 0, 0},
      // Another key on the minus takes it away first.
      {'n', "##0", "-12", 0, '5', "52", 1, 1},
      {'n', "##0.00", "-1.50", 0, '.', "0.50", 2, 5},
  });
}

TEST(NumberKeystrokeTest, TheDecimalSeparatorClearsTheIntegerDigitsBehindTheCaret) {
  ScopedSettings settings;
  ExpectKeys({
      {'n', "#,##0.00", "12.50", 0, '.', "0.50", 2, 6},
      {'n', "#,##0.00", "12.50", 1, '.', "1.50", 1, 4},
      {'n', "#,##0.00", "12.50", 2, '.', "12.50", 1, 3},
      {'n', "#,##0.00", "12.50", 3, '.', nullptr, 0, 0},
      {'n', "#,##0.##", "123", 1, '.', "1.", 1, 3},
      {'n', "0.00", "12", 2, '.', "12.", 1, 1},
      {'n', nullptr, "12", 2, '.', "12.", 1, 1},
      {'n', "##0", "12", 2, '.', nullptr, 0, 0},
      {'n', "##0", "12", 0, ',', nullptr, 0, 0},
  });
}

TEST(NumberKeystrokeTest, BlanksDeleteOrZeroAsTheForcedZerosSay) {
  ScopedSettings settings;
  ExpectKeys({
      {'n', "#,##0.00", "12.50", 0, ' ', "2.50", 0, 1},
      {'n', "#,##0.00", "2.50", 0, ' ', "0.50", 1, 1},
      {'n', "#,##0.00", "0.50", 2, ' ', "0.00", 1, 1},
      {'n', "#,##0.00", "0.505", 4, ' ', "0.50", 0, 1},
      {'n', "#,##0.00", "0.50", 1, ' ', "0.50", 1, 1},
      {'n', "#,##0.00", "0.50", 4, ' ', nullptr, 0, 0},
  });
  ExpectDeletes({
      {'c', "#,##0.00", "12.50", 5, 0, "12.50"},
      {'c', "#,##0.00", "12.50", 2, 1, "12.50"},
      {'c', "#,##0.00", "12.50", 0, 0, "2.50"},
      {'n', "#,##0.00", "2.50", 0, 1, "0.50"},
      {'n', "#,##0.00", "0.50", 3, 1, "0.50"},
      {'n', "#,##0.00", "0.505", 4, 0, "0.50"},
      {'n', "#,##0.00", "-5.00", 0, 0, "5.00"},
      {'n', "###", "5", 0, 0, ""},
      {'n', "##0", "5", 0, 1, "0"},
      {'n', nullptr, "5", 0, 1, "0"},
      {'n', "##0", "5", 9, 0, "5"},
  });
}

TEST(NumberKeystrokeTest, ACommaDecimalSeparatorIsTheOneThatCounts) {
  ScopedSettings settings({{"sDecimal", ","}, {"sThousand", "."}});
  ExpectKeys({
      {'n', "#,##0.00", "12,50", 0, ',', "0,50", 2, 6},
      {'n', "#,##0.00", "12,5", 4, '1', "12,51", 1, 1},
      {'n', "##0.00", "123,45", 3, '9', "123,95", 2, 2},
      {'n', "0.00", "12", 2, ',', "12,", 1, 1},
      {'n', "#,##0", "12", 2, ',', nullptr, 0, 0},
      {'n', "0.00", "12", 2, '.', nullptr, 0, 0},
  });
  ExpectDeletes({
      {'n', "#,##0.00", "12,50", 2, 1, "12,50"},
      {'n', "#,##0.00", "0,50", 2, 1, "0,00"},
  });
}

TEST(FixedPointKeystrokeTest, DigitsEnterFromTheRightAndPushThePointAlong) {
  ScopedSettings settings;
  ExpectKeys({
      {'z', "0.00", "0.00", 4, '5', "0.05", 0, 1},
      {'z', "0.00", "0.05", 4, '7', "0.57", 0, 1},
      {'z', "0.00", "0.57", 4, '3', "5.73", 0, 1},
      {'z', "0.00", "5.73", 4, '1', "57.31", 1, 1},
      {'z', "0.00", "5.73", 0, '2', "25.73", 1, 1},
      {'z', "0.00", "0.00", 0, '0', "0.00", 1, 1},
      {'z', "0.00", "-0.00", 5, '5', "-0.05", 0, 1},
      {'z', "#.##", "0.5", 3, '3', "5.3", 0, 1},
      {'z', "0", "0", 1, '5', "05", 1, 1},
      // The sign stays in front: a digit typed on it goes in behind it, and the
      // caret ends behind the digit.
      {'z', "0.00", "-0.05", 0, '5', "-50.05", 2, 2},
      {'z', "0.00", "-5.73", 0, '2', "-25.73", 2, 2},
      {'z', "0.00", "-0.05", 0, '0', "-0.05", 2, 2},
      {'z', "0", "-", 0, '7', "-7", 2, 2},
  });
}

TEST(FixedPointKeystrokeTest, SignsAndThePointChangeNoDigits) {
  ScopedSettings settings;
  ExpectKeys({
      {'z', "0.00", "0.05", 2, '-', "-0.05", 1, 1},
      {'z', "0.00", "-0.05", 3, '-', "-0.05", 1, 1},
      {'z', "0.00", "0.05", 2, '+', "0.05", 1, 1},
      {'z', "0.00", "0.05", 0, '.', "0.05", 1, 1},
      {'z', "0.00", "0.05", 4, '-', "-0.05", 1, 1},
      // Taking the sign away closes the text up: the caret stays on its character.
      {'z', "0.00", "-0.05", 2, '+', "0.05", -1, 1},
      {'z', "0.00", "-0.05", 5, '+', "0.05", -1, 1},
      {'z', "0.00", "-0.05", 0, '+', "0.05", 0, 1},
      {'z', "0.00", "-0.05", 1, '+', "0.05", -1, 1},
      // A key that changes nothing leaves the caret at the end of the text.
      {'z', "0.00", "0.05", 4, '.', "0.05", 0, 1},
      {'z', "0.00", "0.05", 4, '+', "0.05", 0, 1},
      {'z', "0.00", "-0.05", 5, '-', "-0.05", 0, 1},
      {'z', "0.00", "", 0, '.', "", 0, 1},
      {'z', "0.00", "0.05", 0, 'x', nullptr, 0, 0},
      {'z', "0.00", "0.05", 0, ' ', nullptr, 0, 0},
  });
}

TEST(FixedPointKeystrokeTest, DeletionRebuildsTheMasksDecimals) {
  ScopedSettings settings;
  ExpectDeletes({
      {'z', "0.00", "0.05", 3, 1, "0.00"},
      {'z', "0.00", "12.34", 0, 0, "2.34"},
      {'z', "0.00", "12.34", 3, 0, "1.24"},
      {'z', "0.00", "12.34", 2, 1, "12.34"},
      {'z', "0.00", "12.34", 5, 0, "12.34"},
      {'z', "0.00", "-0.05", 0, 0, "0.05"},
      {'z', "0.00", "-12.34", 1, 0, "-2.34"},
      {'z', "0.00", "1234", 0, 0, "2.34"},
      {'z', "0", "12", 0, 0, "2"},
      {'z', "0", "1", 0, 1, "0"},
      // Text the formatter never makes still keeps to the room the rules may use.
      {'z', "0.00", "x", 0, 1, ".x"},
      {'z', "0.00", "5", 0, 1, ".0"},
      {'z', "0.000", "12", 1, 1, ".01"},
  });
}

TEST(FixedPointKeystrokeTest, ACommaDecimalSeparatorIsUsedInBothDirections) {
  ScopedSettings settings({{"sDecimal", ","}, {"sThousand", "."}});
  ExpectKeys({
      {'z', "0.00", "0,00", 4, '5', "0,05", 0, 1},
      {'z', "0.00", "0,57", 4, '3', "5,73", 0, 1},
      {'z', "0.00", "0,05", 0, '.', "0,05", 1, 1},
      {'z', "0.00", "0,05", 0, ',', "0,05", 1, 1},
      {'z', "0.00", "-0,05", 0, '+', "0,05", 0, 1},
      {'z', "0.00", "-0,05", 5, '+', "0,05", -1, 1},
      {'z', "0.00", "0,05", 4, '.', "0,05", 0, 1},
      {'z', "0.00", "0,05", 4, ',', "0,05", 0, 1},
      {'z', "0.00", "-0,05", 0, '5', "-50,05", 2, 2},
  });
  ExpectDeletes({
      {'z', "0.00", "0,05", 3, 1, "0,00"},
      {'z', "0.00", "12,34", 0, 0, "2,34"},
      {'z', "0.00", "12,34", 2, 1, "12,34"},
      {'z', "0.00", "1234", 0, 0, "2,34"},
  });
}

TEST(TruthKeystrokeTest, FirstLettersChooseAndBlanksToggle) {
  ScopedSettings settings;
  ExpectKeys({
      {'b', nullptr, "TRUE", 0, 'f', "FALSE", 0, kRedrawAll},
      {'b', nullptr, "TRUE", 0, ' ', "FALSE", 0, kRedrawAll},
      {'b', nullptr, "TRUE", 0, 'x', "TRUE", 0, kRedrawAll},
      {'b', nullptr, "FALSE", 3, 't', "TRUE", 0, kRedrawAll},
      {'b', nullptr, "FALSE", 0, 'T', "TRUE", 0, kRedrawAll},
      {'b', nullptr, "FALSE", 0, ' ', "TRUE", 0, kRedrawAll},
      {'b', "", "FALSE", 0, 'F', "FALSE", 0, kRedrawAll},
      {'b', "Yes;No", "No", 0, 'y', "Yes", 0, kRedrawAll},
      {'b', "Yes;No", "Yes", 0, 'N', "No", 0, kRedrawAll},
      // A word longer than the room for it is cut.
      {'b', "Y;Nope", "Y", 0, 'n', "No", 0, kRedrawAll},
      // Without a ';' one word serves for both values.
      {'b', "On", "On", 0, 'o', "On", 0, kRedrawAll},
      {'b', ";No", "No", 0, ' ', "No", 0, kRedrawAll},
      {'b', ";No", "No", 0, 'n', "No", 0, kRedrawAll},
  });
}

TEST(TextMaskKeystrokeTest, PlaceholdersTakeTheirClassAndLiteralsArePassed) {
  ScopedSettings settings;
  const char* phone = "(###) ###-####";
  ExpectKeys({
      {'m', phone, "(12_) ___-____", 3, '3', "(123) ___-____", 1, 1},
      {'m', phone, "(12_) ___-____", 4, '4', "(12_) 4__-____", 3, 3},
      {'m', phone, "(12_) ___-____", 3, 'x', nullptr, 0, 0},
      {'m', phone, "(12_) ___-____", 0, '(', "(12_) ___-____", 1, 1},
      {'m', phone, "(12_) ___-____", 4, ')', "(12_) ___-____", 1, 1},
      {'m', phone, "(12_) ___-____", 14, '5', "(12_) ___-____", 0, 0},
      {'m', "@@@", "ab ", 2, 'c', "abc", 1, 1},
      {'m', "@@@", "ab ", 2, '1', nullptr, 0, 0},
      {'m', "&!*", "   ", 0, '1', "1  ", 1, 1},
      {'m', "&!*", "   ", 1, '.', " . ", 1, 1},
      {'m', "&!*", "   ", 1, 'a', nullptr, 0, 0},
      {'m', "&!*", "   ", 2, ' ', "   ", 1, 1},
      // Escapes are literals; groups are no elements.
      {'m', "##\\###", "12#__", 2, '3', "12#3_", 2, 2},
      {'m', "##\\###", "12#__", 2, '#', "12#__", 1, 1},
      {'m', "[red]##", "__", 0, '5', "5_", 1, 1},
      {'m', "#[x]#", "1_", 1, '5', "15", 1, 1},
      // A text shorter than its mask grows at its end, never beyond it.
      {'m', "###", "1", 1, '2', "12", 1, 1},
      {'m', "#-#", "1", 1, '2', nullptr, 0, 0},
      {'m', "#\\", "_", 1, '\\', "_", 0, 0},
      {'m', nullptr, "abc", 1, 'x', "abc", 0, 0},
  });
  ExpectDeletes({
      {'m', phone, "(123) 456-7890", 1, 1, "(_23) 456-7890"},
      {'m', phone, "(123) 456-7890", 0, 1, "(123) 456-7890"},
      {'m', phone, "(123) 456-7890", 14, 0, "(123) 456-7890"},
      {'m', "@!*&", "a.bc", 0, 1, " .bc"},
      {'m', "@!*&", "a.bc", 1, 1, "a-bc"},
      {'m', "@!*&", "a.bc", 2, 1, "a. c"},
      {'m', "@!*&", "a.bc", 3, 1, "a.b "},
      {'m', "####", "12", 2, 0, "12"},
      {'m', "##", "12", -1, 0, "12"},
  });
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

TEST(KeystrokeRefusalTest, ARefusedKeyLeavesTheTextAsItWas) {
  // The number rule takes a '-' under the caret out before it looks at the key.
  char text[16] = "12-";
  int advance = -1, count = -1;
  EXPECT_NE(ApplyKeystroke('n', 'd', text, "#,##0.00", 2, '?', &advance, &count), 0);
  EXPECT_STREQ(text, "12-");
  EXPECT_EQ(advance, 0);
  EXPECT_EQ(count, 0);
}

TEST(KeystrokeRefusalTest, TextShorterThanItsMaskKeepsTheCaretInside) {
  char text[8] = "";
  int advance = -1, count = -1;
  EXPECT_EQ(ApplyKeystroke('m', 's', text, "12:00 a", 0, '#', &advance, &count), 0);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(advance, 0);
  EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace quillet
