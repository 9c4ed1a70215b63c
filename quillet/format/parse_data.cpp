#include "quillet/format/parse_data.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "quillet/format/date_time.h"
#include "quillet/format/platform.h"
#include "quillet/format/text_mask.h"

namespace quillet {
namespace {

constexpr const char* kDefaultBooleanMask = "TRUE;FALSE";

// An empty mask selects the default layout everywhere else in the engine, so it
// also selects the default checks here; otherwise a field typed against the
// default layout would be stored unchecked and with its two-digit year unexpanded.
bool IsDefaultMask(const char* mask) { return mask == nullptr || *mask == '\0'; }

bool MaskHasLetter(const char* mask, char letter) {
  for (const char* p = mask; *p != '\0'; ++p) {
    if (ToLowerChar(*p) == letter) return true;
  }
  return false;
}

int ParseDateTime(void* destination, char typeCode, char storageCode, const char* mask,
                  const char* text, bool noValidate) {
  const bool hasDate = typeCode != 't';
  const bool hasTime = typeCode != 'd';
  DateTimeParts parts = ParseDateTimeText(text, mask, hasDate, hasTime);

  bool valid = true;
  if (!noValidate) {
    const bool byDefault = IsDefaultMask(mask);
    if (hasDate) {
      const bool checkYear = byDefault || MaskHasLetter(mask, 'y');
      const bool checkMonth = byDefault || MaskHasLetter(mask, 'm');
      const bool checkDay = byDefault || MaskHasLetter(mask, 'd');
      if (!ValidateDate(&parts, true, checkYear, checkMonth, checkDay)) valid = false;
    }
    if (hasTime) {
      // Without a mask the hour is held to a 12-hour clock, even though the reader
      // has already turned a "pm" hour into 13-23; callers of long standing depend on
      // that, so it is kept for them. With a mask the hour is a 24-hour one.
      const bool checkHour = byDefault || MaskHasLetter(mask, 'h');
      const bool checkMinute = byDefault || MaskHasLetter(mask, 'm');
      const bool checkSecond = byDefault || MaskHasLetter(mask, 's');
      if (!ValidateTime(&parts, true, byDefault, checkHour, checkMinute, checkSecond)) {
        valid = false;
      }
    }
  }
  if (!DateTimePartsToValue(&parts, destination, storageCode)) valid = false;
  return valid ? kParseStored : kParseInvalid;
}

void StoreTruth(void* destination, char storageCode, bool truth) {
  switch (storageCode) {
    case 'W':
    case 'i':
    case 'l':
    case 'u': {
      const std::uint32_t value = truth ? 1 : 0;
      std::memcpy(destination, &value, sizeof value);
      break;
    }
    case 'b':
    case 'h': {
      const std::uint8_t value = truth ? 1 : 0;
      std::memcpy(destination, &value, sizeof value);
      break;
    }
    case 's':
    case 'w': {
      const std::uint16_t value = truth ? 1 : 0;
      std::memcpy(destination, &value, sizeof value);
      break;
    }
    default:
      break;
  }
}

}  // namespace

bool ParseBoolean(const char* mask, const char* text) {
  if (text == nullptr) return false;
  if (mask == nullptr || *mask == '\0') mask = kDefaultBooleanMask;
  const char* separator = std::strchr(mask, ';');
  if (separator == nullptr) return true;
  const std::size_t trueLength = static_cast<std::size_t>(separator - mask);
  const std::size_t textLength = std::strlen(text);
  const std::size_t compared = textLength < trueLength ? textLength : trueLength;
  return std::strncmp(text, mask, compared) == 0;
}

int ParseData(void* destination, char typeCode, char storageCode, const char* mask,
              const char* text, bool noValidate) {
  if (destination == nullptr || text == nullptr) return kParseStored;
  switch (typeCode) {
    case 'a':
    case 'k':
    case 'd':
    case 't':
      return ParseDateTime(destination, typeCode, storageCode, mask, text, noValidate);
    case 'b':
      StoreTruth(destination, storageCode, ParseBoolean(mask, text));
      return kParseStored;
    case 'c':
    case 'n':
    case 'z':
      if (storageCode == 'M') return kParseStored;
      return StoreNumber(destination, storageCode, ParseNumberText(text)) ? kParseStored
                                                                          : kParseInvalid;
    case 'h':
      *static_cast<char*>(destination) = text[0];
      return kParseStored;
    case 'm': {
      // The caller sizes the destination by the text, so the text bounds the output;
      // fillers for a text shorter than the mask are cut there.
      const std::size_t length = std::strlen(text);
      const int outputSize = length < INT_MAX ? static_cast<int>(length) + 1 : INT_MAX;
      ApplyTextMask(text, mask, static_cast<char*>(destination), outputSize, true);
      return kParseStored;
    }
    case 's':
      std::memcpy(destination, text, std::strlen(text) + 1);
      return kParseStored;
    default:
      return kParseInvalid;
  }
}

}  // namespace quillet
