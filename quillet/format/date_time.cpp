#include "quillet/format/date_time.h"

#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>

namespace quillet {
namespace {

int g_epochEnabled = 0;
int g_epochPivotYear = 0;

// Storing T and m runs through one process-wide struct tm, like the rest of the
// engine's scratch state; conversions are for the window thread only.
std::tm g_scratchTm{};

constexpr std::int32_t kFirstGregorianDayNumber = 2299161;  // 15 October 1582
constexpr double kDayInMilliseconds = 86400000.0;

// Stored values may sit at any address, so every field goes through memcpy.
template <typename T>
T Load(const void* base, std::size_t offset) {
  T v;
  std::memcpy(&v, static_cast<const unsigned char*>(base) + offset, sizeof v);
  return v;
}

template <typename T>
void Store(void* base, std::size_t offset, T v) {
  std::memcpy(static_cast<unsigned char*>(base) + offset, &v, sizeof v);
}

// Floors rather than truncations: the two agree for every day number from -1401 up,
// and below that truncation turns months and days negative.
std::int64_t Floor(double x) { return static_cast<std::int64_t>(std::floor(x)); }
std::int64_t Trunc(double x) { return static_cast<std::int64_t>(std::trunc(x)); }

bool FitsYear(std::int64_t year) {
  return year >= std::numeric_limits<std::int16_t>::min() &&
         year <= std::numeric_limits<std::int16_t>::max();
}

bool FitsByte(std::int64_t v) { return v >= 0 && v <= 0xFF; }

void SplitMilliseconds(std::uint32_t t, DateTimeParts& parts) {
  parts.hour = static_cast<std::uint8_t>(t / 3600000);
  parts.minute = static_cast<std::uint8_t>(t % 3600000 / 60000);
  parts.second = static_cast<std::uint8_t>(t % 60000 / 1000);
  parts.milliseconds = static_cast<std::uint16_t>(t % 1000);
}

// Whole seconds only: the layouts that count milliseconds of the day drop the field.
std::uint32_t WholeSecondsOfDay(const DateTimeParts& parts) {
  DateTimeParts whole = parts;
  whole.milliseconds = 0;
  return MillisecondsOfDay(whole);
}

std::int32_t DayNumberOf(const DateTimeParts& parts) {
  return DayNumberFromDate(parts.year, parts.month, parts.day);
}

// Fields that do not fit the record would wrap into plausible but wrong dates.
bool PartsFromTm(const StoredTm& tm, DateTimeParts& parts) {
  const std::int64_t year = std::int64_t{tm.tm_year} + 1900;
  const std::int64_t month = std::int64_t{tm.tm_mon} + 1;
  if (!FitsYear(year) || !FitsByte(month) || !FitsByte(tm.tm_mday) || !FitsByte(tm.tm_hour) ||
      !FitsByte(tm.tm_min) || tm.tm_sec < 0) {
    return false;
  }
  parts.year = static_cast<std::int16_t>(year);
  parts.month = static_cast<std::uint8_t>(month);
  parts.day = static_cast<std::uint8_t>(tm.tm_mday);
  parts.hour = static_cast<std::uint8_t>(tm.tm_hour);
  parts.minute = static_cast<std::uint8_t>(tm.tm_min);
  parts.second = static_cast<std::uint8_t>(tm.tm_sec % 60);
  return true;
}

StoredTm ToStoredTm(const std::tm& tm) {
  StoredTm stored;
  stored.tm_sec = tm.tm_sec;
  stored.tm_min = tm.tm_min;
  stored.tm_hour = tm.tm_hour;
  stored.tm_mday = tm.tm_mday;
  stored.tm_mon = tm.tm_mon;
  stored.tm_year = tm.tm_year;
  stored.tm_wday = tm.tm_wday;
  stored.tm_yday = tm.tm_yday;
  stored.tm_isdst = tm.tm_isdst;
  return stored;
}

// Normalises the record's local date and time through mktime. The year is always set
// (a kept-over year would store another date than asked for) and the daylight flag is
// left to mktime, so that the stored value reads back to the same wall-clock time.
bool MakeLocalTime(const DateTimeParts& parts, std::time_t& result) {
  std::tm& tm = g_scratchTm;
  tm.tm_year = parts.year - 1900;
  tm.tm_mon = parts.month - 1;
  tm.tm_mday = parts.day;
  tm.tm_hour = parts.hour;
  tm.tm_min = parts.minute;
  tm.tm_sec = parts.second;
  tm.tm_isdst = -1;
  result = std::mktime(&tm);
  return result != static_cast<std::time_t>(-1);
}

bool ReadValue(const unsigned char* v, char storageCode, DateTimeParts& p) {
  switch (storageCode) {
    case 'A': {
      const auto w = Load<std::uint16_t>(v, 0);
      p.year = static_cast<std::int16_t>((w & 0x7F) + 1980);
      p.month = static_cast<std::uint8_t>((w >> 7) & 0x0F);
      p.day = static_cast<std::uint8_t>(w >> 11);
      return true;
    }
    case 'a':
      p.day = v[0];
      p.month = v[1];
      p.year = Load<std::int16_t>(v, 2);
      return true;
    case 'd':
      p.year = Load<std::int16_t>(v, 0);
      p.month = v[2];
      p.day = v[4];
      return true;
    case 'l': {
      // Floor division, so that the negative numbers written for BC years read back.
      const std::int64_t x = Load<std::int32_t>(v, 0);
      std::int64_t year = x / 10000;
      std::int64_t rest = x % 10000;
      if (rest < 0) {
        rest += 10000;
        --year;
      }
      if (!FitsYear(year)) return false;
      p.year = static_cast<std::int16_t>(year);
      p.month = static_cast<std::uint8_t>(rest / 100);
      p.day = static_cast<std::uint8_t>(rest % 100);
      return true;
    }
    case 'I': {
      const auto w = Load<std::uint16_t>(v, 0);
      p.hour = static_cast<std::uint8_t>(w & 0x1F);
      p.minute = static_cast<std::uint8_t>((w >> 5) & 0x3F);
      p.second = static_cast<std::uint8_t>((w >> 11) * 2);
      return true;
    }
    case 'i':
      p.hour = v[0];
      p.minute = v[1];
      p.second = v[2];
      p.milliseconds = static_cast<std::uint16_t>(v[3] * 10);
      return true;
    case 't':
      p.hour = v[0];
      p.minute = v[2];
      p.second = v[4];
      return true;
    case 'D':
      std::memcpy(&p, v, sizeof p);
      p.reserved = 0;
      return true;
    case 'Q': {
      const std::int64_t dayNumber = std::int64_t{Load<std::int32_t>(v, 0)} + kDayNumber1900;
      const auto t = Load<std::uint32_t>(v, 4);
      if (dayNumber > std::numeric_limits<std::int32_t>::max() || t >= kMillisecondsPerDay) {
        return false;
      }
      SplitMilliseconds(t, p);
      return DateFromDayNumber(static_cast<std::int32_t>(dayNumber), &p);
    }
    case 'q': {
      const auto minutes = Load<std::uint16_t>(v, 2);
      if (minutes >= 24 * 60) return false;
      SplitMilliseconds(minutes * 60000u, p);
      return DateFromDayNumber(Load<std::uint16_t>(v, 0) + kDayNumber1900, &p);
    }
    case 'u': {
      // As OLE dates count: the whole part is the day, and the fraction is the
      // time of day counted away from zero, so that before the zero day -1.75 is
      // 29 December 1899, 18:00, never a negative time.
      const auto x = Load<double>(v, 0);
      if (!std::isfinite(x)) return false;
      const double whole = std::trunc(x);
      if (whole < -3e9 || whole > 3e9) return false;
      std::int64_t dayNumber = static_cast<std::int64_t>(whole) + kDayNumberOleZero;
      std::int64_t t = Trunc(0.5 + std::fabs(x - whole) * kDayInMilliseconds);
      if (t >= kMillisecondsPerDay) {  // rounded up to the next midnight
        t -= kMillisecondsPerDay;
        ++dayNumber;
      }
      if (dayNumber < std::numeric_limits<std::int32_t>::min() ||
          dayNumber > std::numeric_limits<std::int32_t>::max()) {
        return false;
      }
      SplitMilliseconds(static_cast<std::uint32_t>(t), p);
      return DateFromDayNumber(static_cast<std::int32_t>(dayNumber), &p);
    }
    case 'T': {
      const std::time_t t = Load<std::int32_t>(v, 0);
      const std::tm* local = std::localtime(&t);
      return local != nullptr && PartsFromTm(ToStoredTm(*local), p);
    }
    case 'm':
      return PartsFromTm(Load<StoredTm>(v, 0), p);
    case 's':
      p.year = Load<std::int16_t>(v, 0);
      p.month = v[2];
      p.day = v[4];
      p.hour = v[6];
      p.minute = v[8];
      p.second = v[10];
      p.milliseconds = static_cast<std::uint16_t>(Load<std::uint32_t>(v, 12));
      return true;
    default:
      return false;
  }
}

// Returns the bytes written, 0 when the value cannot be stored.
std::size_t WriteValue(const DateTimeParts& p, unsigned char* v, char storageCode) {
  switch (storageCode) {
    case 'A': {
      // Seven bits of year, four of month, five of day: anything wider would spill
      // into the neighbouring field or wrap to another year.
      const bool dated = p.month != 0 && p.day != 0;
      if (p.month > 15 || p.day > 31 || (dated && (p.year < 1980 || p.year > 2107))) return 0;
      const unsigned years = static_cast<unsigned>(p.year - 1980) & 0x7Fu;
      Store(v, 0, static_cast<std::uint16_t>(years | p.month << 7 | p.day << 11));
      return 2;
    }
    case 'a':  // bytes 4-5 travel with the value but carry nothing
      v[0] = p.day;
      v[1] = p.month;
      Store<std::int16_t>(v, 2, p.year);
      return 4;
    case 'd':
      Store<std::int16_t>(v, 0, p.year);
      Store<std::uint16_t>(v, 2, p.month);
      Store<std::uint16_t>(v, 4, p.day);
      return 6;
    case 'l':
      // Two decimal digits each: a larger month or day would spill into the
      // neighbouring field and read back as another date.
      if (p.month > 99 || p.day > 99) return 0;
      Store<std::int32_t>(v, 0, (p.year * 100 + p.month) * 100 + p.day);
      return 4;
    case 'I':
      if (p.hour > 31 || p.minute > 63 || p.second > 63) return 0;
      Store(v, 0, static_cast<std::uint16_t>(p.hour | p.minute << 5 | (p.second / 2) << 11));
      return 2;
    case 'i':
      if (p.milliseconds / 10 > 0xFF) return 0;
      v[0] = p.hour;
      v[1] = p.minute;
      v[2] = p.second;
      v[3] = static_cast<unsigned char>(p.milliseconds / 10);
      return 4;
    case 't':
      Store<std::uint16_t>(v, 0, p.hour);
      Store<std::uint16_t>(v, 2, p.minute);
      Store<std::uint16_t>(v, 4, p.second);
      return 6;
    case 'D': {
      DateTimeParts copy = p;
      copy.reserved = 0;
      std::memcpy(v, &copy, sizeof copy);
      return sizeof copy;
    }
    case 'Q':
      Store<std::int32_t>(v, 0, DayNumberOf(p) - kDayNumber1900);
      Store<std::uint32_t>(v, 4, WholeSecondsOfDay(p));
      return 8;
    case 'q': {
      // Sixteen bits of days end on 6 June 2079; later dates would wrap to 1900.
      const std::int64_t days = std::int64_t{DayNumberOf(p)} - kDayNumber1900;
      if (days < 0 || days > 0xFFFF) return 0;
      Store(v, 0, static_cast<std::uint16_t>(days));
      Store(v, 2, static_cast<std::uint16_t>(p.hour * 60 + p.minute));
      return 4;
    }
    case 'u': {
      // The time of day counts away from zero, as the reader expects.
      const double days = static_cast<double>(DayNumberOf(p) - kDayNumberOleZero);
      const double time = WholeSecondsOfDay(p) / kDayInMilliseconds;
      Store(v, 0, days < 0 ? days - time : days + time);
      return 8;
    }
    case 'T': {
      // The stored time_t is 32 bits wide whatever the run-time's is; times outside
      // it (2038 onwards) would wrap into the past.
      std::time_t t;
      if (!MakeLocalTime(p, t) || t < std::numeric_limits<std::int32_t>::min() ||
          t > std::numeric_limits<std::int32_t>::max()) {
        return 0;
      }
      Store(v, 0, static_cast<std::int32_t>(t));
      return 4;
    }
    case 'm': {
      std::time_t t;
      if (!MakeLocalTime(p, t)) return 0;
      Store(v, 0, ToStoredTm(g_scratchTm));
      return sizeof(StoredTm);
    }
    case 's':
      Store<std::int16_t>(v, 0, p.year);
      Store<std::uint16_t>(v, 2, p.month);
      Store<std::uint16_t>(v, 4, p.day);
      Store<std::uint16_t>(v, 6, p.hour);
      Store<std::uint16_t>(v, 8, p.minute);
      Store<std::uint16_t>(v, 10, p.second);
      Store<std::uint32_t>(v, 12, p.milliseconds);
      return 16;
    default:
      return 0;
  }
}

}  // namespace

void SetEpoch(int enabled, int pivotYear) {
  g_epochEnabled = enabled;
  g_epochPivotYear = pivotYear;
}

int ExpandTwoDigitYear(int year) {
  // Only 0..99 are two-digit years; a negative year is a BC year, not a short one.
  if (g_epochEnabled == 0 || year < 0 || year >= 100) return year;
  return year < g_epochPivotYear ? year + 2000 : year + 1900;
}

std::int32_t DayNumberFromDate(int year, int month, int day) {
  std::int64_t fullYear = year;
  if (fullYear == 0) {
    fullYear = 1992;
  } else if (fullYear < 0) {
    ++fullYear;  // no year 0 between 1 BC and AD 1
  }
  std::int64_t y = fullYear;
  std::int64_t m = std::int64_t{month} + 1;
  if (month <= 2) {
    y = fullYear - 1;
    m = std::int64_t{month} + 13;
  }
  double n = std::floor(365.25 * static_cast<double>(y)) +
             std::floor(30.6001 * static_cast<double>(m)) + day + 1720995.0;
  n = std::trunc(n);
  if (day + 31 * (month + 12 * fullYear) >= 588829) {
    const double a = std::trunc(0.01 * static_cast<double>(y));
    n += 2 - a + std::trunc(0.25 * a);
  }
  if (n <= std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  if (n >= std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(n);
}

bool DateFromDayNumber(std::int32_t dayNumber, DateTimeParts* parts) {
  if (parts == nullptr) return false;
  const std::int64_t n = dayNumber;
  std::int64_t a = n;
  if (n >= kFirstGregorianDayNumber) {
    // A true division: the quotient is a whole number exactly on 1 March of the
    // century years, and multiplying by the rounded reciprocal of 36524.25 lands just
    // below it for some of them (6700, 13100, 25500, 25900), which then gain a
    // 29 February and lose 1 March.
    const std::int64_t alpha = Floor((static_cast<double>(n - 1867216) - 0.25) / 36524.25);
    a = n + 1 + alpha - Floor(0.25 * static_cast<double>(alpha));
  }
  const std::int64_t b = a + 1524;
  const std::int64_t c =
      Floor(6680 + (static_cast<double>(b - 2439870) - 122.1) * 0.0027378507871321013);
  const std::int64_t d = 365 * c + Floor(0.25 * static_cast<double>(c));
  const std::int64_t e = Floor(static_cast<double>(b - d) * 0.03267963176590926);

  const std::int64_t day = b - d - Floor(30.6001 * static_cast<double>(e));
  std::int64_t month = e - 1;
  if (month > 12) month -= 12;
  std::int64_t year = c - 4715;
  if (month > 2) --year;
  if (year <= 0) --year;

  if (!FitsYear(year)) return false;
  parts->year = static_cast<std::int16_t>(year);
  parts->month = static_cast<std::uint8_t>(month);
  parts->day = static_cast<std::uint8_t>(day);
  return true;
}

std::uint32_t MillisecondsOfDay(const DateTimeParts& parts) {
  return ((parts.hour * 60u + parts.minute) * 60u + parts.second) * 1000u + parts.milliseconds;
}

bool ValueToDateTimeParts(DateTimeParts* parts, const void* value, char storageCode) {
  if (parts == nullptr) return false;
  *parts = DateTimeParts{};
  if (value == nullptr) return false;
  DateTimeParts read{};
  if (!ReadValue(static_cast<const unsigned char*>(value), storageCode, read)) return false;
  *parts = read;
  return true;
}

bool DateTimePartsToValue(const DateTimeParts* parts, void* destination, char storageCode) {
  if (parts == nullptr || destination == nullptr) return false;
  // Layouts are built aside so that a refused value leaves the destination as it was.
  unsigned char buffer[sizeof(StoredTm)] = {};
  const std::size_t size = WriteValue(*parts, buffer, storageCode);
  if (size == 0) return false;
  std::memcpy(destination, buffer, size);
  return true;
}

}  // namespace quillet
