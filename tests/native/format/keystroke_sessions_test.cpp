// Whole typing sessions replayed through the keystroke and deletion rules. Each
// step starts from the text the step before left, as the edit window feeds them,
// so a rule that leaves a text the next keystroke misreads shows up here even when
// every single keystroke looks right on its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "quillet/format/format_data.h"
#include "quillet/format/keystroke_rules.h"
#include "tests/native/format/scoped_settings.h"

namespace quillet {
namespace {

using testing::ScopedSettings;

// A step's key that stands for a deletion at the position (DeleteCharAt).
constexpr int kDel = -1;
constexpr int kAll = kRedrawAll;

// text == nullptr: refused, the text stays as it was and advance and count are 0.
// For a deletion, advance is what DeleteCharAt returns (1: the caret steps over)
// and count is not used.
struct Step {
  int at;
  int key;
  const char* text;
  int advance;
  int count;
};

struct Field {
  const char* name;
  char type;
  char storage;
  const char* mask;
  const char* start;
};

struct Session {
  Field field;
  std::vector<Step> steps;
};

// Exactly the room the rules may use (the text, one more character, the NUL),
// fresh for every step, so the sanitizer sees a write beyond what the text has
// grown to so far.
std::unique_ptr<char[]> Room(const std::string& text) {
  const std::size_t size = text.size() + 2;
  std::unique_ptr<char[]> buffer(new char[size]);
  std::memcpy(buffer.get(), text.c_str(), size - 1);
  buffer[size - 1] = '\x7f';
  return buffer;
}

std::string Show(const char* text) { return text ? "\"" + std::string(text) + "\"" : "refused"; }

std::string Describe(const Session& session, std::size_t index, const std::string& before) {
  const Step& step = session.steps[index];
  const Field& field = session.field;
  std::ostringstream out;
  out << field.name << " ('" << field.type << "' mask " << Show(field.mask) << "): step " << index
      << ", at " << step.at << ", ";
  if (step.key == kDel)
    out << "delete";
  else
    out << "key '" << static_cast<char>(step.key) << "'";
  out << ", text before \"" << before << "\"";
  return out.str();
}

// Plays the steps in order and stops a session at its first wrong step: the steps
// after it would start from a text the session never meant.
void Replay(const Session& session) {
  const Field& field = session.field;
  std::string text = field.start;
  for (std::size_t i = 0; i < session.steps.size(); ++i) {
    const Step& step = session.steps[i];
    const std::string expected = step.text ? step.text : text;
    auto buffer = Room(text);
    std::ostringstream wrong;
    if (step.key == kDel) {
      const int result = DeleteCharAt(field.type, field.storage, buffer.get(), field.mask, step.at);
      if (result != (step.text ? step.advance : 0))
        wrong << "\n  result " << result << ", expected " << (step.text ? step.advance : 0);
    } else {
      int advance = 99, count = 99;
      const int result = ApplyKeystroke(field.type, field.storage, buffer.get(), field.mask,
                                        step.at, static_cast<char>(step.key), &advance, &count);
      if ((result == 0) != (step.text != nullptr))
        wrong << "\n  " << (result == 0 ? "accepted" : "refused") << ", expected "
              << (step.text ? "accepted" : "refused");
      if (advance != step.advance || count != step.count)
        wrong << "\n  advance " << advance << " count " << count << ", expected " << step.advance
              << " " << step.count;
    }
    if (expected != buffer.get())
      wrong << "\n  text \"" << buffer.get() << "\", expected \"" << expected << "\"";
    if (!wrong.str().empty()) {
      ADD_FAILURE() << Describe(session, i, text) << wrong.str();
      return;
    }
    text = expected;
  }
}

void ReplayAll(const std::vector<Session>& sessions) {
  for (const Session& session : sessions) Replay(session);
}

// Decimal comma, thousands dot, day before month with dots, 24-hour clock with
// leading zeros.
std::map<std::string, std::string> DottedStrings() {
  return {{"sDecimal", ","}, {"sThousand", "."}, {"sDate", "."}, {"sShortDate", "dd.MM.yyyy"}};
}
std::map<std::string, int> DottedInts() { return {{"iTLZero", 1}, {"iTime", 1}}; }

TEST(KeystrokeSessionTest, WorkedExamples) {
  ScopedSettings settings;
  ReplayAll({
      {{"date digit then growth", 'd', 'l', nullptr, "3/7/2024"},
       {{0, '1', "1/7/2024", 1, 1}, {1, '2', "12/7/2024", 1, 8}}},
      {{"date separator jump", 'd', 'l', nullptr, "3/7/2024"}, {{0, '/', "3/7/2024", 2, 1}}},
      {{"number point clears the integer", 'n', 'd', "#,##0.00", "12.50"},
       {{0, '.', "0.50", 2, 6}}},
      {{"number integer full", 'n', 'l', "##0", "123"}, {{3, '4', nullptr, 0, 0}}},
      {{"fixed-point digits enter from the right", 'z', 'd', "0.00", "0.00"},
       {{4, '5', "0.05", 0, 1}, {4, '7', "0.57", 0, 1}, {4, '3', "5.73", 0, 1}}},
      {{"truth value", 'b', 's', nullptr, "TRUE"},
       {{0, 'f', "FALSE", 0, kAll},
        {0, ' ', "TRUE", 0, kAll},
        {0, ' ', "FALSE", 0, kAll},
        {0, 'x', "FALSE", 0, kAll}}},
      {{"phone", 'm', 's', "(###) ###-####", "(12_) ___-____"},
       {{3, '3', "(123) ___-____", 1, 1}, {4, '4', "(123) 4__-____", 3, 3}}},
      {{"number deletions at the end and on the point", 'c', 'd', "#,##0.00", "12.50"},
       {{5, kDel, nullptr, 0, 0}, {2, kDel, "12.50", 1, 0}}},
  });
}

TEST(KeystrokeSessionTest, DatesTypedFullAndDeletedBack) {
  ScopedSettings settings;
  ReplayAll({
      // Digits only: a one-digit field grows behind its first digit, a digit on a
      // separator lands behind it; Backspace then empties the field again.
      {{"m/d/yyyy, digits only", 'd', 'l', "m/d/yyyy", " / /    "},
       {{0, '1', "1/ /    ", 1, 1},    {1, '2', "12/ /    ", 1, 8},   {2, '2', "12/2/    ", 2, 2},
        {4, '5', "12/25/    ", 1, 6},  {5, '2', "12/25/2   ", 2, 2},  {7, '0', "12/25/20  ", 1, 1},
        {8, '2', "12/25/202 ", 1, 1},  {9, '4', "12/25/2024", 1, 1},  {10, '5', nullptr, 0, 0},
        {10, '/', nullptr, 0, 0},      {9, kDel, "12/25/202 ", 1, 0}, {8, kDel, "12/25/20  ", 1, 0},
        {7, kDel, "12/25/2   ", 1, 0}, {6, kDel, "12/25/    ", 1, 0}, {5, kDel, "12/25/    ", 1, 0},
        {4, kDel, "12/2/    ", 0, 0},  {3, kDel, "12/ /    ", 1, 0},  {2, kDel, "12/ /    ", 1, 0},
        {1, kDel, "1/ /    ", 0, 0},   {0, kDel, " / /    ", 1, 0},   {8, kDel, nullptr, 0, 0}}},
      // A two-letter mask still lays the text out with one letter per field;
      // leading zeros are typed like any digit. Del from the front closes the wide
      // fields up and blanks the narrow ones.
      {{"mm/dd/yyyy, leading zeros", 'd', 'A', "mm/dd/yyyy", " / /    "},
       {{0, '0', "0/ /    ", 1, 1},   {1, '3', "03/ /    ", 1, 8},  {2, '0', "03/0/    ", 2, 2},
        {4, '7', "03/07/    ", 1, 6}, {5, '2', "03/07/2   ", 2, 2}, {7, '0', "03/07/20  ", 1, 1},
        {8, '2', "03/07/202 ", 1, 1}, {9, '4', "03/07/2024", 1, 1}, {0, kDel, "3/07/2024", 0, 0},
        {0, kDel, " /07/2024", 1, 0}, {1, kDel, " /07/2024", 1, 0}, {2, kDel, " /7/2024", 0, 0},
        {2, kDel, " / /2024", 1, 0},  {3, kDel, " / /2024", 1, 0},  {4, kDel, " / / 024", 1, 0},
        {5, kDel, " / /  24", 1, 0},  {6, kDel, " / /   4", 1, 0},  {7, kDel, " / /    ", 1, 0},
        {8, kDel, nullptr, 0, 0},     {3, '9', " / 9/    ", 1, 6}}},
      // Separators typed as the user sees them, then corrections inside the text.
      {{"m/d/yyyy, separators typed", 'd', 'd', nullptr, " / /    "},
       {{0, '7', "7/ /    ", 1, 1},   {1, '/', "7/ /    ", 1, 1},  {2, '4', "7/4/    ", 1, 1},
        {3, '/', "7/4/    ", 1, 1},   {4, '1', "7/4/1   ", 1, 1},  {5, '9', "7/4/19  ", 1, 1},
        {6, '7', "7/4/197 ", 1, 1},   {7, '6', "7/4/1976", 1, 1},  {7, '/', nullptr, 0, 0},
        {7, 'x', nullptr, 0, 0},      {0, '1', "1/4/1976", 1, 1},  {1, '1', "11/4/1976", 1, 8},
        {2, '/', "11/4/1976", 1, 1},  {3, '2', "11/2/1976", 1, 1}, {4, '5', "11/25/1976", 1, 6},
        {0, '-', "11/25/1976", 3, 1}, {3, ' ', "11/5/1976", 0, 1}, {3, ' ', "11/ /1976", 1, 1},
        {3, '9', "11/9/1976", 1, 1},  {9, '1', nullptr, 0, 0}}},
  });
}

TEST(KeystrokeSessionTest, DatesUnderDottedDayFirstSettings) {
  ScopedSettings settings(DottedStrings(), DottedInts());
  ReplayAll({
      {{"d.m.yyyy typed and picked apart", 'd', 'a', "mm/dd/yyyy", " . .    "},
       {{0, '2', "2. .    ", 1, 1},   {1, '5', "25. .    ", 1, 8},  {2, '.', "25. .    ", 1, 1},
        {3, '1', "25.1.    ", 1, 1},  {4, '2', "25.12.    ", 1, 6}, {5, '2', "25.12.2   ", 2, 2},
        {7, '0', "25.12.20  ", 1, 1}, {8, '2', "25.12.202 ", 1, 1}, {9, '4', "25.12.2024", 1, 1},
        {0, '/', "25.12.2024", 3, 1}, {4, kDel, "25.1.2024", 0, 0}, {3, kDel, "25. .2024", 1, 0},
        {1, kDel, "2. .2024", 0, 0},  {0, kDel, " . .2024", 1, 0},  {2, '3', " .3.2024", 1, 1},
        {0, '9', "9.3.2024", 1, 1},   {0, '3', "3.3.2024", 1, 1},   {1, '1', "31.3.2024", 1, 8},
        {3, '1', "31.1.2024", 1, 1},  {4, '0', "31.10.2024", 1, 6}}},
      {{"date and 24-hour time", 'a', 'D', nullptr, "7.3.2024 09:05:00"},
       {{0, '1', "1.3.2024 09:05:00", 1, 1},
        {1, '7', "17.3.2024 09:05:00", 1, 17},
        {2, '1', "17.1.2024 09:05:00", 2, 2},
        {4, '2', "17.12.2024 09:05:00", 1, 15},
        {5, '.', "17.12.2024 09:05:00", 1, 1},
        {10, '1', "17.12.2024 19:05:00", 2, 2},
        {12, '.', "17.12.2024 19:05:00", 2, 1},
        {14, '4', "17.12.2024 19:45:00", 1, 1},
        {18, kDel, "17.12.2024 19:45:0 ", 1, 0},
        {19, '5', nullptr, 0, 0},
        {18, '5', "17.12.2024 19:45:05", 1, 1},
        {0, kDel, "7.12.2024 19:45:05", 0, 0}}},
      // Two-letter fields never grow or close up: a deleted digit leaves a blank.
      {{"hh:mm:ss", 't', 'i', "hh:mm:ss", "00:00:00"},
       {{0, '1', "10:00:00", 1, 1},
        {1, '8', "18:00:00", 1, 1},
        {2, '3', "18:30:00", 2, 2},
        {4, '7', "18:37:00", 1, 1},
        {5, ':', "18:37:00", 1, 1},
        {6, '4', "18:37:40", 1, 1},
        {7, '5', "18:37:45", 1, 1},
        {8, '1', nullptr, 0, 0},
        {0, kDel, " 8:37:45", 1, 0},
        {1, kDel, "  :37:45", 1, 0},
        {0, '0', "0 :37:45", 1, 1},
        {1, '9', "09:37:45", 1, 1}}},
  });
}

TEST(KeystrokeSessionTest, TimesAndDateTimesOnATwelveHourClock) {
  ScopedSettings settings;
  ReplayAll({
      {{"hh:mm:ss shown as h:mm:ss ap", 't', 't', "hh:mm:ss", "12:00:00 am"},
       {{0, kDel, "2:00:00 am", 0, 0},  {0, '9', "9:00:00 am", 1, 1},
        {1, ':', "9:00:00 am", 1, 1},   {2, '3', "9:30:00 am", 1, 1},
        {3, '0', "9:30:00 am", 1, 1},   {4, '1', "9:30:10 am", 2, 2},
        {6, '5', "9:30:15 am", 1, 1},   {7, 'p', nullptr, 0, 0},
        {7, ' ', "9:30:15 am", 1, 1},   {8, 'p', "9:30:15 pm", 1, 1},
        {9, '5', nullptr, 0, 0},        {10, '1', nullptr, 0, 0},
        {8, 'x', nullptr, 0, 0},        {9, 'x', nullptr, 0, 0},
        {9, 'a', nullptr, 0, 0},        {9, 'M', "9:30:15 pM", 1, 1},
        {8, 'A', "9:30:15 AM", 1, 1},   {9, 'm', "9:30:15 Am", 1, 1},
        {8, 'p', "9:30:15 pm", 1, 1},   {0, '1', "1:30:15 pm", 1, 1},
        {1, '1', "11:30:15 pm", 1, 10}, {2, '4', "11:40:15 pm", 2, 2},
        {1, kDel, "1:40:15 pm", 0, 0},  {0, kDel, " :40:15 pm", 1, 0},
        {0, '7', "7:40:15 pm", 1, 1},   {2, kDel, "7: 0:15 pm", 1, 0},
        {2, '5', "7:50:15 pm", 1, 1}}},
      {{"date-time held in seconds", 'k', 'T', nullptr, "3/7/2024 1:05:09 pm"},
       {{9, '2', "3/7/2024 2:05:09 pm", 1, 1},
        {10, '1', "3/7/2024 21:05:09 pm", 1, 10},
        {18, 'a', "3/7/2024 21:05:09 am", 1, 1},
        {10, kDel, "3/7/2024 2:05:09 am", 0, 0},
        {9, kDel, "3/7/2024  :05:09 am", 1, 0},
        {9, '8', "3/7/2024 8:05:09 am", 1, 1},
        {8, '1', "3/7/2024 1:05:09 am", 2, 2}}},
      {{"date and time", 'a', 'Q', "mm/dd/yyyy hh:mm", "3/7/2024 1:05 pm"},
       {{2, '1', "3/1/2024 1:05 pm", 1, 1},
        {3, '5', "3/15/2024 1:05 pm", 1, 14},
        {4, '/', "3/15/2024 1:05 pm", 1, 1},
        {8, '5', "3/15/2025 1:05 pm", 1, 1},
        {9, ':', "3/15/2025 1:05 pm", 1, 1},
        {10, ':', "3/15/2025 1:05 pm", 2, 1},
        {12, '4', "3/15/2025 1:45 pm", 1, 1},
        {15, 'a', "3/15/2025 1:45 am", 1, 1},
        {3, kDel, "3/1/2025 1:45 am", 0, 0}}},
  });
}

TEST(KeystrokeSessionTest, NumbersAgainstTheirIntegerAndFractionLimits) {
  ScopedSettings settings;
  ReplayAll({
      // Four integer positions: a fifth integer digit goes over the first decimal,
      // and a third decimal is refused, leaving the text alone.
      {{"#,##0.00 typed past its limits", 'n', 'd', "#,##0.00", "0.00"},
       {{0, '1', "1.00", 1, 1},     {1, '2', "12.00", 1, 4},    {2, '3', "123.00", 1, 4},
        {3, '4', "1234.00", 1, 4},  {4, '5', "1234.50", 2, 2},  {6, '6', "1234.56", 1, 1},
        {7, '7', nullptr, 0, 0},    {4, '9', "1234.96", 2, 2},  {7, '0', nullptr, 0, 0},
        {0, '-', "-1234.96", 1, 8}, {1, '-', nullptr, 0, 0},    {0, '-', "-1234.96", 1, 1},
        {0, '5', "5234.96", 1, 1},  {6, kDel, "5234.90", 1, 0}, {5, kDel, "5234.00", 1, 0},
        {4, kDel, "5234.00", 1, 0}, {3, kDel, "523.00", 0, 0},  {2, kDel, "52.00", 0, 0},
        {1, kDel, "5.00", 0, 0},    {0, kDel, "0.00", 1, 0},    {0, kDel, "0.00", 1, 0},
        {4, kDel, nullptr, 0, 0}}},
      // Without forced decimals the point is typed, and the decimals go again.
      {{"#,##0.## typed and deleted", 'n', 'd', "#,##0.##", "0"},
       {{0, '1', "1", 1, 1},       {1, '2', "12", 1, 1},      {2, '3', "123", 1, 1},
        {3, '4', "1234", 1, 1},    {4, '5', nullptr, 0, 0},   {4, '.', "1234.", 1, 1},
        {5, '5', "1234.5", 1, 1},  {6, '6', "1234.56", 1, 1}, {7, '7', nullptr, 0, 0},
        {6, kDel, "1234.5", 0, 0}, {5, kDel, "1234.", 0, 0},  {4, kDel, "1234.", 1, 0},
        {3, kDel, "123.", 0, 0},   {2, kDel, "12.", 0, 0},    {1, kDel, "1.", 0, 0},
        {0, kDel, "0.", 1, 0},     {1, '7', "07.", 1, 2},     {0, '.', "0.", 2, 4},
        {2, '5', "0.5", 1, 1},     {0, '-', "-0.5", 1, 4}}},
      {{"negative section", 'c', 'd', "#,##0.00;(#,##0.00)", "0.00"},
       {{0, '-', "-0.00", 1, 5},
        {1, '1', "-1.00", 1, 1},
        {2, '2', "-12.00", 1, 4},
        {3, '3', "-123.00", 1, 4},
        {4, '4', "-1234.00", 1, 4},
        {5, '5', "-1234.50", 2, 2},
        {0, kDel, "1234.50", 0, 0},
        {0, '.', "0.50", 2, 8}}},
      {{"default mask", 'n', 'd', nullptr, "0"},
       {{0, '4', "4", 1, 1},
        {1, '2', "42", 1, 1},
        {2, '.', "42.", 1, 1},
        {3, '5', "42.5", 1, 1},
        {1, kDel, "4.5", 0, 0},
        {2, kDel, "4.", 0, 0},
        {2, '1', "4.1", 1, 1}}},
  });
}

TEST(KeystrokeSessionTest, NumbersWithADecimalComma) {
  ScopedSettings settings(DottedStrings(), DottedInts());
  ReplayAll({
      {{"#,##0.00", 'c', 'd', "#,##0.00", "0,00"},
       {{0, '7', "7,00", 1, 1},    {1, '8', "78,00", 1, 4},    {2, ',', "78,00", 1, 3},
        {3, '5', "78,50", 1, 1},   {4, '.', nullptr, 0, 0},    {4, '2', "78,52", 1, 1},
        {5, '1', nullptr, 0, 0},   {0, '.', nullptr, 0, 0},    {1, ',', "7,52", 1, 4},
        {0, ',', "0,52", 2, 5},    {3, kDel, "0,50", 1, 0},    {1, kDel, "0,50", 1, 0},
        {0, '-', "-0,50", 1, 5},   {1, '3', "-3,50", 1, 1},    {2, '1', "-31,50", 1, 4},
        {3, '9', "-319,50", 1, 4}, {4, '9', "-3199,50", 1, 4}, {5, '9', "-3199,90", 2, 2},
        {0, '9', "9199,90", 1, 1}, {4, kDel, "9199,90", 1, 0}}},
      {{"#,##0.## typed past its limits", 'n', 'd', "#,##0.##", "0"},
       {{0, '9', "9", 1, 1},
        {1, '9', "99", 1, 1},
        {2, '9', "999", 1, 1},
        {3, '9', "9999", 1, 1},
        {4, '9', nullptr, 0, 0},
        {4, '.', nullptr, 0, 0},
        {4, ',', "9999,", 1, 1},
        {4, '1', "9999,1", 2, 2},
        {6, '2', "9999,12", 1, 1},
        {7, '3', nullptr, 0, 0}}},
  });
}

TEST(KeystrokeSessionTest, FixedPointAmounts) {
  ScopedSettings settings;
  ReplayAll({
      // The caret stays at the end while the point walks along; Backspace takes the
      // digits out from the right and the mask's zeros come back. The sign goes on
      // and off in front without the caret leaving the end or its character.
      {{"0.00 typed and deleted", 'z', 'd', "0.00", "0.00"},
       {{4, '1', "0.01", 0, 1},    {4, '2', "0.12", 0, 1},     {4, '3', "1.23", 0, 1},
        {4, '4', "12.34", 1, 1},   {5, '5', "123.45", 1, 1},   {6, 'x', nullptr, 0, 0},
        {6, '-', "-123.45", 1, 1}, {7, '6', "-1234.56", 1, 1}, {0, kDel, "1234.56", 0, 0},
        {6, kDel, "123.45", 0, 0}, {5, kDel, "12.34", 0, 0},   {4, kDel, "1.23", 0, 0},
        {3, kDel, "0.12", 1, 0},   {3, kDel, "0.01", 1, 0},    {3, kDel, "0.00", 1, 0},
        {3, kDel, "0.00", 1, 0},   {4, kDel, nullptr, 0, 0},   {1, kDel, "0.00", 1, 0},
        {0, kDel, "0.00", 1, 0},   {4, '-', "-0.00", 1, 1},    {5, '-', "-0.00", 0, 1},
        {5, '+', "0.00", -1, 1},   {4, '+', "0.00", 0, 1},     {4, '.', "0.00", 0, 1},
        {4, '5', "0.05", 0, 1},    {0, '-', "-0.05", 1, 1},    {0, '7', "-70.05", 2, 2},
        {2, '+', "70.05", -1, 1}}},
      {{"typed inside", 'z', 'd', "0.00", "12.34"},
       {{1, '9', "192.34", 1, 1}, {4, '5', "1925.34", 1, 1}, {0, '.', "1925.34", 1, 1}}},
  });
}

TEST(KeystrokeSessionTest, FixedPointAmountsWithADecimalComma) {
  ScopedSettings settings(DottedStrings(), DottedInts());
  ReplayAll({
      {{"0.00", 'z', 'd', "0.00", "0,00"},
       {{4, '9', "0,09", 0, 1},
        {4, '9', "0,99", 0, 1},
        {1, '.', "0,99", 1, 1},
        {4, '5', "9,95", 0, 1},
        {4, '0', "99,50", 1, 1},
        {4, kDel, "9,95", 0, 0},
        {1, kDel, "9,95", 1, 0},
        {0, kDel, "0,95", 1, 0},
        {0, '-', "-0,95", 1, 1},
        {5, '1', "-9,51", 0, 1},
        {0, '3', "-39,51", 2, 2},
        {6, ',', "-39,51", 0, 1},
        {6, '+', "39,51", -1, 1},
        {0, '-', "-39,51", 1, 1},
        {0, kDel, "39,51", 0, 0}}},
  });
}

// Neither truth values, text masks nor single characters look at the settings:
// the same sessions hold under both.
std::vector<Session> SettingsFreeSessions() {
  return {
      {{"truth value toggled", 'b', 's', nullptr, "FALSE"},
       {{0, ' ', "TRUE", 0, kAll},
        {0, ' ', "FALSE", 0, kAll},
        {2, 'T', "TRUE", 0, kAll},
        {0, 't', "TRUE", 0, kAll},
        {0, '?', "TRUE", 0, kAll},
        {4, 'F', "FALSE", 0, kAll},
        {0, kDel, "FALSE", 0, 0}}},
      {{"own words", 'b', 'w', "Yes;No", "No"},
       {{0, 'y', "Yes", 0, kAll},
        {0, ' ', "No", 0, kAll},
        {0, ' ', "Yes", 0, kAll},
        {0, 'N', "No", 0, kAll}}},
      {{"phone typed and deleted back", 'm', 's', "(###) ###-####", "(___) ___-____"},
       {{0, '5', "(5__) ___-____", 2, 2},
        {2, '5', "(55_) ___-____", 1, 1},
        {3, ')', nullptr, 0, 0},
        {3, '5', "(555) ___-____", 1, 1},
        {4, '1', "(555) 1__-____", 3, 3},
        {7, '2', "(555) 12_-____", 1, 1},
        {8, '3', "(555) 123-____", 1, 1},
        {9, '-', "(555) 123-____", 1, 1},
        {10, '4', "(555) 123-4___", 1, 1},
        {11, '5', "(555) 123-45__", 1, 1},
        {12, '6', "(555) 123-456_", 1, 1},
        {13, '7', "(555) 123-4567", 1, 1},
        {14, '8', "(555) 123-4567", 0, 0},
        {14, kDel, nullptr, 0, 0},
        {13, kDel, "(555) 123-456_", 1, 0},
        {12, kDel, "(555) 123-45__", 1, 0},
        {11, kDel, "(555) 123-4___", 1, 0},
        {10, kDel, "(555) 123-____", 1, 0},
        {9, kDel, "(555) 123-____", 1, 0},
        {8, kDel, "(555) 12_-____", 1, 0},
        {7, kDel, "(555) 1__-____", 1, 0},
        {6, kDel, "(555) ___-____", 1, 0},
        {5, kDel, "(555) ___-____", 1, 0},
        {4, kDel, "(555) ___-____", 1, 0},
        {3, kDel, "(55_) ___-____", 1, 0},
        {2, kDel, "(5__) ___-____", 1, 0},
        {1, kDel, "(___) ___-____", 1, 0},
        {0, kDel, "(___) ___-____", 1, 0}}},
      {{"letters, then digits", 'm', 's', "@@-###", "  -___"},
       {{0, 'a', "a -___", 1, 1},
        {1, 'b', "ab-___", 1, 1},
        {2, '1', "ab-1__", 2, 2},
        {4, 'x', nullptr, 0, 0},
        {4, '2', "ab-12_", 1, 1},
        {5, '3', "ab-123", 1, 1},
        {6, '4', "ab-123", 0, 0},
        {1, kDel, "a -123", 1, 0},
        {1, '7', nullptr, 0, 0},
        {1, 'c', "ac-123", 1, 1}}},
      {{"one character", 'h', 'h', nullptr, "a"},
       {{0, 'x', "x", 0, 1}, {0, kDel, " ", 0, 0}, {0, '7', "7", 0, 1}}},
  };
}

TEST(KeystrokeSessionTest, TruthValuesTextMasksAndCharactersUnderDefaultSettings) {
  ScopedSettings settings;
  ReplayAll(SettingsFreeSessions());
}

TEST(KeystrokeSessionTest, TruthValuesTextMasksAndCharactersUnderDottedSettings) {
  ScopedSettings settings(DottedStrings(), DottedInts());
  ReplayAll(SettingsFreeSessions());
}

// The sessions start from the text the edit window holds for an empty or zero value
// and, typed to the end, arrive at the edit form of the value the user meant: the
// rules and the formatter agree on the layout.
template <class T>
std::string EditForm(const T& value, char type, char storage, const char* mask) {
  char output[64] = {};
  FormatData(&value, type, storage, mask, output, sizeof output, nullptr, true);
  return output;
}

std::string MaskedEditForm(const char* text, const char* mask) {
  char output[64] = {};
  FormatData(text, 'm', 's', mask, output, sizeof output, nullptr, true);
  return output;
}

struct Words {
  std::uint16_t a, b, c;
};

TEST(KeystrokeSessionTest, SessionsRunBetweenEditFormsOfValues) {
  {
    ScopedSettings settings;
    EXPECT_EQ(EditForm(std::int32_t{0}, 'd', 'l', "m/d/yyyy"), " / /    ");
    EXPECT_EQ(EditForm(std::int32_t{20241225}, 'd', 'l', "m/d/yyyy"), "12/25/2024");
    EXPECT_EQ(EditForm(Words{0, 0, 0}, 't', 't', "hh:mm:ss"), "12:00:00 am");
    EXPECT_EQ(EditForm(Words{19, 50, 15}, 't', 't', "hh:mm:ss"), "7:50:15 pm");
    EXPECT_EQ(EditForm(0.0, 'n', 'd', "#,##0.00"), "0.00");
    EXPECT_EQ(EditForm(5234.96, 'n', 'd', "#,##0.00"), "5234.96");
    EXPECT_EQ(EditForm(-1234.5, 'c', 'd', "#,##0.00;(#,##0.00)"), "-1234.50");
    EXPECT_EQ(EditForm(0.0, 'z', 'd', "0.00"), "0.00");
    EXPECT_EQ(EditForm(-1234.56, 'z', 'd', "0.00"), "-1234.56");
    EXPECT_EQ(EditForm(std::int16_t{0}, 'b', 's', nullptr), "FALSE");
    EXPECT_EQ(MaskedEditForm("", "(###) ###-####"), "(___) ___-____");
    EXPECT_EQ(MaskedEditForm("5551234567", "(###) ###-####"), "(555) 123-4567");
  }
  ScopedSettings settings(DottedStrings(), DottedInts());
  EXPECT_EQ(EditForm(std::int32_t{0}, 'd', 'l', "mm/dd/yyyy"), " . .    ");
  EXPECT_EQ(EditForm(std::int32_t{20241225}, 'd', 'l', "mm/dd/yyyy"), "25.12.2024");
  EXPECT_EQ(EditForm(Words{0, 0, 0}, 't', 't', "hh:mm:ss"), "00:00:00");
  EXPECT_EQ(EditForm(Words{9, 37, 45}, 't', 't', "hh:mm:ss"), "09:37:45");
  EXPECT_EQ(EditForm(0.0, 'c', 'd', "#,##0.00"), "0,00");
  EXPECT_EQ(EditForm(-31.5, 'c', 'd', "#,##0.00"), "-31,50");
  EXPECT_EQ(EditForm(-9.51, 'z', 'd', "0.00"), "-9,51");
}

}  // namespace
}  // namespace quillet
