// The process-wide international settings: separators, the short date and time
// layouts and the locale's day and month names. Filled once at library start-up and
// read without locking afterwards.
#pragma once

#include <cstddef>

#include "quillet/format/platform.h"

namespace quillet {

// Room for a pattern: 15 characters and the NUL.
inline constexpr std::size_t kIntlPatternSize = 16;
// Room for a day or month name. Windows caps locale names at 80 characters; this
// leaves space for double-byte code pages, and longer names are cut.
inline constexpr std::size_t kIntlNameSize = 256;

struct IntlSettings {
  char thousandsSeparator = ',';
  char decimalSeparator = '.';
  char dateSeparator = '/';
  char timeSeparator = ':';
  // Normalised: only 'd', 'm', "yyyy", '/' for the date separator, and literals.
  char shortDatePattern[kIntlPatternSize] = "m/d/yyyy";
  // "h:mm:ss" or "hh:mm:ss", possibly followed by " ap".
  char timePattern[kIntlPatternSize] = "h:mm:ss ap";
  char dayNames[7][kIntlNameSize] = {};     // index 0 is Sunday; empty when unknown
  char monthNames[12][kIntlNameSize] = {};  // index 0 is January; empty when unknown
};

// The settings in force. Until a load runs they hold the defaults with no names.
const IntlSettings& Intl();

// Reads a complete settings record from source without touching the global one.
IntlSettings ReadIntlSettings(const IntlSource& source);

// Replaces the settings in force with those read from source.
void LoadIntlSettingsFrom(const IntlSource& source);

// Replaces the settings in force with the machine's own (SystemIntlSource()).
void LoadIntlSettings();

// Normalises a short date pattern: lower-cased, every run of 'y' written "yyyy",
// every dateSeparator written '/', every run of 'm' or 'd' written as one letter,
// anything else kept. A result that would not fit is cut after the last whole
// field or character that does. Null pattern gives "".
void NormaliseShortDate(const char* pattern, char dateSeparator, char (&out)[kIntlPatternSize]);

// The time pattern for the profile's iTLZero (nonzero: two-digit hour) and iTime
// (zero: 12-hour clock, " ap" appended).
void BuildTimePattern(int leadingZero, int clock24, char (&out)[kIntlPatternSize]);

}  // namespace quillet
