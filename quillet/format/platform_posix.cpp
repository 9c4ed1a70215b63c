// The seam for native builds, where there is no user profile: every profile key is
// absent, the names are the C locale's and the character classes are ASCII.
#include <string>

#include "quillet/format/platform.h"

namespace quillet {
namespace {

constexpr const char* kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
constexpr const char* kMonthNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};

class EmptyProfileSource final : public IntlSource {
 public:
  std::string ProfileString(const char* /*key*/, const char* defaultValue,
                            unsigned bufferSize) const override {
    if (defaultValue == nullptr || bufferSize == 0) return std::string();
    std::string value(defaultValue);
    if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
    return value;
  }
  int ProfileInt(const char* /*key*/, int defaultValue) const override { return defaultValue; }
  std::string DayName(int index) const override {
    return index >= 0 && index < 7 ? kDayNames[index] : "";
  }
  std::string MonthName(int index) const override {
    return index >= 0 && index < 12 ? kMonthNames[index] : "";
  }
};

}  // namespace

const IntlSource& SystemIntlSource() {
  static const EmptyProfileSource source;
  return source;
}

// Fixed to the "C" locale so that results never depend on the process's setlocale.
bool IsAlphaChar(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }
char ToLowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The letters of Windows code page 1252, the ANSI code page of the machines the
// native build stands in for.
bool IsAnsiLetter(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (IsAlphaChar(c)) return true;
  switch (u) {
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA:
      return true;
    default:
      return u >= 0xC0 && u != 0xD7 && u != 0xF7;
  }
}
bool IsAnsiLetterOrDigit(char c) { return IsAnsiLetter(c) || IsDigitChar(c); }

void BeepRefusal() {}

}  // namespace quillet
