#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "quillet/format/date_time.h"
#include "quillet/format/date_time_mask.h"
#include "quillet/format/format_data.h"
#include "quillet/format/intl_settings.h"

namespace quillet {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// A date/time mask read once into what it prints: fields, separators and
// literals. Forms and grids format many values with one mask, so the last mask
// read is kept.
struct Token {
  enum Kind : std::uint8_t {
    kLiteral,
    kDateSeparator,
    kTimeSeparator,
    kAmPm,
    kDay,
    kDayName,
    kMonth,
    kMonthName,
    kMinute,
    kHour,
    kSecond,
    kMilliseconds,
    kYearLetter,
    kYear,
  };
  Kind kind;
  std::uint8_t width;
  char first;   // the literal, or the mask's 'a' of an am/pm marker
  char second;  // the mask's 'p' of an am/pm marker
};

struct CompiledMask {
  std::string source;
  bool timeOnly = false;
  bool twelveHour = false;
  std::vector<Token> tokens;
};

bool HasAmPmMarker(const char* mask) {
  for (const char* p = mask; *p; ++p)
    if (Lower(p[0]) == 'a' && Lower(p[1]) == 'p') return true;
  return false;
}

// The widest run of a letter that still makes one field.
int FieldWidth(char letter, bool minuteContext) {
  switch (letter) {
    case 'd':
    case 'y':
      return 4;
    case 'm':
      return minuteContext ? 2 : 4;
    default:
      return 2;  // h, s, f
  }
}

Token Literal(char c) { return {Token::kLiteral, 1, c, 0}; }

Token FieldToken(char letter, int width, bool minuteContext) {
  const auto w = static_cast<std::uint8_t>(width);
  switch (letter) {
    case 'd':
      return {width <= 2 ? Token::kDay : Token::kDayName, w, 0, 0};
    case 'm':
      if (minuteContext) return width == 1 ? Literal('m') : Token{Token::kMinute, w, 0, 0};
      return {width <= 2 ? Token::kMonth : Token::kMonthName, w, 0, 0};
    case 'h':
      return {Token::kHour, w, 0, 0};
    case 's':
      return width == 1 ? Literal('s') : Token{Token::kSecond, w, 0, 0};
    case 'f':
      return width == 1 ? Literal('f') : Token{Token::kMilliseconds, w, 0, 0};
    default:
      return width == 1 ? Token{Token::kYearLetter, 1, 0, 0} : Token{Token::kYear, w, 0, 0};
  }
}

void Compile(const char* mask, bool timeOnly, CompiledMask& compiled) {
  compiled.source = mask;
  compiled.timeOnly = timeOnly;
  compiled.twelveHour = HasAmPmMarker(mask);
  compiled.tokens.clear();
  bool hourSeen = false;
  for (const char* p = mask; *p;) {
    const char c = *p;
    const char letter = Lower(c);
    if (c == '/') {
      compiled.tokens.push_back({Token::kDateSeparator, 1, 0, 0});
      ++p;
    } else if (c == ':') {
      compiled.tokens.push_back({Token::kTimeSeparator, 1, 0, 0});
      ++p;
    } else if (c == '[') {
      const char* close = std::strchr(p, ']');
      p = close ? close + 1 : p + std::strlen(p);
    } else if (c == '\\') {
      if (!p[1]) break;
      compiled.tokens.push_back(Literal(p[1]));
      p += 2;
    } else if (letter == 'a' && Lower(p[1]) == 'p') {
      compiled.tokens.push_back({Token::kAmPm, 2, c, p[1]});
      p += 2;
    } else if (letter == 'd' || letter == 'm' || letter == 'h' || letter == 's' || letter == 'f' ||
               letter == 'y') {
      // An 'm' is a minute right after an hour ("h:mm", "hhmm"), and always in a
      // field that holds no date ("mm:ss").
      const bool minuteContext =
          letter == 'm' && (timeOnly || (hourSeen && ((p > mask && Lower(p[-1]) == 'h') ||
                                                      (p - 1 > mask && Lower(p[-2]) == 'h'))));
      int run = 1;
      while (Lower(p[run]) == letter) ++run;
      const int width = std::min(run, FieldWidth(letter, minuteContext));
      compiled.tokens.push_back(FieldToken(letter, width, minuteContext));
      if (letter == 'h') hourSeen = true;
      p += width;
    } else {
      compiled.tokens.push_back(Literal(c));
      ++p;
    }
  }
}

const CompiledMask& CompiledFor(const char* mask, bool timeOnly) {
  static CompiledMask last;
  if (last.tokens.empty() || last.timeOnly != timeOnly ||
      std::strcmp(last.source.c_str(), mask) != 0)
    Compile(mask, timeOnly, last);
  return last;
}

class DateTimeWriter {
 public:
  DateTimeWriter(char* output, int outputSize) : output_(output), room_(outputSize - 1) {}

  void Put(char c) {
    if (length_ < room_) output_[length_++] = c;
  }
  void Put(const char* text, int size) {
    const int take = std::min(size, room_ - length_);
    std::memcpy(output_ + length_, text, static_cast<size_t>(take));
    length_ += take;
  }
  void Blanks(int count) {
    while (count-- > 0) Put(' ');
  }
  // Decimal digits, zero-padded to at least width ("%u", "%02u", "%04d").
  void Number(long value, int width) {
    // Days, months, times and four-digit years: two digits at a time, in place.
    if (value >= 0 && value < 10000 && width <= 4 && room_ - length_ >= 4) {
      static constexpr char kPairs[] =
          "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
          "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
          "8081828384858687888990919293949596979899";
      auto v = static_cast<unsigned>(value);
      // The common shapes, dd, mm, hh and yyyy, without counting digits.
      if (width == 2 && v < 100) {
        std::memcpy(output_ + length_, kPairs + 2 * v, 2);
        length_ += 2;
        return;
      }
      if (width == 4 && v >= 1000) {
        std::memcpy(output_ + length_, kPairs + 2 * (v / 100), 2);
        std::memcpy(output_ + length_ + 2, kPairs + 2 * (v % 100), 2);
        length_ += 4;
        return;
      }
      const int digits = v >= 1000 ? 4 : v >= 100 ? 3 : v >= 10 ? 2 : 1;
      char* out = output_ + length_ + std::max(digits, width);
      length_ = static_cast<int>(out - output_);
      for (; v >= 10; v /= 100) {
        const char* pair = kPairs + 2 * (v % 100);
        *--out = pair[1];
        *--out = pair[0];
      }
      if (v > 0 || digits == 1) *--out = static_cast<char>('0' + v);
      while (out != output_ + length_ - std::max(digits, width)) *--out = '0';
      return;
    }
    char text[24];
    char* const end = text + sizeof text;
    char* p = end;
    const bool negative = value < 0;
    unsigned long magnitude =
        negative ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
      *--p = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    // printf counts the sign in the width: "%03d" of -5 is "-05".
    while (end - p < width - (negative ? 1 : 0)) *--p = '0';
    if (negative) *--p = '-';
    Put(p, static_cast<int>(end - p));
  }
  // A whole name, or its first three characters.
  void Name(const char* name, int width) {
    const int length = static_cast<int>(std::strlen(name));
    Put(name, width == 3 ? std::min(length, 3) : length);
  }
  bool Full() const { return length_ >= room_; }
  int Finish() {
    output_[length_] = '\0';
    return length_;
  }

 private:
  char* output_;
  int room_;
  int length_ = 0;
};

void WriteToken(const Token& token, const DateTimeParts& parts, unsigned hour,
                DateTimeWriter& out) {
  const int width = token.width;
  switch (token.kind) {
    case Token::kLiteral:
      out.Put(token.first);
      break;
    case Token::kDateSeparator:
      out.Put(Intl().dateSeparator);
      break;
    case Token::kTimeSeparator:
      out.Put(Intl().timeSeparator);
      break;
    case Token::kAmPm:
      out.Put(static_cast<char>(parts.hour >= 12 ? token.first + 15 : token.first));
      out.Put(static_cast<char>(token.second - 3));
      break;
    case Token::kDay:
      if (parts.day == 0) return out.Blanks(width);
      out.Number(parts.day, width);
      break;
    case Token::kDayName:
      if (parts.day == 0) return out.Blanks(width);
      out.Name(
          Intl()
              .dayNames[((DayNumberFromDate(parts.year, parts.month, parts.day) + 1) % 7 + 7) % 7],
          width);
      break;
    case Token::kMonth:
      if (parts.month == 0) return out.Blanks(width);
      out.Number(parts.month, width);
      break;
    case Token::kMonthName:
      // A stored month beyond December has no name to show.
      if (parts.month == 0 || parts.month > 12) return out.Blanks(width);
      out.Name(Intl().monthNames[parts.month - 1], width);
      break;
    case Token::kMinute:
      out.Number(parts.minute, 2);
      break;
    case Token::kHour:
      out.Number(hour, width);
      break;
    case Token::kSecond:
      out.Number(parts.second, 2);
      break;
    case Token::kMilliseconds:
      out.Number(parts.milliseconds, 1);
      break;
    case Token::kYearLetter:
      if (parts.day == 0 || parts.month == 0) return out.Blanks(1);
      out.Put('y');
      break;
    case Token::kYear: {
      if (parts.day == 0 || parts.month == 0) return out.Blanks(width);
      const int year = parts.year;
      out.Number(width == 2 ? year % 100 : width == 3 ? year % 1000 : year, width);
      break;
    }
  }
}

}  // namespace

int FormatDateTime(const DateTimeParts& parts, const char* mask, char* output, int outputSize,
                   bool editForm, bool hasDate, bool hasTime) {
  if (!output || outputSize < 1) return 0;
  const bool emptyMask = !mask || !*mask;
  if (editForm || emptyMask) {
    // A date-time at midnight shows its date alone.
    if (hasDate && hasTime && emptyMask && parts.hour == 0 && parts.minute == 0 &&
        parts.second == 0 && parts.milliseconds == 0)
      hasTime = false;
    mask = BuildDateTimeMask(mask, hasDate, hasTime);
  }

  const CompiledMask& compiled = CompiledFor(mask, !hasDate);
  unsigned hour = parts.hour;
  if (compiled.twelveHour) {
    hour %= 12;
    if (hour == 0) hour = 12;
  }
  DateTimeWriter writer(output, outputSize);
  for (const Token& token : compiled.tokens) {
    if (writer.Full()) break;
    WriteToken(token, parts, hour, writer);
  }
  return writer.Finish();
}

}  // namespace quillet
