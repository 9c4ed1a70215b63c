#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

#include "quillet/format/intl_settings.h"
#include "quillet/format/parse_data.h"

namespace quillet {
namespace {

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// from_chars leaves the value alone when the number does not fit a double; atof
// gives infinity for a number too large and zero for one too small. Which one it is
// shows in the integer digits: only a huge number has a nonzero digit before the
// point.
double OutOfRange(const std::string& number) {
  const bool negative = number[0] == '-';
  for (std::size_t i = negative ? 1 : 0; i < number.size() && number[i] != '.'; ++i) {
    if (number[i] == '-') break;
    if (number[i] != '0') {
      return negative ? -HUGE_VAL : HUGE_VAL;
    }
  }
  return negative ? -0.0 : 0.0;
}

void StoreBits(void* destination, std::uint64_t bits, int bytes) {
  switch (bytes) {
    case 1: {
      const auto value = static_cast<std::uint8_t>(bits);
      std::memcpy(destination, &value, sizeof value);
      break;
    }
    case 2: {
      const auto value = static_cast<std::uint16_t>(bits);
      std::memcpy(destination, &value, sizeof value);
      break;
    }
    default: {
      const auto value = static_cast<std::uint32_t>(bits);
      std::memcpy(destination, &value, sizeof value);
      break;
    }
  }
}

// Width of the integer storage codes; 0 for everything else.
int IntegerWidth(char storageCode) {
  switch (storageCode) {
    case 'b':
    case 'h':
      return 1;
    case 's':
    case 'w':
      return 2;
    case 'i':
    case 'l':
    case 'u':
    case 'W':
      return 4;
    default:
      return 0;
  }
}

// Rounds as the FPU does when narrowing: beyond the largest float by half a unit in
// the last place (2^103) the result is infinity. A plain cast of such a double is
// undefined behaviour.
float NarrowToFloat(double number) {
  constexpr double kHalfUlpAboveMax = static_cast<double>(FLT_MAX) + 0x1p103;
  if (number >= kHalfUlpAboveMax) return std::numeric_limits<float>::infinity();
  if (number <= -kHalfUlpAboveMax) return -std::numeric_limits<float>::infinity();
  if (number > FLT_MAX) return FLT_MAX;
  if (number < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(number);
}

}  // namespace

double ParseNumberText(const char* text) {
  if (text == nullptr) return 0.0;
  const char decimalSeparator = Intl().decimalSeparator;
  std::string kept;
  kept.reserve(std::strlen(text));
  for (const char* p = text; *p != '\0'; ++p) {
    if (IsAsciiDigit(*p) || *p == '-') {
      kept.push_back(*p);
    } else if (*p == decimalSeparator) {
      kept.push_back('.');
    }
  }
  if (kept.empty()) return 0.0;

  // from_chars rather than atof: the host may have switched the C run-time to a
  // locale whose decimal point is not '.'.
  double number = 0.0;
  const std::from_chars_result read =
      std::from_chars(kept.data(), kept.data() + kept.size(), number, std::chars_format::fixed);
  if (read.ec == std::errc::result_out_of_range) return OutOfRange(kept);
  if (read.ec != std::errc()) return 0.0;
  return number;
}

bool StoreNumber(void* destination, char storageCode, double number) {
  if (destination == nullptr) return false;
  if (storageCode == 'd') {
    std::memcpy(destination, &number, sizeof number);
    return true;
  }
  if (storageCode == 'f') {
    const float value = NarrowToFloat(number);
    std::memcpy(destination, &value, sizeof value);
    return true;
  }
  const int width = IntegerWidth(storageCode);
  if (width == 0) return false;
  // Written so that a NaN also fails the range test and stores 0.
  if (!(number >= -2147483648.0 && number <= 4294967295.0)) number = 0.0;
  const auto whole = static_cast<std::int64_t>(number);
  StoreBits(destination, static_cast<std::uint64_t>(whole), width);
  return true;
}

}  // namespace quillet
