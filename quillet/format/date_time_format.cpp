#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "quillet/format/date_time.h"
#include "quillet/format/date_time_mask.h"
#include "quillet/format/format_data.h"
#include "quillet/format/intl_settings.h"

namespace quillet {
namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

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
    case 'h':
    case 's':
    case 'f':
      return 2;
    default:
      return 1;
  }
}

class DateTimeWriter {
 public:
  DateTimeWriter(char* output, int outputSize) : output_(output), room_(outputSize - 1) {}

  void Append(const std::string& piece) {
    const int take = std::min(static_cast<int>(piece.size()), room_ - length_);
    std::memcpy(output_ + length_, piece.data(), static_cast<size_t>(take));
    length_ += take;
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

std::string Number(const char* format, unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string SignedNumber(const char* format, int value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Name(const char* name, int width) {
  return width == 3 ? std::string(name).substr(0, 3) : std::string(name);
}

// One field of the mask: a run of `width` letters.
std::string FieldText(char letter, int width, bool minuteContext, const DateTimeParts& parts,
                      unsigned hour) {
  const std::string blanks(static_cast<size_t>(width), ' ');
  const bool noDate = parts.day == 0 || parts.month == 0;
  switch (letter) {
    case 'd':
      if (parts.day == 0) return blanks;
      if (width <= 2) return Number(width == 1 ? "%u" : "%02u", parts.day);
      {
        const int weekday =
            ((DayNumberFromDate(parts.year, parts.month, parts.day) + 1) % 7 + 7) % 7;
        return Name(Intl().dayNames[weekday], width);
      }
    case 'm':
      if (minuteContext) return width == 1 ? "m" : Number("%02u", parts.minute);
      if (parts.month == 0) return blanks;
      if (width <= 2) return Number(width == 1 ? "%u" : "%02u", parts.month);
      // A stored month beyond December has no name to show.
      if (parts.month > 12) return blanks;
      return Name(Intl().monthNames[parts.month - 1], width);
    case 'h':
      return Number(width == 1 ? "%u" : "%02u", hour);
    case 's':
      return width == 1 ? "s" : Number("%02u", parts.second);
    case 'f':
      return width == 1 ? "f" : Number("%u", parts.milliseconds);
    case 'y':
      if (noDate) return blanks;
      if (width == 1) return "y";
      if (width == 2) return SignedNumber("%02d", parts.year % 100);
      if (width == 3) return SignedNumber("%03d", parts.year % 1000);
      return SignedNumber("%04d", parts.year);
    default:
      return std::string(1, letter);
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

  unsigned hour = parts.hour;
  if (HasAmPmMarker(mask)) {
    hour %= 12;
    if (hour == 0) hour = 12;
  }

  DateTimeWriter writer(output, outputSize);
  bool hourSeen = false;
  for (const char* p = mask; *p && !writer.Full();) {
    const char c = *p;
    const char letter = Lower(c);
    if (c == '/') {
      writer.Append(std::string(1, Intl().dateSeparator));
      ++p;
    } else if (c == ':') {
      writer.Append(std::string(1, Intl().timeSeparator));
      ++p;
    } else if (c == '[') {
      const char* close = std::strchr(p, ']');
      p = close ? close + 1 : p + std::strlen(p);
    } else if (c == '\\') {
      if (!p[1]) break;
      writer.Append(std::string(1, p[1]));
      p += 2;
    } else if (letter == 'a' && Lower(p[1]) == 'p') {
      const bool afternoon = parts.hour >= 12;
      const std::string marker{static_cast<char>(afternoon ? c + 15 : c),
                               static_cast<char>(p[1] - 3)};
      writer.Append(marker);
      p += 2;
    } else if (letter == 'd' || letter == 'm' || letter == 'h' || letter == 's' || letter == 'f' ||
               letter == 'y') {
      const bool minuteContext =
          letter == 'm' && hourSeen &&
          ((p > mask && Lower(p[-1]) == 'h') || (p - 1 > mask && Lower(p[-2]) == 'h'));
      int run = 1;
      while (Lower(p[run]) == letter) ++run;
      const int width = std::min(run, FieldWidth(letter, minuteContext));
      writer.Append(FieldText(letter, width, minuteContext, parts, hour));
      if (letter == 'h') hourSeen = true;
      p += width;
    } else {
      writer.Append(std::string(1, c));
      ++p;
    }
  }
  return writer.Finish();
}

}  // namespace quillet
