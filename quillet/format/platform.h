// The few things the formatting engine needs from the operating system, kept
// behind one seam so that the engine also builds and is tested natively.
#pragma once

#include <string>

namespace quillet {

// Where the international settings come from: the "Intl" section of the user's
// profile and the user-default locale. The Windows build reads the real ones;
// tests supply their own.
class IntlSource {
 public:
  virtual ~IntlSource() = default;
  // As GetProfileStringA("Intl", key, defaultValue, buffer, bufferSize): at most
  // bufferSize - 1 characters of the value, or of the default when the key is absent.
  virtual std::string ProfileString(const char* key, const char* defaultValue,
                                    unsigned bufferSize) const = 0;
  // As GetProfileIntA("Intl", key, defaultValue).
  virtual int ProfileInt(const char* key, int defaultValue) const = 0;
  // Full day name, 0 = Sunday .. 6 = Saturday; empty when the locale gives none.
  virtual std::string DayName(int index) const = 0;
  // Full month name, 0 = January .. 11 = December; empty when the locale gives none.
  virtual std::string MonthName(int index) const = 0;
};

// The machine's own settings (on Windows: the profile and the user locale; on other
// systems: an empty profile and the C locale's names).
const IntlSource& SystemIntlSource();

// Character classes of the ANSI code page, as the C run-time sees them.
bool IsAlphaChar(char c);
bool IsDigitChar(char c);
char ToLowerChar(char c);

// Letters of the user's ANSI code page (IsCharAlphaA / IsCharAlphaNumericA on
// Windows): what text masks accept as a letter, accented ones included.
bool IsAnsiLetter(char c);
bool IsAnsiLetterOrDigit(char c);

// Refusal of user input (MessageBeep(0) on Windows).
void BeepRefusal();

}  // namespace quillet
