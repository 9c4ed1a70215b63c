// Colour groups come from host-supplied masks of any length and content.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "quillet/format/mask_colors.h"

using quillet::ColorRef;

namespace {

constexpr ColorRef kUntouched = 0xDEADBEEF;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<char> mask(data, data + size);
  mask.push_back('\0');
  const std::size_t inputLength = std::strlen(mask.data());

  ColorRef single = kUntouched;
  if (quillet::ParseColorSpec(mask.data(), &single))
    Check(single <= 0xFFFFFF);
  else
    Check(single == kUntouched);

  std::vector<char> withoutNegative = mask;
  ColorRef positive = kUntouched;
  ColorRef negative = kUntouched;
  const int result = quillet::ExtractMaskColors(&positive, &negative, mask.data());
  Check(result >= 0 && result <= 3);
  Check(std::strlen(mask.data()) <= inputLength);
  // Every '[' opens a group, escaped or not, so none is left behind.
  Check(std::strchr(mask.data(), '[') == nullptr);
  if ((result & 1) != 0) Check(positive <= 0xFFFFFF);
  Check(((result & 2) != 0) == (negative != kUntouched));

  // Once the groups are gone, a second pass changes nothing.
  std::vector<char> again(mask.begin(), mask.begin() + std::strlen(mask.data()) + 1);
  ColorRef unused = kUntouched;
  Check(quillet::ExtractMaskColors(&unused, nullptr, again.data()) == 0);
  Check(std::strcmp(again.data(), mask.data()) == 0 || std::strstr(mask.data(), "\\;") != nullptr);

  // Without a negative colour the mask comes out the same and bit 2 is never set.
  positive = kUntouched;
  const int positiveOnly = quillet::ExtractMaskColors(&positive, nullptr, withoutNegative.data());
  Check(positiveOnly == (result & 1));
  Check(std::strcmp(withoutNegative.data(), mask.data()) == 0);
  return 0;
}
