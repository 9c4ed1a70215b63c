// The seam on Windows: the "Intl" section of the user's profile, the user-default
// locale, the run-time's character classes and the system beep.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

#include "quillet/format/platform.h"

namespace quillet {
namespace {

constexpr LCTYPE kDayNameTypes[7] = {
    LOCALE_SDAYNAME7,  // Sunday comes first here but last in the locale's list
    LOCALE_SDAYNAME1, LOCALE_SDAYNAME2, LOCALE_SDAYNAME3,
    LOCALE_SDAYNAME4, LOCALE_SDAYNAME5, LOCALE_SDAYNAME6,
};
constexpr LCTYPE kMonthNameTypes[12] = {
    LOCALE_SMONTHNAME1, LOCALE_SMONTHNAME2,  LOCALE_SMONTHNAME3,  LOCALE_SMONTHNAME4,
    LOCALE_SMONTHNAME5, LOCALE_SMONTHNAME6,  LOCALE_SMONTHNAME7,  LOCALE_SMONTHNAME8,
    LOCALE_SMONTHNAME9, LOCALE_SMONTHNAME10, LOCALE_SMONTHNAME11, LOCALE_SMONTHNAME12,
};

// Asks for the length first; a failing call leaves the zero-filled block empty.
std::string LocaleString(LCTYPE type) {
  const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
  if (length <= 0) return std::string();
  std::vector<char> block(static_cast<std::size_t>(length) + 1, '\0');
  GetLocaleInfoA(LOCALE_USER_DEFAULT, type, block.data(), length);
  return std::string(block.data());
}

class UserProfileSource final : public IntlSource {
 public:
  std::string ProfileString(const char* key, const char* defaultValue,
                            unsigned bufferSize) const override {
    if (bufferSize == 0) return std::string();
    std::vector<char> buffer(bufferSize, '\0');
    GetProfileStringA("Intl", key, defaultValue != nullptr ? defaultValue : "", buffer.data(),
                      bufferSize);
    buffer.back() = '\0';
    return std::string(buffer.data());
  }
  int ProfileInt(const char* key, int defaultValue) const override {
    return static_cast<int>(GetProfileIntA("Intl", key, defaultValue));
  }
  std::string DayName(int index) const override {
    return index >= 0 && index < 7 ? LocaleString(kDayNameTypes[index]) : std::string();
  }
  std::string MonthName(int index) const override {
    return index >= 0 && index < 12 ? LocaleString(kMonthNameTypes[index]) : std::string();
  }
};

}  // namespace

const IntlSource& SystemIntlSource() {
  static const UserProfileSource source;
  return source;
}

bool IsAlphaChar(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsDigitChar(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
char ToLowerChar(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool IsAnsiLetter(char c) { return IsCharAlphaA(c) != FALSE; }
bool IsAnsiLetterOrDigit(char c) { return IsCharAlphaNumericA(c) != FALSE; }

void BeepRefusal() { MessageBeep(0); }

}  // namespace quillet
