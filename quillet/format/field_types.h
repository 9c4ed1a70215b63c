// Type codes (what a value means) and storage codes (how it lies in memory), the two
// letters that describe every value the engine and the edit control handle.
#pragma once

namespace quillet {

// True for the eleven known type codes: a k d t b c n z h m s.
bool IsKnownTypeCode(char typeCode);

// True exactly when storageCode is one of the storage codes allowed for typeCode.
bool IsValidTypePair(char typeCode, char storageCode);

// Bytes a value occupies: -1 for NUL-terminated text (types 'm' and 's'), 0 when the
// pair has no size. Sizes are looked up by type family, so a family's size table
// answers even for codes a particular type does not accept ('k' sizes as 'a').
int ValueSize(char typeCode, char storageCode);

// Reads "%ts" (and optionally a second "%ts" right behind it) at the start of text.
// Every out-pointer may be null. Outputs default to 's'/'s' and 0/0. Returns the
// position after the pair(s) read, or text itself when it does not start with a
// valid pair (null text gives null).
const char* ParseTypeSpec(const char* text, char* outType, char* outStorage, char* outType2,
                          char* outStorage2);
inline char* ParseTypeSpec(char* text, char* outType, char* outStorage, char* outType2,
                           char* outStorage2) {
  return const_cast<char*>(
      ParseTypeSpec(static_cast<const char*>(text), outType, outStorage, outType2, outStorage2));
}

// Copies one value. Fixed-size values move ValueSize bytes (the areas may overlap)
// and return that size. Text copies at most capacity - 1 characters plus the NUL and
// returns the characters copied; capacity 0 copies nothing, a negative capacity sets
// no bound. Null pointers or an unsized pair copy nothing and return 0.
int CopyValue(void* destination, const void* source, char typeCode, char storageCode, int capacity);

// 1 when the two values differ, 0 when they are equal or either pointer is null.
// Fixed sizes compare ValueSize bytes; text compares up to and including the NUL.
int CompareValues(const void* valueA, const void* valueB, char typeCode, char storageCode);

}  // namespace quillet
