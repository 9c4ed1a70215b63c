#include "quillet/edit/hedit_info.h"

#include <cstring>

#include "quillet/edit/sub_alloc.h"
#include "quillet/edit/text_view.h"
#include "quillet/format/date_time.h"
#include "quillet/format/field_types.h"
#include "quillet/format/mask_colors.h"
#include "quillet/format/number_format.h"
#include "quillet/format/parse_data.h"

namespace quillet {
namespace {

constexpr int kSpecCapacity = 256;
constexpr int kBoundScratch = 32;
// The longest text whose buffer (text + NUL) the control storage can hold.
constexpr long kLongestText = 32765;

bool IsDateTimeField(char typeCode) {
  return typeCode == 'a' || typeCode == 'd' || typeCode == 't';
}

bool IsIntegerStorage(char storageCode) { return std::strchr("Wbhilsuw", storageCode) != nullptr; }

// The bounds of a range prefix are read as the field's own type would read them,
// through the default mask, and kept in bound form.
bool ParseBound(const HEditInfo* info, const char* text, double* bound) {
  alignas(8) unsigned char scratch[kBoundScratch] = {};
  if (ParseData(scratch, info->typeCode, info->storageCode,
                DefaultMask(info->typeCode, info->storageCode), text, false) != kParseStored) {
    // An unreadable bound is still a bound: the engine stored what it could.
  }
  return ValueToBound(info, scratch, bound);
}

// "|min;max|" at the start of rest. Returns where the rest continues.
char* ParseRangePrefix(HEditInfo* info, char* rest) {
  if (*rest != '|') return rest;
  char* close = std::strchr(rest + 1, '|');
  if (!close) return rest;
  *close = '\0';
  char* low = rest + 1;
  char* semicolon = std::strchr(low, ';');
  char* high = nullptr;
  if (semicolon) {
    *semicolon = '\0';
    high = semicolon + 1;
  }
  double bound = 0;
  if (*low && ParseBound(info, low, &bound)) {
    info->minimum = bound;
    info->rangeFlags |= kMinimumSet;
  }
  if (high && *high && ParseBound(info, high, &bound)) {
    info->maximum = bound;
    info->rangeFlags |= kMaximumSet;
  }
  return close + 1;
}

void FreeOwned(void** held) {
  if (*held && SubIsLiveChunk(*held)) SubFree(*held);
  *held = nullptr;
}
template <class T>
void FreeOwned(T** held) {
  void* pointer = *held;
  FreeOwned(&pointer);
  *held = nullptr;
}

}  // namespace

const char* DefaultMask(char typeCode, char storageCode) {
  switch (typeCode) {
    case 'a':
      return "mm/dd/yyyy hh:mm:ss";
    case 'd':
      return "mm/dd/yyyy";
    case 't':
      return "hh:mm:ss";
    case 'c':
    case 'n':
      if (IsIntegerStorage(storageCode)) return "*0";
      if (storageCode == 'd' || storageCode == 'f') return "*0.0*";
      return "";
    default:
      return "";
  }
}

bool ValueToBound(const HEditInfo* info, const void* value, double* bound) {
  if (!value || !bound) return false;
  if (IsDateTimeField(info->typeCode)) {
    DateTimeParts parts;
    double universal = 0;
    if (!ValueToDateTimeParts(&parts, value, info->storageCode) ||
        !DateTimePartsToValue(&parts, &universal, 'u')) {
      return false;
    }
    *bound = universal;
    return true;
  }
  if (info->typeCode == 'c' || info->typeCode == 'n') {
    *bound = LoadNumber(value, info->storageCode);
    return true;
  }
  return false;
}

bool BoundToValue(const HEditInfo* info, double bound, void* value) {
  if (!value) return false;
  if (IsDateTimeField(info->typeCode)) {
    DateTimeParts parts;
    return ValueToDateTimeParts(&parts, &bound, 'u') &&
           DateTimePartsToValue(&parts, value, info->storageCode);
  }
  if (info->typeCode == 'c' || info->typeCode == 'n') {
    return StoreNumber(value, info->storageCode, bound);
  }
  return false;
}

bool ClampValueToBounds(HEditInfo* info) {
  if (!info->value || !HasBounds(info->typeCode) || !info->rangeFlags) return false;
  double current = 0;
  if (!ValueToBound(info, info->value, &current)) {
    // A zero date has no date-time form; it still lies below any minimum.
    if (!IsDateTimeField(info->typeCode)) return false;
    if (info->rangeFlags & kMinimumSet) return BoundToValue(info, info->minimum, info->value);
    return false;
  }
  if ((info->rangeFlags & kMinimumSet) && current < info->minimum) {
    return BoundToValue(info, info->minimum, info->value);
  }
  if ((info->rangeFlags & kMaximumSet) && current > info->maximum) {
    return BoundToValue(info, info->maximum, info->value);
  }
  return false;
}

bool ApplyFieldSpec(HEditInfo* info, const char* spec) {
  char work[kSpecCapacity];
  CopyTextBounded(work, spec ? spec : "", kSpecCapacity);

  // The field is read into a copy of the record and takes effect only when every
  // buffer could be had: a field that cannot change stays as it was.
  HEditInfo field = *info;
  field.typeCode = 's';
  field.storageCode = 's';
  char* rest = ParseTypeSpec(work, &field.typeCode, &field.storageCode, nullptr, nullptr);
  if (rest == work) field.typeCode = field.storageCode = 's';
  field.rangeFlags = 0;
  field.minimum = 0;
  field.maximum = 0;
  if (HasBounds(field.typeCode)) rest = ParseRangePrefix(&field, rest);

  ColorRef textColor = field.textColor;
  ColorRef altColor = field.altTextColor;
  ExtractMaskColors(&textColor, &altColor, rest);
  field.textColor = textColor;
  field.altTextColor = altColor;

  ClearState(&field, HES_MODIFIED | HES_LIMITSET);
  if (field.typeCode == 's' && *rest >= '0' && *rest <= '9') {
    long limit = 0;
    while (*rest >= '0' && *rest <= '9') {
      // The storage cannot hold a longer text anyway; a huge count must not wrap.
      if (limit <= kLongestText) limit = limit * 10 + (*rest - '0');
      ++rest;
    }
    field.maxLength = static_cast<int>(limit < kLongestText ? limit : kLongestText);
    SetState(&field, HES_LIMITSET);
  }

  const int restLength = static_cast<int>(std::strlen(rest));
  field.textSize = restLength + 32;
  if (field.typeCode == 's' && HasState(&field, HES_LIMITSET) &&
      field.maxLength + 1 > field.textSize) {
    field.textSize = field.maxLength + 1;
  }
  field.mask = nullptr;
  field.text = static_cast<char*>(SubAlloc(field.textSize));
  if (field.typeCode == 's') {
    if (!HasState(&field, HES_LIMITSET)) field.maxLength = field.textSize - 1;
    field.valueSize = field.textSize;
    field.value = SubAlloc(field.valueSize);
    if (field.value) {
      CopyTextBounded(static_cast<char*>(field.value), rest, field.maxLength + 1);
    }
  } else {
    const int size = ValueSize(field.typeCode, field.storageCode);
    field.valueSize = size < 0 ? restLength + 1 : size;
    field.value = SubAlloc(field.valueSize);
    field.mask = SubStrDup(*rest ? rest : DefaultMask(field.typeCode, field.storageCode));
  }
  if (!field.text || !field.value || (field.typeCode != 's' && !field.mask)) {
    FreeOwned(&field.text);
    FreeOwned(&field.value);
    FreeOwned(&field.mask);
    return false;
  }

  FreeOwned(&info->mask);
  FreeOwned(&info->value);
  FreeOwned(&info->text);
  *info = field;
  if (info->rangeFlags) ClampValueToBounds(info);
  info->scrollPos = 0;
  info->anchor = 0;
  info->caret = 0;
  UpdateScrollRange(info);
  return true;
}

HEditInfo* CreateHEditInfo(HWND hwnd, const CREATESTRUCTA& create) {
  auto* info = static_cast<HEditInfo*>(SubAlloc(sizeof(HEditInfo)));
  if (!info) return nullptr;
  info->hwnd = hwnd;
  info->parent = create.hwndParent;
  info->id = LOWORD(reinterpret_cast<ULONG_PTR>(create.hMenu));
  info->style = static_cast<DWORD>(create.style);
  info->fillChar = '*';
  if (info->style & HS_FOCUSHILITE) {
    info->focusBrush = static_cast<HBRUSH>(
        GetStockObject(GetSysColor(COLOR_WINDOW) == 0xFFFFFF ? LTGRAY_BRUSH : WHITE_BRUSH));
  }
  if (!ApplyFieldSpec(info, create.lpszName)) {
    DestroyHEditInfo(info);
    return nullptr;
  }
  if (info->typeCode == 'z') info->style |= HS_EDITRIGHT;
  return info;
}

void DestroyHEditInfo(HEditInfo* info) {
  if (!info) return;
  FreeOwned(&info->mask);
  FreeOwned(&info->value);
  FreeOwned(&info->text);
  FreeOwned(&info->undoText);
  FreeOwned(&info->emptyText);
  SubFree(info);
}

}  // namespace quillet
