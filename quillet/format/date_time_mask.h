// The effective date/time mask: which fields a caller's mask asks for, laid out in the
// order and with the separators of the international settings.
#pragma once

#include <cstddef>

namespace quillet {

// Room for the effective mask; the longest result (short date pattern, a blank, time
// pattern) needs a quarter of it.
inline constexpr std::size_t kDateTimeMaskSize = 128;
// How much of a caller's mask is looked at.
inline constexpr std::size_t kDateTimeMaskExamined = 239;

// Returns the effective mask for a field showing the date (hasDate) and/or the time
// (hasTime). An empty or null mask gives the full short date and time patterns; any
// other mask only selects fields: d, m and y for the date, h, "mm" and "ss" for the
// time, letters case-blind. Dropped fields take an adjoining separator with them.
// The text lives in a process-wide buffer that the next call overwrites.
const char* BuildDateTimeMask(const char* mask, bool hasDate, bool hasTime);

}  // namespace quillet
