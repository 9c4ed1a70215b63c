// Fixed records that the engine exchanges byte for byte with its callers, so their
// layouts are part of the interface and are pinned down at compile time.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <ctime>
#endif

namespace quillet {

// The broken-down date and time through which every date/time conversion passes.
// Stored values of storage code 'D' are exactly these 10 bytes. A zero day or month
// means "no date".
struct DateTimeParts {
  std::int16_t year = 0;
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  std::uint8_t second = 0;
  std::uint8_t reserved = 0;  // always 0 in records this engine fills
  std::uint16_t milliseconds = 0;
};

static_assert(sizeof(DateTimeParts) == 10, "DateTimeParts is a 10-byte record");
static_assert(offsetof(DateTimeParts, year) == 0, "year at byte 0");
static_assert(offsetof(DateTimeParts, month) == 2, "month at byte 2");
static_assert(offsetof(DateTimeParts, day) == 3, "day at byte 3");
static_assert(offsetof(DateTimeParts, hour) == 4, "hour at byte 4");
static_assert(offsetof(DateTimeParts, minute) == 5, "minute at byte 5");
static_assert(offsetof(DateTimeParts, second) == 6, "second at byte 6");
static_assert(offsetof(DateTimeParts, reserved) == 7, "reserved at byte 7");
static_assert(offsetof(DateTimeParts, milliseconds) == 8, "milliseconds at bytes 8-9");

// The 36-byte layout of storage code 'm': the Windows run-time's struct tm. Other
// platforms' struct tm is larger (time-zone fields), so values are stored through
// this record rather than through the native struct. Field names follow struct tm
// so that conversions read field for field.
struct StoredTm {
  std::int32_t tm_sec = 0;
  std::int32_t tm_min = 0;
  std::int32_t tm_hour = 0;
  std::int32_t tm_mday = 0;
  std::int32_t tm_mon = 0;   // 0-11
  std::int32_t tm_year = 0;  // years since 1900
  std::int32_t tm_wday = 0;
  std::int32_t tm_yday = 0;
  std::int32_t tm_isdst = 0;
};

static_assert(sizeof(StoredTm) == 36, "StoredTm is nine 32-bit fields");
static_assert(offsetof(StoredTm, tm_sec) == 0, "struct tm order");
static_assert(offsetof(StoredTm, tm_min) == 4, "struct tm order");
static_assert(offsetof(StoredTm, tm_hour) == 8, "struct tm order");
static_assert(offsetof(StoredTm, tm_mday) == 12, "struct tm order");
static_assert(offsetof(StoredTm, tm_mon) == 16, "struct tm order");
static_assert(offsetof(StoredTm, tm_year) == 20, "struct tm order");
static_assert(offsetof(StoredTm, tm_wday) == 24, "struct tm order");
static_assert(offsetof(StoredTm, tm_yday) == 28, "struct tm order");
static_assert(offsetof(StoredTm, tm_isdst) == 32, "struct tm order");

#ifdef _WIN32
// On Windows the record must be the run-time's own struct tm, byte for byte.
static_assert(sizeof(std::tm) == 36, "the Windows struct tm is nine ints");
static_assert(offsetof(std::tm, tm_isdst) == offsetof(StoredTm, tm_isdst),
              "StoredTm mirrors struct tm");
#endif

}  // namespace quillet
