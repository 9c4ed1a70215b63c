// Stored values of any type and storage code, with masks and output sizes as the host
// and the edit window pass them.
//
// Input layout:
//   byte 0    type code (any byte)
//   byte 1    storage code (any byte)
//   byte 2    flags: 1 edit form, 2 settings block follows the value, 4 null mask,
//             8 null isFalse, 16 output size + 45
//   byte 3    output size (0-255; with flag 16, 45-300)
//   byte 4    value length L (taken modulo 65), then L value bytes
//   settings block (see fuzz_support.h), when flag 2 is set
//   the rest  mask, up to the first NUL
//
// A value of a valid pair is handed over in a heap block of exactly its size, text
// types as an exact NUL-terminated copy, anything else in a 64-byte block, so that a
// read beyond the layout is reported.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "quillet/format/field_types.h"
#include "quillet/format/format_data.h"
#include "quillet/format/number_format.h"
#include "quillet/format/parse_data.h"

using fuzzsupport::Check;
using fuzzsupport::ExactText;
using fuzzsupport::GuardedArea;
using fuzzsupport::Reader;
using fuzzsupport::ScopedIntl;

namespace {

constexpr int kUntouchedFlag = 7;
constexpr std::size_t kLooseValueSize = 64;

struct Value {
  std::unique_ptr<unsigned char[]> bytes;
  std::size_t size = 0;
};

Value MakeValue(char typeCode, char storageCode, const std::vector<std::uint8_t>& input) {
  Value value;
  const bool text = typeCode == 'm' || typeCode == 's';
  const int layout = quillet::ValueSize(typeCode, storageCode);
  if (text) {
    const auto nul = std::find(input.begin(), input.end(), 0);
    value.size = static_cast<std::size_t>(nul - input.begin()) + 1;
  } else if (layout > 0 && quillet::IsValidTypePair(typeCode, storageCode)) {
    value.size = static_cast<std::size_t>(layout);
  } else {
    value.size = kLooseValueSize;
  }
  value.bytes.reset(new unsigned char[value.size]());
  std::copy_n(input.begin(), std::min(input.size(), value.size), value.bytes.get());
  if (text || value.size == kLooseValueSize) value.bytes[value.size - 1] = 0;
  return value;
}

struct Outcome {
  int result = 0;
  int isFalse = kUntouchedFlag;
};

Outcome Run(const Value& value, char typeCode, char storageCode, const char* mask,
            GuardedArea& output, int outputSize, bool passIsFalse, bool editForm) {
  Outcome outcome;
  outcome.result =
      quillet::FormatData(value.bytes.get(), typeCode, storageCode, mask, output.data(), outputSize,
                          passIsFalse ? &outcome.isFalse : nullptr, editForm);
  return outcome;
}

bool AllHashes(const char* text, long length) {
  for (long i = 0; i < length; ++i) {
    if (text[i] != '#') return false;
  }
  return true;
}

// The edit form of a plain digit mask reads back as the number, rounded to the
// mask's fraction digits. Masks with literals, sections or colours are left out:
// their edit form need not be a number.
void CheckEditFormReadsBack(double number, const char* mask, const char* text) {
  if (!std::isfinite(number) || mask == nullptr || *mask == '\0') return;
  if (std::strspn(mask, "#0,.") != std::strlen(mask)) return;
  const char* point = std::strchr(mask, '.');
  int fractionDigits = 0;
  if (point != nullptr) {
    if (std::strchr(point + 1, '.') != nullptr) return;
    fractionDigits = static_cast<int>(
        std::strspn(point + 1, "#0") == std::strlen(point + 1) ? std::strlen(point + 1) : 0);
    fractionDigits = std::min(fractionDigits, quillet::kUnlimitedDigits - 1);
  }
  // Very large and very small numbers take the scientific form, which is cut to the
  // room like any text rather than refused.
  const double magnitude = std::fabs(number);
  if (magnitude >= 1e18 || (magnitude != 0 && magnitude < 1e-13)) return;
  const double back = quillet::ParseNumberText(text);
  const double tolerance =
      0.5 * std::pow(10.0, -fractionDigits) * (1 + 1e-9) + std::fabs(number) * 1e-15;
  Check(std::fabs(back - number) <= tolerance);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  quillet::LoadIntlSettings();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const char typeCode = static_cast<char>(in.Byte());
  const char storageCode = static_cast<char>(in.Byte());
  const std::uint8_t flags = in.Byte();
  const bool editForm = (flags & 1) != 0;
  const bool nullMask = (flags & 4) != 0;
  const bool passIsFalse = (flags & 8) == 0;
  const int outputSize = in.Byte() + ((flags & 16) != 0 ? 45 : 0);
  const std::vector<std::uint8_t> valueBytes = in.Bytes(in.Byte() % 65);
  ScopedIntl intl((flags & 2) != 0, in);
  const ExactText maskText(in.Text());
  const char* mask = nullMask ? nullptr : maskText.get();

  const Value value = MakeValue(typeCode, storageCode, valueBytes);
  GuardedArea output(static_cast<std::size_t>(outputSize));
  const Outcome outcome =
      Run(value, typeCode, storageCode, mask, output, outputSize, passIsFalse, editForm);
  const int result = outcome.result;
  Check(output.GuardsIntact());

  // The same call gives the same answer, byte for byte.
  GuardedArea again(static_cast<std::size_t>(outputSize));
  const Outcome repeated =
      Run(value, typeCode, storageCode, mask, again, outputSize, passIsFalse, editForm);
  Check(repeated.result == result && repeated.isFalse == outcome.isFalse);
  Check(std::memcmp(again.data(), output.data(), output.size()) == 0);

  if (outputSize < 2 || !quillet::IsKnownTypeCode(typeCode)) {
    Check(result == 0);
    Check(output.Untouched());
    Check(outcome.isFalse == kUntouchedFlag);
    return 0;
  }

  Check(result >= 0 && result <= outputSize - 1);
  if (passIsFalse) {
    Check(outcome.isFalse == 0 || outcome.isFalse == 1);
    if (typeCode != 'b') Check(outcome.isFalse == 0);
  }

  const char* text = output.data();
  const long length = output.TerminatedLength();
  switch (typeCode) {
    case 'a':
    case 'k':
    case 'd':
    case 't':
      // A value that cannot be converted leaves the output alone.
      if (output.Untouched()) {
        Check(result == 0);
      } else {
        Check(length == result);
      }
      break;
    case 'c':
    case 'n':
    case 'z':
      if (storageCode == 'M') {
        Check(result == 0 && output.Untouched());
      } else {
        Check(length >= 0);
        // A number that does not fit fills the whole room with '#'.
        Check(length == result ||
              (result == 0 && length == outputSize - 1 && AllHashes(text, length)));
        if (editForm && (flags & 2) == 0 && length == result)
          CheckEditFormReadsBack(quillet::LoadNumber(value.bytes.get(), storageCode), mask, text);
      }
      break;
    case 'h':
      Check(result == 1);
      Check(text[0] == static_cast<char>(value.bytes[0]) && text[1] == '\0');
      break;
    case 's': {
      Check(length == result);
      const char* source = reinterpret_cast<const char*>(value.bytes.get());
      const long expected = std::min<long>(static_cast<long>(std::strlen(source)), outputSize - 1);
      Check(length == expected && std::memcmp(text, source, static_cast<std::size_t>(length)) == 0);
      break;
    }
    case 'b': {
      Check(length == result);
      if (!passIsFalse) break;
      // The word shown is the one the reported truth value selects.
      const char* words = mask != nullptr && *mask != '\0' ? mask : "TRUE;FALSE";
      const char* separator = std::strchr(words, ';');
      std::string word = words;
      if (separator != nullptr) {
        word = outcome.isFalse != 0
                   ? std::string(separator + 1)
                   : std::string(words, static_cast<std::size_t>(separator - words));
      }
      word.resize(std::min<std::size_t>(word.size(), static_cast<std::size_t>(outputSize - 1)));
      Check(word == text);
      break;
    }
    default:  // 'm'
      Check(length == result);
      break;
  }
  return 0;
}
