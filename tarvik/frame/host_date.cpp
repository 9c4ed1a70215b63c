#include "tarvik/frame/host_date.h"

#include <limits>

namespace tarvik {
namespace {

constexpr std::uint32_t kDayMask = 0x00FFFFFF;

std::int32_t TruncateToInt32(double value) {
  // A plain cast of such a value is undefined behaviour; x86 truncation yields
  // the "integer indefinite" value, which we keep so that every input maps to a
  // defined day.
  if (!(value > -2147483649.0 && value < 2147483648.0))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace

HostDate HostDateFromOleDate(double oleDate) {
  // Unsigned arithmetic: the sum may leave the signed range, and only its low 24
  // bits matter.
  const std::uint32_t day = static_cast<std::uint32_t>(TruncateToInt32(oleDate)) +
                            static_cast<std::uint32_t>(kHostDayOfOleDateZero);
  return day & kDayMask;
}

double OleDateFromHostDate(HostDate hostDate) {
  return static_cast<double>(hostDate & kDayMask) - static_cast<double>(kHostDayOfOleDateZero);
}

}  // namespace tarvik
