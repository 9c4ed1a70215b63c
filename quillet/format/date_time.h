// Calendar arithmetic, the two-digit-year epoch and the conversions between the stored
// date/time layouts and DateTimeParts. Every date or time the engine formats, parses or
// steps passes through here.
#pragma once

#include <cstdint>

#include "quillet/format/date_time_parts.h"

namespace quillet {

// Astronomical day numbers of two reference days that stored layouts count from.
inline constexpr std::int32_t kDayNumber1900 = 2415021;     // 1 January 1900
inline constexpr std::int32_t kDayNumberOleZero = 2415019;  // 30 December 1899
inline constexpr std::uint32_t kMillisecondsPerDay = 86400000;

// The process-wide two-digit-year epoch; both values start at 0 (expansion off). Later
// parses in the whole process see the change.
void SetEpoch(int enabled, int pivotYear);

// With the epoch on, a year 0..99 becomes 20yy below the pivot and 19yy otherwise.
// Any other year, and every year while the epoch is off, comes back unchanged.
int ExpandTwoDigitYear(int year);

// Astronomical (Julian) day number of a date: Julian calendar before 15 October 1582,
// Gregorian from then on. Year 0 stands for 1992 (so that a record without a year
// still has a weekday) and negative years count BC, -1 being the year before 1.
// Results are exact for years within a few million; beyond that they saturate.
std::int32_t DayNumberFromDate(int year, int month, int day);

// Writes the calendar date of a day number into parts' year, month and day, leaving
// every other field alone. False, and nothing written, when the year falls outside the
// record's -32768..32767.
bool DateFromDayNumber(std::int32_t dayNumber, DateTimeParts* parts);

// ((hour * 60 + minute) * 60 + second) * 1000 + milliseconds.
std::uint32_t MillisecondsOfDay(const DateTimeParts& parts);

// Clears parts and fills it from a value stored under one of the fourteen date/time
// storage codes (A a d l I i t D Q q u T m s). False, with parts left cleared, for a
// null pointer, an unknown code, or a value that has no meaning as a date or time (a
// time of day of 24 hours or more, a date beyond the record's years, a T value local
// time cannot express).
bool ValueToDateTimeParts(DateTimeParts* parts, const void* value, char storageCode);

// Stores parts under a storage code. False, with the destination untouched, for a null
// pointer, an unknown code, a date the layout cannot hold without changing it (a
// packed year outside 1980-2107, a q date outside 1900-01-01..2079-06-06, a T time
// outside 32 bits), or a local time the run-time's mktime rejects.
bool DateTimePartsToValue(const DateTimeParts* parts, void* destination, char storageCode);

}  // namespace quillet
