// Text typed into a field (or handed over by the host) read back into a stored value
// of any type and storage code.
//
// Input layout:
//   byte 0    type code (any byte)
//   byte 1    storage code (any byte)
//   byte 2    flags: 1 no validation, 2 settings block follows, 4 null mask,
//             8 null text, 16 two-digit-year epoch on
//   byte 3    epoch pivot year
//   settings block (see fuzz_support.h), when flag 2 is set
//   text\0    mask
//   text      the text to read, up to the next NUL
//
// The destination is the exact size of a valid pair's layout, or strlen(text) + 1 for
// the text types, or 64 bytes otherwise, with guard bytes on both sides.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "quillet/format/date_time.h"
#include "quillet/format/field_types.h"
#include "quillet/format/parse_data.h"

using fuzzsupport::Check;
using fuzzsupport::ExactText;
using fuzzsupport::GuardedArea;
using fuzzsupport::Reader;
using fuzzsupport::ScopedIntl;

namespace {

constexpr std::size_t kLooseSize = 64;
constexpr char kDateTimeCodes[] = "AadlIitDQqTums";
constexpr char kTruthCodes[] = "Wilubhsw";
constexpr char kNumberCodes[] = "dfWbhilsuw";
// Codes whose stored value reads back exactly as written, apart from milliseconds.
constexpr char kExactDateTimeCodes[] = "AadlIitDQqus";

bool OneOf(const char* codes, char code) {
  return code != '\0' && std::strchr(codes, code) != nullptr;
}

class EpochScope {
 public:
  EpochScope(bool enabled, int pivot) { quillet::SetEpoch(enabled ? 1 : 0, pivot); }
  ~EpochScope() { quillet::SetEpoch(0, 0); }
};

// A value of a valid pair stored by a validating parse without a mask passes the
// same checks when it is read back.
void CheckStoredDateTimeIsValid(const char* stored, char typeCode, char storageCode) {
  quillet::DateTimeParts parts;
  if (!quillet::ValueToDateTimeParts(&parts, stored, storageCode)) return;
  if (typeCode != 't') Check(quillet::ValidateDate(&parts, false, true, true, true));
  if (typeCode != 'd') Check(quillet::ValidateTime(&parts, false, true, true, true, true));
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
  const bool noValidate = (flags & 1) != 0;
  const bool nullMask = (flags & 4) != 0;
  const bool nullText = (flags & 8) != 0;
  const EpochScope epoch((flags & 16) != 0, in.Byte());
  ScopedIntl intl((flags & 2) != 0, in);
  const ExactText maskText(in.Text());
  const ExactText textCopy(in.Text());
  const char* mask = nullMask ? nullptr : maskText.get();
  const char* text = nullText ? nullptr : textCopy.get();
  const std::size_t textLength = std::strlen(textCopy.get());

  std::size_t destinationSize = kLooseSize;
  const int layout = quillet::ValueSize(typeCode, storageCode);
  if (typeCode == 'm' || typeCode == 's') {
    destinationSize = textLength + 1;
  } else if (layout > 0 && quillet::IsValidTypePair(typeCode, storageCode)) {
    destinationSize = static_cast<std::size_t>(layout);
  }
  GuardedArea destination(destinationSize);

  const int result =
      quillet::ParseData(destination.data(), typeCode, storageCode, mask, text, noValidate);
  Check(destination.GuardsIntact());
  Check(result == quillet::kParseStored || result == quillet::kParseInvalid);

  if (text == nullptr) {
    Check(result == quillet::kParseStored && destination.Untouched());
    return 0;
  }
  if (!quillet::IsKnownTypeCode(typeCode)) {
    Check(result == quillet::kParseInvalid && destination.Untouched());
    return 0;
  }

  const char* stored = destination.data();
  switch (typeCode) {
    case 'a':
    case 'k':
    case 'd':
    case 't':
      if (!OneOf(kDateTimeCodes, storageCode)) {
        Check(result == quillet::kParseInvalid && destination.Untouched());
      } else if (result == quillet::kParseStored && !noValidate && mask == nullptr &&
                 OneOf(kExactDateTimeCodes, storageCode) &&
                 quillet::IsValidTypePair(typeCode, storageCode)) {
        CheckStoredDateTimeIsValid(stored, typeCode, storageCode);
      }
      break;
    case 'b':
      Check(result == quillet::kParseStored);
      if (!OneOf(kTruthCodes, storageCode)) Check(destination.Untouched());
      break;
    case 'c':
    case 'n':
    case 'z':
      if (storageCode == 'M') {
        Check(result == quillet::kParseStored && destination.Untouched());
      } else if (!OneOf(kNumberCodes, storageCode)) {
        Check(result == quillet::kParseInvalid && destination.Untouched());
      } else if (storageCode == 'd') {
        Check(result == quillet::kParseStored);
        const double number = quillet::ParseNumberText(text);
        Check(std::memcmp(stored, &number, sizeof number) == 0);
      }
      if (result == quillet::kParseInvalid) Check(destination.Untouched());
      break;
    case 'h':
      Check(result == quillet::kParseStored && stored[0] == text[0]);
      break;
    case 'm':
      Check(result == quillet::kParseStored && destination.TerminatedLength() >= 0);
      break;
    case 's':
      Check(result == quillet::kParseStored && std::strcmp(stored, text) == 0);
      break;
    default:
      break;
  }
  return 0;
}
