#include "quillet/edit/value_messages.h"

#include <cstdint>
#include <cstring>
#include <ctime>

#include "quillet/edit/edit_core.h"
#include "quillet/edit/sub_alloc.h"
#include "quillet/edit/text_view.h"
#include "quillet/format/field_types.h"
#include "quillet/format/format_data.h"
#include "quillet/format/intl_settings.h"
#include "quillet/format/number_format.h"

namespace quillet {
namespace {

constexpr int kMaskCapacity = 256;
constexpr int kCanonicalCapacity = 256;
constexpr int kLargestBuffer = 32766;

bool IsDateField(char typeCode) { return typeCode == 'a' || typeCode == 'd'; }
bool IsNumberField(char typeCode) { return typeCode == 'c' || typeCode == 'n'; }

int Length(const char* text) { return static_cast<int>(std::strlen(text)); }

// "#.##;-#.##" for two decimals, "#.*;-#.*" for floating ones, "#;-#" for none:
// the value as a program reads it back, without grouping or literals.
void CanonicalNumberMask(const HEditInfo* info, char (&mask)[kMaskCapacity]) {
  NumberMaskInfo layout;
  AnalyseNumberMask(info->mask ? info->mask : "", false, false, &layout);
  const bool floating = layout.maxFracDigits == kUnlimitedDigits;
  const int decimals = floating ? -1 : layout.maxFracDigits;
  char section[kMaskCapacity / 2 - 2];
  int length = 0;
  section[length++] = '#';
  if (decimals != 0) section[length++] = '.';
  if (floating) {
    section[length++] = '*';
  } else {
    for (int i = 0; i < decimals && length < static_cast<int>(sizeof section) - 1; ++i) {
      section[length++] = '#';
    }
  }
  section[length] = '\0';
  std::strcpy(mask, section);
  std::strcat(mask, ";-");
  std::strcat(mask, section);
}

// Commits an edited text before its value is read; false when the control went.
bool CommitBeforeReading(HEditInfo* info) {
  if (!IsStringField(info)) Commit(info);
  return !info->destroyed;
}

// Grows a buffer to at least size bytes; the size variable follows on success.
bool GrowBuffer(void** buffer, int* size, int wanted) {
  if (wanted <= *size) return true;
  if (wanted > kLargestBuffer) return false;
  void* grown = SubReAlloc(*buffer, wanted);
  if (!grown) return false;
  *buffer = grown;
  *size = wanted;
  return true;
}

}  // namespace

void StartClock(HEditInfo* info) {
  SetTimer(info->hwnd, kClockTimer, info->mask && std::strchr(info->mask, 'h') ? 1000 : 60000,
           nullptr);
}

LRESULT HandleSetText(HEditInfo* info, const char* text) {
  if (!text) return -2;
  if (text[0] == '%') {
    const bool wasClock = info->typeCode == 'k';
    if (!ApplyFieldSpec(info, text)) return -5;
    if (info->typeCode == 'z') info->style |= HS_EDITRIGHT;
    if (info->typeCode == 'k') {
      StartClock(info);
    } else if (wasClock) {
      KillTimer(info->hwnd, kClockTimer);
    }
    RenderCurrentForm(info);
    return 1;
  }
  if (IsStringField(info)) return SetValue(info, text);
  SetState(info, HES_DIRTY);
  Commit(info, text);
  if (!info->destroyed) RenderCurrentForm(info);
  return 1;
}

LRESULT HandleGetText(HEditInfo* info, int capacity, char* buffer) {
  // A capacity the caller cannot have meant copies nothing, never everything.
  if (!buffer || capacity <= 0) return 0;
  if (!CommitBeforeReading(info)) return 0;
  char canonical[kCanonicalCapacity] = {};
  const char* source = nullptr;
  switch (info->typeCode) {
    case 's':
    case 'k':
    case 't':
      source = info->text;
      break;
    case 'a':
    case 'd':
      FormatData(info->value, info->typeCode, info->storageCode, Intl().shortDatePattern, canonical,
                 capacity == 7 ? 9 : 11, nullptr, false);
      source = canonical;
      break;
    case 'c':
    case 'n': {
      char mask[kMaskCapacity];
      CanonicalNumberMask(info, mask);
      FormatData(info->value, info->typeCode, info->storageCode, mask, canonical, sizeof canonical,
                 nullptr, false);
      source = canonical;
      break;
    }
    case 'b':
    case 'm':
      // The value bytes as text, never read past the value buffer.
      CopyTextBounded(
          canonical, static_cast<const char*>(info->value),
          info->valueSize < kCanonicalCapacity ? info->valueSize + 1 : kCanonicalCapacity);
      if (info->valueSize < kCanonicalCapacity) canonical[info->valueSize] = '\0';
      source = canonical;
      break;
    default:
      return 0;
  }
  return CopyTextBounded(buffer, source ? source : "", capacity);
}

LRESULT HandleGetTextLength(HEditInfo* info) {
  if (!CommitBeforeReading(info)) return 0;
  char canonical[kCanonicalCapacity] = {};
  if (IsDateField(info->typeCode)) {
    FormatData(info->value, info->typeCode, info->storageCode, "mm/dd/yyyy", canonical,
               sizeof canonical, nullptr, false);
    return Length(canonical);
  }
  if (IsNumberField(info->typeCode)) {
    FormatData(info->value, info->typeCode, info->storageCode, "#.############;-#.############",
               canonical, sizeof canonical, nullptr, false);
    return Length(canonical);
  }
  return TextLength(info);
}

LRESULT HandleSetMask(HEditInfo* info, bool rerender, const char* text) {
  if (IsStringField(info)) return 0;
  if (!text) return -2;
  char mask[kMaskCapacity];
  CopyTextBounded(mask, text, kMaskCapacity);

  // Truth values and numbers have two sections before the empty text; other
  // types one.
  char* end = std::strchr(mask, ';');
  if (end && (info->typeCode == 'b' || IsNumberField(info->typeCode))) {
    end = std::strchr(end + 1, ';');
  }
  const char* emptyText = nullptr;
  if (end) {
    *end = '\0';
    emptyText = end + 1;
  }
  const int maskLength = Length(mask);
  // A longer text mask needs room in both buffers to be shown and typed in full.
  if (ValueSize(info->typeCode, info->storageCode) < 0) {
    const int oldSize = info->valueSize;
    if (!GrowBuffer(&info->value, &info->valueSize, maskLength + 1)) return -5;
    if (info->valueSize > oldSize) static_cast<char*>(info->value)[info->valueSize - 1] = '\0';
  }
  void* textBuffer = info->text;
  if (!GrowBuffer(&textBuffer, &info->textSize, maskLength + 32)) return -5;
  info->text = static_cast<char*>(textBuffer);

  char* newMask = SubStrDup(mask);
  if (!newMask) return -5;
  if (info->mask && SubIsLiveChunk(info->mask)) SubFree(info->mask);
  info->mask = newMask;
  if (emptyText) {
    SubReplaceStr(&info->emptyText, emptyText);
  } else if (info->emptyText) {
    SubFree(info->emptyText);
    info->emptyText = nullptr;
  }
  if (rerender) RenderCurrentForm(info);
  return 1;
}

LRESULT HandleGetMask(HEditInfo* info, int capacity, char* buffer) {
  if (!info->mask || !buffer || capacity <= 0) return 0;
  return CopyTextBounded(buffer, info->mask, capacity);
}

LRESULT HandleSetBound(HEditInfo* info, WORD which, const void* value) {
  if (!HasBounds(info->typeCode)) return 0;
  double& bound = which == kMaximumSet ? info->maximum : info->minimum;
  if (!value) {
    info->rangeFlags = static_cast<WORD>(info->rangeFlags & ~which);
    bound = 0;
    return 0;
  }
  double converted = 0;
  if (!ValueToBound(info, value, &converted)) return 0;
  bound = converted;
  info->rangeFlags = static_cast<WORD>(info->rangeFlags | which);
  ClampValueToBounds(info);
  RenderCurrentForm(info);
  return 0;
}

LRESULT HandleGetBound(HEditInfo* info, WORD which, void* buffer) {
  if (!HasBounds(info->typeCode) || !buffer) return 0;
  BoundToValue(info, which == kMaximumSet ? info->maximum : info->minimum, buffer);
  return 1;
}

LRESULT HandleLimitText(HEditInfo* info, int limit) {
  if (!IsStringField(info)) return -1;
  const int maxLength = limit < 0 ? 32 : limit;
  const int size = maxLength + 1;
  if (size > kLargestBuffer) return -5;
  void* text = SubReAlloc(info->text, size);
  if (!text) return -5;
  info->text = static_cast<char*>(text);
  void* value = SubReAlloc(info->value, size);
  if (!value) {
    // The text buffer may have shrunk already: keep the sizes in step with it.
    info->textSize = size < info->textSize ? size : info->textSize;
    info->text[info->textSize - 1] = '\0';
    return -5;
  }
  info->value = value;
  PutState(info, HES_LIMITSET, limit >= 0);
  info->maxLength = maxLength;
  info->textSize = info->valueSize = size;
  // A longer text and value are cut to the limit.
  info->text[maxLength] = '\0';
  static_cast<char*>(info->value)[maxLength] = '\0';
  const int length = TextLength(info);
  if (info->anchor > length) info->anchor = length;
  if (info->caret > length) info->caret = length;
  UpdateScrollRange(info);
  InvalidateRect(info->hwnd, nullptr, TRUE);
  return 1;
}

LRESULT HandleBindValue(HEditInfo* info, WPARAM direction, void* buffer) {
  info->boundValue = buffer;
  if (direction == 0 && buffer) {
    return CopyValue(buffer, info->value, info->typeCode, info->storageCode, info->valueSize);
  }
  return SetValue(info, buffer);
}

LRESULT HandleClear(HEditInfo* info) {
  std::memset(info->value, 0, static_cast<size_t>(info->valueSize));
  RenderCurrentForm(info);
  SetSelection(info, kSelectBoth, 0, -1);
  return 1;
}

void HandleClockTick(HEditInfo* info) {
  if (info->typeCode != 'k' || HasState(info, HES_FOCUS) || info->valueSize < 4) return;
  const auto now = static_cast<std::uint32_t>(std::time(nullptr));
  std::uint32_t shown = 0;
  std::memcpy(&shown, info->value, sizeof shown);
  const bool showsSeconds = info->mask && std::strchr(info->mask, 's');
  if (!showsSeconds && now / 60 == shown / 60 && now - shown < 60) return;
  if (now != shown) SetValue(info, &now);
}

}  // namespace quillet
