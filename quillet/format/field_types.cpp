#include "quillet/format/field_types.h"

#include <cstring>

#include "quillet/format/date_time_parts.h"

namespace quillet {
namespace {

struct TypeEntry {
  char typeCode;
  const char* storageCodes;  // the storage codes this type accepts
};

constexpr TypeEntry kTypes[] = {
    {'a', "DQTmqsu"},  {'k', "T"},           {'d', "Aadl"},        {'t', "Iit"},
    {'b', "Wbhilsuw"}, {'c', "MdfWbhilsuw"}, {'n', "MdfWbhilsuw"}, {'z', "df"},
    {'h', "h"},        {'m', "s"},           {'s', "s"},
};

struct StorageSize {
  char storageCode;
  int size;
};

constexpr StorageSize kNumberSizes[] = {
    {'b', 1}, {'h', 1}, {'s', 2}, {'w', 2}, {'i', 4}, {'l', 4},
    {'u', 4}, {'W', 4}, {'f', 4}, {'d', 8}, {'M', 8},
};
constexpr StorageSize kDateSizes[] = {{'A', 2}, {'a', 6}, {'d', 6}, {'l', 4}};
constexpr StorageSize kTimeSizes[] = {{'I', 2}, {'i', 4}, {'t', 6}};
constexpr StorageSize kDateTimeSizes[] = {
    {'D', static_cast<int>(sizeof(DateTimeParts))}, {'Q', 8},  {'q', 4}, {'u', 8}, {'T', 4},
    {'m', static_cast<int>(sizeof(StoredTm))},      {'s', 16},
};

const TypeEntry* FindType(char typeCode) {
  for (const TypeEntry& entry : kTypes) {
    if (entry.typeCode == typeCode) return &entry;
  }
  return nullptr;
}

template <std::size_t N>
int LookUpSize(const StorageSize (&table)[N], char storageCode) {
  for (const StorageSize& entry : table) {
    if (entry.storageCode == storageCode) return entry.size;
  }
  return 0;
}

// "%" + type + storage forming a valid pair. Reads no further than the first NUL.
bool IsTypePairAt(const char* text) {
  return text[0] == '%' && text[1] != '\0' && IsValidTypePair(text[1], text[2]);
}

}  // namespace

bool IsKnownTypeCode(char typeCode) { return FindType(typeCode) != nullptr; }

bool IsValidTypePair(char typeCode, char storageCode) {
  // NUL would match the terminator of the code list, so it is never a storage code.
  if (storageCode == '\0') return false;
  const TypeEntry* entry = FindType(typeCode);
  return entry != nullptr && std::strchr(entry->storageCodes, storageCode) != nullptr;
}

int ValueSize(char typeCode, char storageCode) {
  switch (typeCode) {
    case 'b':
    case 'c':
    case 'n':
    case 'z':
      return LookUpSize(kNumberSizes, storageCode);
    case 'h':
      return 1;
    case 'd':
      return LookUpSize(kDateSizes, storageCode);
    case 't':
      return LookUpSize(kTimeSizes, storageCode);
    case 'a':
    case 'k':
      return LookUpSize(kDateTimeSizes, storageCode);
    case 'm':
    case 's':
      return -1;
    default:
      return 0;
  }
}

const char* ParseTypeSpec(const char* text, char* outType, char* outStorage, char* outType2,
                          char* outStorage2) {
  if (outType != nullptr) *outType = 's';
  if (outStorage != nullptr) *outStorage = 's';
  if (outType2 != nullptr) *outType2 = '\0';
  if (outStorage2 != nullptr) *outStorage2 = '\0';
  if (text == nullptr || !IsTypePairAt(text)) return text;

  if (outType != nullptr) *outType = text[1];
  if (outStorage != nullptr) *outStorage = text[2];
  // A valid first pair has three non-NUL characters, so text + 3 is readable.
  if (!IsTypePairAt(text + 3)) return text + 3;
  if (outType2 != nullptr) *outType2 = text[4];
  if (outStorage2 != nullptr) *outStorage2 = text[5];
  return text + 6;
}

int CopyValue(void* destination, const void* source, char typeCode, char storageCode,
              int capacity) {
  if (destination == nullptr || source == nullptr) return 0;
  const int size = ValueSize(typeCode, storageCode);
  if (size > 0) {
    std::memmove(destination, source, static_cast<std::size_t>(size));
    return size;
  }
  if (size == 0 || capacity == 0) return 0;

  const char* from = static_cast<const char*>(source);
  std::size_t length = 0;
  if (capacity < 0) {
    length = std::strlen(from);
  } else {
    const std::size_t limit = static_cast<std::size_t>(capacity) - 1;
    while (length < limit && from[length] != '\0') ++length;
  }
  char* to = static_cast<char*>(destination);
  std::memmove(to, from, length);
  to[length] = '\0';
  return static_cast<int>(length);
}

int CompareValues(const void* valueA, const void* valueB, char typeCode, char storageCode) {
  if (valueA == nullptr || valueB == nullptr) return 0;
  const int size = ValueSize(typeCode, storageCode);
  if (size > 0) return std::memcmp(valueA, valueB, static_cast<std::size_t>(size)) != 0 ? 1 : 0;
  if (size < 0) {
    return std::strcmp(static_cast<const char*>(valueA), static_cast<const char*>(valueB)) != 0 ? 1
                                                                                                : 0;
  }
  return 0;
}

}  // namespace quillet
