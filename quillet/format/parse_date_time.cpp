#include <cstdint>

#include "quillet/format/date_time.h"
#include "quillet/format/date_time_mask.h"
#include "quillet/format/parse_data.h"

namespace quillet {
namespace {

bool IsFieldLetter(char c) { return c == 'd' || c == 'm' || c == 'y' || c == 'h' || c == 's'; }

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads [begin, end) as atoi reads a string: blanks, an optional sign, digits, no
// digits giving 0. The value saturates instead of overflowing; callers clamp it to
// their field anyway.
long ReadFieldNumber(const char* begin, const char* end) {
  constexpr long kSaturation = 1000000;
  const char* p = begin;
  while (p != end && IsBlank(*p)) ++p;
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  long value = 0;
  for (; p != end && IsAsciiDigit(*p); ++p) {
    if (value < kSaturation) value = value * 10 + (*p - '0');
  }
  return negative ? -value : value;
}

// A field too wide for its record member is held at the member's limit rather than
// wrapped, so that "300" minutes is corrected to 59 instead of reading as 44.
std::uint8_t ClampToByte(long value) {
  if (value < 0) return 0;
  if (value > 255) return 255;
  return static_cast<std::uint8_t>(value);
}

std::int16_t ClampToYear(long value) {
  if (value < INT16_MIN) return INT16_MIN;
  if (value > INT16_MAX) return INT16_MAX;
  return static_cast<std::int16_t>(value);
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && !IsLeapYear(year)) return 28;
  return kDays[month - 1];
}

// Checks a field against [low, high], moving it to the nearer end when told to.
bool CheckRange(std::uint8_t* field, int low, int high, bool correct) {
  if (*field >= low && *field <= high) return true;
  if (correct) *field = static_cast<std::uint8_t>(*field < low ? low : high);
  return false;
}

}  // namespace

DateTimeParts ParseDateTimeText(const char* text, const char* mask, bool hasDate, bool hasTime) {
  DateTimeParts parts;
  if (text == nullptr) return parts;
  const char* m = BuildDateTimeMask(mask, hasDate, hasTime);
  if (m == nullptr) return parts;
  const char* t = text;
  bool hourSeen = false;

  while (*m != '\0' && *t != '\0') {
    const char letter = *m;
    if (IsFieldLetter(letter)) {
      // A field takes up to one character per letter of its run, but stops at the
      // first character that cannot continue its number, so that "7:35" read as
      // "hh:mm" keeps its minutes and a two-digit year leaves the hour after it.
      // Its first character is always its own, as a stray one was before.
      const char* start = t;
      int run = 0;
      for (; *m == letter; ++m) ++run;
      for (bool digits = false, sign = false; run > 0 && *t != '\0'; --run, ++t) {
        if (IsAsciiDigit(*t)) {
          digits = true;
        } else if (t != start && (digits || sign || !(IsBlank(*t) || *t == '+' || *t == '-'))) {
          break;
        } else {
          sign = *t == '+' || *t == '-';
        }
      }
      // A one-letter field such as "d" still reads a two-digit day, as long as no
      // other field follows directly.
      if (!IsFieldLetter(*m) && IsAsciiDigit(*t)) ++t;
      const long value = ReadFieldNumber(start, t);
      switch (letter) {
        case 'd':
          parts.day = ClampToByte(value);
          break;
        case 'y':
          parts.year = ClampToYear(value);
          break;
        case 'h':
          parts.hour = ClampToByte(value);
          hourSeen = true;
          break;
        case 'm':
          // A field without a date has no month: "mm:ss" is minutes and seconds.
          (hourSeen || !hasDate ? parts.minute : parts.month) = ClampToByte(value);
          break;
        default:
          parts.second = ClampToByte(value);
          break;
      }
    } else {
      if (letter == 'a') {
        if (*t == 'a' || *t == 'A') {
          if (parts.hour == 12) parts.hour = 0;
        } else if (parts.hour < 12) {
          parts.hour = static_cast<std::uint8_t>(parts.hour + 12);
        }
      }
      ++m;
      ++t;
    }
  }
  return parts;
}

bool ValidateDate(DateTimeParts* parts, bool correct, bool checkYear, bool checkMonth,
                  bool checkDay) {
  if (parts == nullptr) return false;
  bool valid = true;
  if (correct && checkYear) {
    int year = parts->year;
    if (year >= 0 && year <= 99) year = ExpandTwoDigitYear(year);
    if (year > 2200) year = year / 100 + 1900;
    parts->year = ClampToYear(year);
  }
  if (checkMonth && (parts->month < 1 || parts->month > 12)) {
    valid = false;
    if (correct && parts->month > 12) parts->month = 12;
  }
  if (checkDay) {
    if (parts->month == 0) {
      parts->day = 0;
    } else if (parts->month > 12) {
      // Only reachable uncorrected; there is no length to hold the day against.
      valid = false;
    } else {
      const int limit = DaysInMonth(parts->year, parts->month);
      if (parts->day < 1 || parts->day > limit) {
        valid = false;
        if (correct && parts->day > limit) parts->day = static_cast<std::uint8_t>(limit);
      }
    }
  }
  return valid;
}

bool ValidateTime(DateTimeParts* parts, bool correct, bool twelveHour, bool checkHour,
                  bool checkMinute, bool checkSecond) {
  if (parts == nullptr) return false;
  bool valid = true;
  if (checkHour)
    valid &= CheckRange(&parts->hour, twelveHour ? 1 : 0, twelveHour ? 12 : 23, correct);
  if (checkMinute) valid &= CheckRange(&parts->minute, 0, 59, correct);
  if (checkSecond) valid &= CheckRange(&parts->second, 0, 59, correct);
  return valid;
}

}  // namespace quillet
