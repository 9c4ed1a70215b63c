// HEditInfo: everything one HEdit control knows, kept in the control storage and
// reached through the window's extra bytes.
#pragma once

#include <windows.h>

#include "quillet/edit/hedit_constants.h"

namespace quillet {

struct HEditInfo {
  HWND hwnd;
  HWND parent;
  WORD id;
  HFONT font;
  WORD state;
  DWORD style;
  HBRUSH bkBrush;
  HBRUSH focusBrush;
  COLORREF textColor;
  COLORREF altTextColor;
  RECT textRect;
  int charHeight;
  int pageColumns;
  char typeCode;
  char storageCode;
  int valueSize;
  int maxLength;
  int textSize;
  int anchor;
  int caret;
  int scrollPos;
  int scrollMax;
  char fillChar;
  char* mask;
  char* emptyText;
  void* value;
  void* boundValue;
  char* text;
  char* undoText;
  FieldValidator validator;
  double minimum;
  double maximum;
  WORD rangeFlags;
  HANDLE buttonImage;
  char* buttonCaption;
  HWND button;
  int buttonWidth;
  int buttonLeft;

  // Not part of the shared layout above. While a message is being handled the
  // host may destroy the window from a notification or the validator; the record
  // then outlives the window until the outermost message returns, and everyone
  // on the way out sees `destroyed`.
  int nesting;
  bool destroyed;
};

inline bool HasState(const HEditInfo* info, WORD flags) { return (info->state & flags) != 0; }
inline void SetState(HEditInfo* info, WORD flags) {
  info->state = static_cast<WORD>(info->state | flags);
}
inline void ClearState(HEditInfo* info, WORD flags) {
  info->state = static_cast<WORD>(info->state & ~flags);
}
inline void PutState(HEditInfo* info, WORD flags, bool on) {
  on ? SetState(info, flags) : ClearState(info, flags);
}
inline int TextLength(const HEditInfo* info) { return info->text ? lstrlenA(info->text) : 0; }
inline bool IsStringField(const HEditInfo* info) { return info->typeCode == 's'; }
// Date-and-time and number fields carry bounds.
inline bool HasBounds(char typeCode) {
  return typeCode == 'a' || typeCode == 'c' || typeCode == 'd' || typeCode == 'n' ||
         typeCode == 't';
}

// Builds the record for a window being created; null when the specification leaves
// no value or text buffer (creation then fails).
HEditInfo* CreateHEditInfo(HWND hwnd, const CREATESTRUCTA& create);

// Frees the record and the buffers it owns.
void DestroyHEditInfo(HEditInfo* info);

// Reads a field specification ("%nd|0;100|*0.00") into the record: type and storage
// codes, bounds, colours, buffers and mask. False when a buffer could not be had.
bool ApplyFieldSpec(HEditInfo* info, const char* spec);

// The mask a field gets when its specification names none.
const char* DefaultMask(char typeCode, char storageCode);

// Bounds are kept as doubles: dates and times as storage code 'u', numbers as read.
bool ValueToBound(const HEditInfo* info, const void* value, double* bound);
bool BoundToValue(const HEditInfo* info, double bound, void* value);

// Brings the value into the bounds that are set (a minimum first, then a maximum).
// True when the value was changed.
bool ClampValueToBounds(HEditInfo* info);

}  // namespace quillet
