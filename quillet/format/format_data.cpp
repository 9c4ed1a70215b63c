#include "quillet/format/format_data.h"

#include <cstdint>
#include <cstring>

#include "quillet/format/date_time.h"
#include "quillet/format/field_types.h"
#include "quillet/format/number_format.h"
#include "quillet/format/text_mask.h"

namespace quillet {
namespace {

constexpr char kDefaultBooleanMask[] = "TRUE;FALSE";

int CopyCut(const char* text, size_t length, char* output, int outputSize) {
  const size_t room = static_cast<size_t>(outputSize - 1);
  if (length > room) length = room;
  std::memcpy(output, text, length);
  output[length] = '\0';
  return static_cast<int>(length);
}

// A truth value is the stored integer in the width of its storage code.
bool ReadTruth(const void* value, char storageCode) {
  auto nonzero = [value](auto sample) {
    std::memcpy(&sample, value, sizeof sample);
    return sample != 0;
  };
  switch (storageCode) {
    case 'W':
    case 'i':
    case 'l':
    case 'u':
      return nonzero(std::uint32_t{});
    case 'b':
    case 'h':
      return nonzero(std::uint8_t{});
    case 's':
    case 'w':
      return nonzero(std::uint16_t{});
    default:
      return false;
  }
}

}  // namespace

int FormatBoolean(bool truth, const char* mask, char* output, int outputSize) {
  if (!output || outputSize <= 0) return 0;
  if (!mask || !*mask) mask = kDefaultBooleanMask;
  const char* separator = std::strchr(mask, ';');
  if (!separator) return CopyCut(mask, std::strlen(mask), output, outputSize);
  if (truth) return CopyCut(mask, static_cast<size_t>(separator - mask), output, outputSize);
  return CopyCut(separator + 1, std::strlen(separator + 1), output, outputSize);
}

int FormatData(const void* value, char typeCode, char storageCode, const char* mask, char* output,
               int outputSize, int* isFalse, bool editForm) {
  if (!value || !output || outputSize < 2 || !IsKnownTypeCode(typeCode)) return 0;
  if (isFalse) *isFalse = 0;

  switch (typeCode) {
    case 'a':
    case 'k':
    case 'd':
    case 't': {
      DateTimeParts parts;
      if (!ValueToDateTimeParts(&parts, value, storageCode)) return 0;
      return FormatDateTime(parts, mask, output, outputSize, editForm, typeCode != 't',
                            typeCode != 'd');
    }
    case 'b': {
      const bool truth = ReadTruth(value, storageCode);
      if (!truth && isFalse) *isFalse = 1;
      return FormatBoolean(truth, mask, output, outputSize);
    }
    case 'c':
    case 'n':
    case 'z':
      if (storageCode == 'M') return 0;
      return FormatNumber(LoadNumber(value, storageCode), mask, output, outputSize, editForm);
    case 'h':
      output[0] = *static_cast<const char*>(value);
      output[1] = '\0';
      return 1;
    case 'm':
      return ApplyTextMask(static_cast<const char*>(value), mask, output, outputSize, false);
    default: {
      // Reads no further into the caller's text than the output can take.
      const char* text = static_cast<const char*>(value);
      return CopyCut(text, strnlen(text, static_cast<size_t>(outputSize - 1)), output, outputSize);
    }
  }
}

}  // namespace quillet
