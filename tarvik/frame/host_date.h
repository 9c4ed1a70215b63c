// The host's date: a day number in the low three bytes of a 32-bit word, without
// a time of day. Day 693974 is OLE date 0.0 (30 December 1899).
#pragma once

#include <cstdint>

namespace tarvik {

using HostDate = std::uint32_t;

inline constexpr std::int32_t kHostDayOfOleDateZero = 693974;

// Drops the time of day (also for dates before 1899, whose fraction counts away
// from zero); the top byte of the result is 0. A value that is not a number or
// lies beyond the 32-bit day range gives what the processor's truncation gives
// for it (the most negative 32-bit integer), so the result is always defined.
HostDate HostDateFromOleDate(double oleDate);

// Ignores the top byte of the word; the result is a whole day.
double OleDateFromHostDate(HostDate hostDate);

}  // namespace tarvik
