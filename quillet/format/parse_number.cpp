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

// Width and range of the integer storage codes; width 0 for everything else.
struct IntegerStorage {
  int width;
  double lowest, highest;
};

IntegerStorage IntegerStorageOf(char storageCode) {
  switch (storageCode) {
    case 'b':
      return {1, 0, 255};
    case 'h':
      return {1, -128, 127};
    case 's':
      return {2, -32768, 32767};
    case 'w':
      return {2, 0, 65535};
    case 'i':
    case 'l':
      return {4, -2147483648.0, 2147483647.0};
    case 'u':
    case 'W':
      return {4, 0, 4294967295.0};
    default:
      return {0, 0, 0};
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
  const IntegerStorage storage = IntegerStorageOf(storageCode);
  if (storage.width == 0) return false;
  // A number the field cannot hold is refused rather than stored as something
  // else (its low bits, or 0); the written form also refuses NaN.
  const double whole = std::trunc(number);
  if (!(whole >= storage.lowest && whole <= storage.highest)) return false;
  StoreBits(destination, static_cast<std::uint64_t>(static_cast<std::int64_t>(whole)),
            storage.width);
  return true;
}

}  // namespace quillet
