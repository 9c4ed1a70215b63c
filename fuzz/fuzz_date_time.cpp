// Dates and times: the effective mask, reading text field by field, the range checks
// and corrections, and the conversions between stored layouts and DateTimeParts.
//
// Input layout:
//   byte 0    flags: 1 date, 2 time, 4 settings block follows, 8 two-digit-year
//             epoch on, 16 correct, 32 null mask, 64 null text, 128 a time zone with
//             daylight saving (otherwise UTC)
//   byte 1    checks: 1 year, 2 month, 4 day, 8 hour, 16 minute, 32 second,
//             64 twelve-hour clock
//   byte 2    storage code for the conversions (any byte)
//   byte 3    epoch pivot year
//   36 bytes  a stored value (its first 10 bytes are also read as a record)
//   settings block (see fuzz_support.h), when flag 4 is set
//   text\0    mask
//   text      text to read, up to the next NUL
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "quillet/format/date_time.h"
#include "quillet/format/date_time_mask.h"
#include "quillet/format/intl_settings.h"
#include "quillet/format/parse_data.h"

using fuzzsupport::Check;
using fuzzsupport::ExactText;
using fuzzsupport::GuardedArea;
using fuzzsupport::Reader;
using fuzzsupport::ScopedIntl;
using quillet::DateTimeParts;

namespace {

constexpr std::size_t kValueBytes = 36;
constexpr char kUtc[] = "UTC0";
constexpr char kDaylightZone[] = "EST5EDT,M3.2.0,M11.1.0";

struct LayoutSize {
  char code;
  std::size_t size;
};
constexpr LayoutSize kLayouts[] = {{'A', 2}, {'a', 6}, {'d', 6},  {'l', 4}, {'I', 2},
                                   {'i', 4}, {'t', 6}, {'D', 10}, {'Q', 8}, {'q', 4},
                                   {'u', 8}, {'T', 4}, {'m', 36}, {'s', 16}};

// 0 for a code that is no date/time layout.
std::size_t LayoutSizeOf(char code) {
  for (const LayoutSize& layout : kLayouts) {
    if (layout.code == code) return layout.size;
  }
  return 0;
}

bool SameParts(const DateTimeParts& a, const DateTimeParts& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second && a.reserved == b.reserved &&
         a.milliseconds == b.milliseconds;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && !IsLeapYear(year)) return 28;
  return kDays[month - 1];
}

bool IsCalendarDate(const DateTimeParts& p) {
  return p.month >= 1 && p.month <= 12 && p.day >= 1 && p.day <= DaysInMonth(p.year, p.month);
}

struct Settings {
  bool epochOn = false;
  int pivot = 0;
  bool utc = true;
};

void UseTimeZone(bool utc) {
  static bool current = true;
  static bool set = false;
  if (set && current == utc) return;
  setenv("TZ", utc ? kUtc : kDaylightZone, 1);
  tzset();
  current = utc;
  set = true;
}

// --- the effective mask -------------------------------------------------------------

void CheckMask(const char* mask, bool hasDate, bool hasTime) {
  const char* built = quillet::BuildDateTimeMask(mask, hasDate, hasTime);
  Check(built != nullptr);
  const std::size_t length = strnlen(built, quillet::kDateTimeMaskSize);
  Check(length < quillet::kDateTimeMaskSize);
  const std::string result(built, length);
  Check(quillet::BuildDateTimeMask(mask, hasDate, hasTime) == std::string_view(result));

  const quillet::IntlSettings& intl = quillet::Intl();
  const std::string date = intl.shortDatePattern;
  const std::string time = intl.timePattern;
  if (mask == nullptr || *mask == '\0') {
    std::string expected = hasDate ? date : std::string();
    if (hasTime) expected += (expected.empty() ? "" : " ") + time;
    Check(result == expected);
    return;
  }
  // The caller's mask only picks fields: every character comes from the settings.
  std::string allowed;
  if (hasDate) allowed += date;
  if (hasTime) allowed += time;
  if (hasDate && hasTime) allowed += ' ';
  for (const char c : result) Check(allowed.find(c) != std::string::npos);
}

// --- reading text --------------------------------------------------------------------

void CheckParsedText(const char* text, const char* mask, bool hasDate, bool hasTime,
                     bool defaultSettings) {
  const DateTimeParts parts = quillet::ParseDateTimeText(text, mask, hasDate, hasTime);
  Check(parts.reserved == 0 && parts.milliseconds == 0);
  if (text == nullptr) Check(SameParts(parts, DateTimeParts{}));
  if (!defaultSettings) return;
  // Under the default layouts the date pattern holds no time letters and the time
  // pattern no date letters ("mm" without an hour still reads as a month).
  if (!hasDate) Check(parts.year == 0 && parts.day == 0);
  if (!hasTime) Check(parts.hour == 0 && parts.minute == 0 && parts.second == 0);
}

// --- range checks --------------------------------------------------------------------

struct Checks {
  bool year, month, day, hour, minute, second, twelveHour, correct;
};

bool DateIsValid(const DateTimeParts& p, const Checks& checks) {
  if (checks.month && (p.month < 1 || p.month > 12)) return false;
  if (checks.day && p.month != 0) {
    if (p.month > 12) return false;
    if (p.day < 1 || p.day > DaysInMonth(p.year, p.month)) return false;
  }
  return true;
}

int CorrectedYear(int year, const Settings& settings) {
  if (year >= 0 && year <= 99 && settings.epochOn)
    year = year < settings.pivot ? year + 2000 : year + 1900;
  if (year > 2200) year = year / 100 + 1900;
  return year;
}

void CheckValidateDate(const DateTimeParts& original, const Checks& checks,
                       const Settings& settings) {
  DateTimeParts parts = original;
  const bool valid =
      quillet::ValidateDate(&parts, checks.correct, checks.year, checks.month, checks.day);
  Check(SameParts(DateTimeParts{parts.year, parts.month, parts.day, original.hour, original.minute,
                                original.second, original.reserved, original.milliseconds},
                  parts));

  DateTimeParts expected = original;
  if (checks.correct && checks.year)
    expected.year = static_cast<std::int16_t>(CorrectedYear(original.year, settings));
  Check(parts.year == expected.year);
  // Validity is judged after the year has been corrected.
  Check(valid == DateIsValid(expected, checks));

  if (checks.correct && checks.month && expected.month > 12) expected.month = 12;
  if (checks.day) {
    if (expected.month == 0) {
      expected.day = 0;
    } else if (checks.correct && expected.month <= 12) {
      const int limit = DaysInMonth(expected.year, expected.month);
      if (expected.day > limit) expected.day = static_cast<std::uint8_t>(limit);
    }
  }
  Check(parts.month == expected.month && parts.day == expected.day);
  Check(!quillet::ValidateDate(nullptr, checks.correct, checks.year, checks.month, checks.day));
}

std::uint8_t Clamped(std::uint8_t value, int low, int high) {
  if (value < low) return static_cast<std::uint8_t>(low);
  if (value > high) return static_cast<std::uint8_t>(high);
  return value;
}

void CheckValidateTime(const DateTimeParts& original, const Checks& checks) {
  DateTimeParts parts = original;
  const bool valid = quillet::ValidateTime(&parts, checks.correct, checks.twelveHour, checks.hour,
                                           checks.minute, checks.second);
  const int hourLow = checks.twelveHour ? 1 : 0;
  const int hourHigh = checks.twelveHour ? 12 : 23;
  const bool hourOk = original.hour >= hourLow && original.hour <= hourHigh;
  Check(valid == ((!checks.hour || hourOk) && (!checks.minute || original.minute <= 59) &&
                  (!checks.second || original.second <= 59)));

  DateTimeParts expected = original;
  if (checks.correct) {
    if (checks.hour) expected.hour = Clamped(original.hour, hourLow, hourHigh);
    if (checks.minute) expected.minute = Clamped(original.minute, 0, 59);
    if (checks.second) expected.second = Clamped(original.second, 0, 59);
  }
  Check(SameParts(parts, expected));
  Check(!quillet::ValidateTime(nullptr, checks.correct, checks.twelveHour, checks.hour,
                               checks.minute, checks.second));
}

// --- stored layouts ------------------------------------------------------------------

// Writes parts under code into an area of the layout's size. Returns whether the
// conversion succeeded; a refused value leaves the area as it was.
bool Write(const DateTimeParts& parts, char code, GuardedArea& area) {
  const bool ok = quillet::DateTimePartsToValue(&parts, area.data(), code);
  Check(area.GuardsIntact());
  if (!ok) Check(area.Untouched());
  return ok;
}

bool Read(const void* value, char code, DateTimeParts* parts) {
  const bool ok = quillet::ValueToDateTimeParts(parts, value, code);
  if (!ok) Check(SameParts(*parts, DateTimeParts{}));
  Check(parts->reserved == 0);
  return ok;
}

// A record read from a stored value, written back and read again, is the same
// record: exactly for the layouts that hold every field they read, and without the
// milliseconds for those that count whole seconds. Local times hold as long as the
// time zone gives them one meaning.
void CheckReadWriteRead(const DateTimeParts& first, char code, const Settings& settings) {
  const std::size_t size = LayoutSizeOf(code);
  GuardedArea stored(size);
  const bool written = Write(first, code, stored);
  DateTimeParts expected = first;
  switch (code) {
    case 'A':
    case 'a':
    case 'd':
    case 'l':
    case 'I':
    case 'i':
    case 't':
    case 'D':
    case 's':
    case 'q':
      Check(written);
      break;
    case 'Q':
    case 'u':
      Check(written);
      expected.milliseconds = 0;
      break;
    case 'T':
      if (!written) return;
      break;
    case 'm':
      // mktime normalises fields out of range, and a wall-clock time that a
      // daylight-saving change skips.
      if (!written || !settings.utc || !IsCalendarDate(first) || first.hour > 23 ||
          first.minute > 59)
        return;
      break;
    default:
      Check(!written);
      return;
  }
  // Exactly the layout's bytes, so that a read past them is reported.
  std::unique_ptr<unsigned char[]> exact(new unsigned char[size]);
  std::memcpy(exact.get(), stored.data(), size);
  DateTimeParts second;
  Check(Read(exact.get(), code, &second));
  Check(SameParts(second, expected));
}

// A record of any fields written under a layout that copies fields comes back with
// the fields the layout holds.
void CheckWriteRead(const DateTimeParts& parts, char code) {
  const std::size_t size = LayoutSizeOf(code);
  if (size == 0) {
    GuardedArea area(kValueBytes);
    Check(!Write(parts, code, area));
    return;
  }
  GuardedArea stored(size);
  const bool written = Write(parts, code, stored);
  DateTimeParts back;
  const bool read = written && Read(stored.data(), code, &back);
  auto date = [](const DateTimeParts& p) { return DateTimeParts{p.year, p.month, p.day}; };
  auto time = [](const DateTimeParts& p) {
    DateTimeParts t;
    t.hour = p.hour;
    t.minute = p.minute;
    t.second = p.second;
    return t;
  };
  switch (code) {
    case 'D': {
      DateTimeParts expected = parts;
      expected.reserved = 0;
      Check(read && SameParts(back, expected));
      break;
    }
    case 's': {
      DateTimeParts expected = parts;
      expected.reserved = 0;
      Check(read && SameParts(back, expected));
      break;
    }
    case 'a':
    case 'd':
      Check(read && SameParts(back, date(parts)));
      break;
    case 'l':
      // Two digits each: a month or day above 99 would carry into the next field,
      // so such a record is refused.
      if (parts.month <= 99 && parts.day <= 99) {
        Check(written && read && SameParts(back, date(parts)));
      } else {
        Check(!written);
      }
      break;
    case 't':
      Check(read && SameParts(back, time(parts)));
      break;
    case 'i': {
      Check(written == (parts.milliseconds / 10 <= 0xFF));
      if (!written) break;
      DateTimeParts expected = time(parts);
      expected.milliseconds = static_cast<std::uint16_t>(parts.milliseconds / 10 * 10);
      Check(read && SameParts(back, expected));
      break;
    }
    case 'I': {
      Check(written == (parts.hour <= 31 && parts.minute <= 63 && parts.second <= 63));
      if (!written) break;
      DateTimeParts expected = time(parts);
      expected.second = static_cast<std::uint8_t>(parts.second / 2 * 2);
      Check(read && SameParts(back, expected));
      break;
    }
    case 'A': {
      const bool dated = parts.month != 0 && parts.day != 0;
      Check(written == (parts.month <= 15 && parts.day <= 31 &&
                        (!dated || (parts.year >= 1980 && parts.year <= 2107))));
      if (!written) break;
      Check(read && back.month == parts.month && back.day == parts.day);
      if (dated) Check(back.year == parts.year);
      break;
    }
    default:
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  quillet::LoadIntlSettings();
  UseTimeZone(true);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t flags = in.Byte();
  const std::uint8_t checkBits = in.Byte();
  const char code = static_cast<char>(in.Byte());
  Settings settings;
  settings.epochOn = (flags & 8) != 0;
  settings.pivot = in.Byte();
  settings.utc = (flags & 128) == 0;
  const std::vector<std::uint8_t> value = in.Bytes(kValueBytes);
  const bool customIntl = (flags & 4) != 0;
  ScopedIntl intl(customIntl, in);
  const ExactText maskText(in.Text());
  const ExactText textCopy(in.Text());
  const char* mask = (flags & 32) != 0 ? nullptr : maskText.get();
  const char* text = (flags & 64) != 0 ? nullptr : textCopy.get();
  const bool hasDate = (flags & 1) != 0;
  const bool hasTime = (flags & 2) != 0;
  const Checks checks{(checkBits & 1) != 0,  (checkBits & 2) != 0,  (checkBits & 4) != 0,
                      (checkBits & 8) != 0,  (checkBits & 16) != 0, (checkBits & 32) != 0,
                      (checkBits & 64) != 0, (flags & 16) != 0};
  quillet::SetEpoch(settings.epochOn ? 1 : 0, settings.pivot);
  UseTimeZone(settings.utc);

  CheckMask(mask, hasDate, hasTime);
  CheckParsedText(text, mask, hasDate, hasTime, !customIntl);

  DateTimeParts raw;
  std::memcpy(&raw, value.data(), sizeof raw);
  const DateTimeParts parsed = quillet::ParseDateTimeText(text, mask, hasDate, hasTime);
  for (const DateTimeParts& parts : {raw, parsed}) {
    CheckValidateDate(parts, checks, settings);
    CheckValidateTime(parts, checks);
    CheckWriteRead(parts, code);
  }

  // Stored bytes of any kind, in a block of exactly the layout's size.
  const std::size_t layout = LayoutSizeOf(code);
  const std::size_t valueSize = layout != 0 ? layout : kValueBytes;
  std::unique_ptr<unsigned char[]> stored(new unsigned char[valueSize]);
  std::memcpy(stored.get(), value.data(), valueSize);
  DateTimeParts first;
  if (Read(stored.get(), code, &first)) {
    Check(layout != 0);
    CheckReadWriteRead(first, code, settings);
  }
  Check(!quillet::ValueToDateTimeParts(nullptr, stored.get(), code));
  Check(!quillet::DateTimePartsToValue(&first, nullptr, code));

  quillet::SetEpoch(0, 0);
  return 0;
}
