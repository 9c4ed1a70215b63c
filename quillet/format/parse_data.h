// Reading text back into stored values: the inverse of FormatData for the same type
// code, storage code and mask. Dates and times are read field by field in the layout
// of the international settings and then checked and corrected; numbers are read
// leniently; truth values are matched against the mask's true word.
#pragma once

#include "quillet/format/date_time_parts.h"

namespace quillet {

// Result of ParseData.
inline constexpr int kParseStored = 0;
inline constexpr int kParseInvalid = 1;

// Reads text into destination in the layout of typeCode/storageCode. Returns
// kParseStored when the value was stored or there was nothing to do (null
// destination or text), kParseInvalid for an unknown type code, a date or time field
// out of range (the corrected value is stored all the same) or a value that could not
// be stored. noValidate skips the checks and corrections of dates and times.
//
// For types 'm' and 's' destination must hold strlen(text) + 1 bytes.
int ParseData(void* destination, char typeCode, char storageCode, const char* mask,
              const char* text, bool noValidate);

// Reads the date and time fields of text against the effective mask that
// BuildDateTimeMask makes of mask. Fields are taken by position, not by value:
// separators in the text are skipped without being compared, and names of months
// and days read as 0. Years are kept as typed. A null text gives a cleared record.
DateTimeParts ParseDateTimeText(const char* text, const char* mask, bool hasDate, bool hasTime);

// True when every checked field of parts is in range. With correct, two-digit years
// are expanded by the epoch, years above 2200 are folded (year / 100 + 1900), a
// month above 12 becomes 12 and a day above the month's length becomes that length;
// a month or day of 0 stays 0 (and a month of 0 clears the day). Null parts: false.
bool ValidateDate(DateTimeParts* parts, bool correct, bool checkYear, bool checkMonth,
                  bool checkDay);

// True when every checked field of parts is in range: the hour 0-23 (1-12 with
// twelveHour), minute and second 0-59. With correct, fields out of range are moved to
// the nearest end of their range. Null parts: false.
bool ValidateTime(DateTimeParts* parts, bool correct, bool twelveHour, bool checkHour,
                  bool checkMinute, bool checkSecond);

// True when text begins like the mask's true word (the mask up to its first ';',
// "TRUE;FALSE" when the mask is null or empty), compared case-sensitively over the
// shorter of the two lengths; so the empty text is true. A mask without ';' makes
// every text true. A null text is false.
bool ParseBoolean(const char* mask, const char* text);

// Reads a number from text, keeping only digits, '-' and the decimal separator of
// the settings, and reading what remains as far as it forms a number. Thousands
// separators, currency signs, blanks and parentheses are thus ignored; text that
// holds no number (or null) gives 0. Independent of the C run-time's locale.
double ParseNumberText(const char* text);

// Stores number in the layout of a numeric storage code: 'd' double, 'f' float,
// otherwise truncated toward zero to the integer of the code ('b' 0..255, 'h'
// -128..127, 's' and 'w' 16 bits signed and unsigned, 'i'/'l' and 'u'/'W' 32 bits).
// Returns false, storing nothing, for a number the integer cannot hold (or not a
// number), any other code or a null destination.
bool StoreNumber(void* destination, char storageCode, double number);

}  // namespace quillet
