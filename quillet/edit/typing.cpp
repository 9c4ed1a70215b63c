#include <cstring>

#include "quillet/edit/edit_core.h"
#include "quillet/edit/sub_alloc.h"
#include "quillet/edit/text_view.h"
#include "quillet/format/field_types.h"
#include "quillet/format/format_data.h"
#include "quillet/format/keystroke_rules.h"
#include "quillet/format/parse_data.h"

namespace quillet {
namespace {

int g_overwriteMode = 0;

// The longest buffer the control storage hands out.
constexpr int kLargestBuffer = 32766;
constexpr int kGrowthStep = 32;

bool IsPrintable(char character) {
  const auto c = static_cast<unsigned char>(character);
  return c >= 0x80 || (c >= 0x20 && c < 0x7F);
}

// The keystroke rules may grow the text by one character; a full buffer grows
// first so that nothing is written past its end.
bool MakeRoomForKeystroke(HEditInfo* info) {
  const int length = TextLength(info);
  if (length + 2 <= info->textSize) return true;
  const int size = info->textSize + kGrowthStep;
  if (size > kLargestBuffer) return false;
  void* grown = SubReAlloc(info->text, size);
  if (!grown) return false;
  info->text = static_cast<char*>(grown);
  info->textSize = size;
  return true;
}

// Both buffers of a string field grow together, or neither limit changes.
bool GrowStringField(HEditInfo* info) {
  const int newLimit = info->maxLength + kGrowthStep;
  const int size = newLimit + 1;
  if (size > kLargestBuffer) return false;
  if (size > info->textSize) {
    void* grown = SubReAlloc(info->text, size);
    if (!grown) return false;
    info->text = static_cast<char*>(grown);
  }
  if (size > info->valueSize) {
    void* grown = SubReAlloc(info->value, size);
    if (!grown) return false;
    info->value = grown;
  }
  info->maxLength = newLimit;
  if (size > info->textSize) info->textSize = size;
  if (size > info->valueSize) info->valueSize = size;
  return true;
}

// Returns 0 when the character went in (advance and count 1), nonzero when refused.
int TypeIntoString(HEditInfo* info, char character) {
  const int length = TextLength(info);
  const int caret = info->caret < length ? info->caret : length;
  const bool overwrite = g_overwriteMode && !HasState(info, HES_TYPING);
  const bool overwriteInside = overwrite && caret < length;
  if (length >= info->maxLength && !overwriteInside) {
    if (HasState(info, HES_LIMITSET)) {
      NotifyParent(info, EN_MAXTEXT);
      return 1;
    }
    if (!GrowStringField(info)) return 1;
  }
  char* saved = (info->style & (WS_HSCROLL | ES_AUTOHSCROLL)) ? nullptr : SubStrDup(info->text);
  if (overwriteInside) {
    info->text[caret] = character;
  } else {
    std::memmove(info->text + caret + 1, info->text + caret,
                 static_cast<size_t>(length - caret + 1));
    info->text[caret] = character;
  }
  if (saved) {
    // Without scrolling the whole text must stay visible.
    const bool tooWide = TextWidth(info, 0, -1) >= info->textRect.right - info->textRect.left;
    if (tooWide) std::strcpy(info->text, saved);
    SubFree(saved);
    if (tooWide) return 1;
  }
  return 0;
}

void FinishTyping(HEditInfo* info) {
  SetState(info, HES_DIRTY);
  NotifyParent(info, EN_CHANGE);
  if (info->destroyed) return;
  SendMessageA(info->hwnd, HEM_SETMODIFY, 1, 0);
  if (info->destroyed) return;
  ClearState(info, HES_TYPING);
}

}  // namespace

int OverwriteMode() { return g_overwriteMode; }
void SetOverwriteMode(int mode) { g_overwriteMode = mode; }

void TypeCharacter(HEditInfo* info, char character) {
  if (HasState(info, HES_SKIPCHAR) || character == '\t' || character == '\r' ||
      character == '\x1b') {
    ClearState(info, HES_SKIPCHAR);
    return;
  }
  if (info->style & HS_READONLY) return;

  const bool hadSelection = info->anchor != info->caret;
  if (hadSelection) {
    SetState(info, HES_TYPING);
    const LRESULT quiet = SendMessageA(info->hwnd, HEM_GETQUIET, 0, 0);
    SendMessageA(info->hwnd, HEM_SETQUIET, 0, 0);
    DeleteSelection(info);
    if (info->destroyed) return;
    SendMessageA(info->hwnd, HEM_SETQUIET, static_cast<WPARAM>(quiet), 0);
  }

  if (info->style & ES_UPPERCASE) {
    character = static_cast<char>(reinterpret_cast<UINT_PTR>(
        CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<BYTE>(character))))));
  } else if (info->style & ES_LOWERCASE) {
    character = static_cast<char>(reinterpret_cast<UINT_PTR>(
        CharLowerA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<BYTE>(character))))));
  }
  const char keypadDecimal = TakePendingKeypadDecimal();
  if (keypadDecimal) character = keypadDecimal;

  if (character == '\b') {
    // Backspace over a selection takes the selection only.
    if (!hadSelection && info->caret > 0) {
      info->anchor = info->caret = info->caret - 1;
      DeleteAtCaret(info, info->typeCode == 'z');
      if (info->destroyed) return;
    }
    ClearState(info, HES_TYPING);
    NotifyParent(info, EN_CHANGE);
    return;
  }
  if (!IsPrintable(character)) {
    ClearState(info, HES_TYPING);
    return;
  }

  int advance = 0;
  int count = 0;
  int refused = 0;
  if (IsStringField(info)) {
    refused = TypeIntoString(info, character);
    if (info->destroyed) return;
    advance = count = 1;
  } else if (!MakeRoomForKeystroke(info)) {
    refused = 1;
  } else {
    if (info->caret > TextLength(info)) info->caret = TextLength(info);
    refused = ApplyKeystroke(info->typeCode, info->storageCode, info->text, info->mask, info->caret,
                             character, &advance, &count);
  }
  if (refused) {
    ClearState(info, HES_TYPING);
    MessageBeep(0);
    return;
  }

  NotifyParent(info, EN_UPDATE);
  if (info->destroyed) return;
  if (info->typeCode == 'b') {
    const WORD truth = ParseBoolean(info->mask, info->text) ? 1 : 0;
    int isFalse = 0;
    FormatData(&truth, 'b', 'w', info->mask, info->text, info->textSize, &isFalse, false);
    PutState(info, HES_ALTCOLOR, isFalse != 0);
    UpdateScrollRange(info);
    InvalidateRect(info->hwnd, nullptr, TRUE);
    SetSelection(info, kSelectBoth, 0, 0);
  } else {
    UpdateScrollRange(info);
    InvalidateFrom(info, info->caret, count);
    const int target = info->caret + advance;
    SetSelection(info, kSelectBoth, target, target);
  }
  FinishTyping(info);
}

void DeleteAtCaret(HEditInfo* info, bool advancing) {
  if (info->anchor != info->caret) {
    DeleteSelection(info);
    return;
  }
  const int length = TextLength(info);
  if (info->caret > length) info->caret = length;
  int step = 0;
  if (MakeRoomForKeystroke(info)) {
    step = DeleteCharAt(info->typeCode, info->storageCode, info->text, info->mask, info->caret);
  } else {
    MessageBeep(0);
  }
  NotifyParent(info, EN_UPDATE);
  if (info->destroyed) return;
  UpdateScrollRange(info);
  InvalidateFrom(info, info->caret, length);
  const int target = info->caret + (advancing ? step : 0);
  SetSelection(info, kSelectBoth, target, target);
  SetState(info, HES_DIRTY);
  NotifyParent(info, EN_CHANGE);
}

void DeleteSelection(HEditInfo* info) {
  const int start = info->anchor < info->caret ? info->anchor : info->caret;
  const int end = info->anchor < info->caret ? info->caret : info->anchor;
  const bool wasQuiet = HasState(info, HES_QUIET);
  SendMessageA(info->hwnd, WM_SETREDRAW, FALSE, 0);
  SetState(info, HES_QUIET);
  info->anchor = info->caret = start;
  for (int i = start; i < end && !info->destroyed; ++i) {
    DeleteAtCaret(info, true);
  }
  if (info->destroyed) return;
  if (info->typeCode != 'z') info->anchor = info->caret = start;
  PutState(info, HES_QUIET, wasQuiet);
  NotifyParent(info, EN_UPDATE);
  if (info->destroyed) return;
  SendMessageA(info->hwnd, WM_SETREDRAW, TRUE, 0);
  UpdateScrollRange(info);
  InvalidateRect(info->hwnd, nullptr, TRUE);
  SetState(info, HES_DIRTY);
  NotifyParent(info, EN_CHANGE);
}

}  // namespace quillet
