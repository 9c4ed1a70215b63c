#include "quillet/format/intl_settings.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace quillet {
namespace {

constexpr char kDefaultShortDate[] = "m/d/yyyy";

IntlSettings g_settings{};

// Separators are read through a 2-byte buffer, so only the first character counts.
// An empty value would put NUL separators into formatted text; keep the default.
char ReadSeparator(const IntlSource& source, const char* key, char fallback) {
  const char defaultValue[2] = {fallback, '\0'};
  const std::string value = source.ProfileString(key, defaultValue, 2);
  return value[0] == '\0' ? fallback : value[0];
}

template <std::size_t N>
void CopyCut(const std::string& text, char (&out)[N]) {
  const std::size_t length = std::min(std::strlen(text.c_str()), N - 1);
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

}  // namespace

const IntlSettings& Intl() { return g_settings; }

void NormaliseShortDate(const char* pattern, char dateSeparator, char (&out)[kIntlPatternSize]) {
  std::size_t used = 0;
  // Writes a whole token or nothing, so a cut never leaves half a year field.
  auto put = [&](const char* token, std::size_t length) {
    if (used + length > kIntlPatternSize - 1) return false;
    std::memcpy(out + used, token, length);
    used += length;
    return true;
  };

  const char* p = pattern != nullptr ? pattern : "";
  while (*p != '\0') {
    char c = ToLowerChar(*p++);
    if (c == 'y') {
      while (ToLowerChar(*p) == 'y') ++p;
      if (!put("yyyy", 4)) break;
      continue;
    }
    if (c == dateSeparator) {
      c = '/';
    } else if (c == 'm' || c == 'd') {
      while (ToLowerChar(*p) == c) ++p;
    }
    if (!put(&c, 1)) break;
  }
  out[used] = '\0';
}

void BuildTimePattern(int leadingZero, int clock24, char (&out)[kIntlPatternSize]) {
  std::strcpy(out, leadingZero != 0 ? "hh:mm:ss" : "h:mm:ss");
  if (clock24 == 0) std::strcat(out, " ap");
}

IntlSettings ReadIntlSettings(const IntlSource& source) {
  IntlSettings settings{};
  for (int i = 0; i < 7; ++i) CopyCut(source.DayName(i), settings.dayNames[i]);
  for (int i = 0; i < 12; ++i) CopyCut(source.MonthName(i), settings.monthNames[i]);

  settings.thousandsSeparator = ReadSeparator(source, "sThousand", ',');
  settings.decimalSeparator = ReadSeparator(source, "sDecimal", '.');
  settings.dateSeparator = ReadSeparator(source, "sDate", '/');

  char shortDate[kIntlPatternSize];
  CopyCut(source.ProfileString("sShortDate", kDefaultShortDate, kIntlPatternSize), shortDate);
  // An empty pattern would leave dates without any field; keep the default layout.
  if (shortDate[0] == '\0') std::strcpy(shortDate, kDefaultShortDate);
  NormaliseShortDate(shortDate, settings.dateSeparator, settings.shortDatePattern);

  settings.timeSeparator = ReadSeparator(source, "sTime", ':');

  const int leadingZero = source.ProfileInt("iTLZero", 0);
  const int clock24 = source.ProfileInt("iTime", 0);
  BuildTimePattern(leadingZero, clock24, settings.timePattern);
  return settings;
}

void LoadIntlSettingsFrom(const IntlSource& source) { g_settings = ReadIntlSettings(source); }

void LoadIntlSettings() { LoadIntlSettingsFrom(SystemIntlSource()); }

}  // namespace quillet
