#include <cstring>

#include "quillet/edit/edit_core.h"
#include "quillet/edit/sub_alloc.h"
#include "quillet/edit/text_view.h"
#include "quillet/format/field_types.h"
#include "quillet/format/format_data.h"
#include "quillet/format/parse_data.h"

namespace quillet {
namespace {

// A zero-filled block of the control storage, freed on every way out.
class ScratchBlock {
 public:
  explicit ScratchBlock(long size) : block_(SubAlloc(size)) {}
  ~ScratchBlock() {
    if (block_) SubFree(block_);
  }
  ScratchBlock(const ScratchBlock&) = delete;
  ScratchBlock& operator=(const ScratchBlock&) = delete;
  void* get() const { return block_; }
  char* text() const { return static_cast<char*>(block_); }

 private:
  void* block_;
};

int FreeAndReturn(char* held, int result) {
  if (held) SubFree(held);
  return result;
}

bool IsTextValue(const HEditInfo* info) { return ValueSize(info->typeCode, info->storageCode) < 0; }

void CopyIntoValue(HEditInfo* info, const void* source) {
  CopyValue(info->value, source, info->typeCode, info->storageCode, info->valueSize);
}

void SetModifyBySelf(HEditInfo* info, bool modified) {
  SendMessageA(info->hwnd, HEM_SETMODIFY, modified ? 1 : 0, 0);
}

// Reads text into the value. Text values go through a scratch block first: the
// text to commit may be longer than the value buffer, which then keeps what fits.
int ParseIntoValue(HEditInfo* info, const char* text) {
  const bool noValidate = info->validator != nullptr;
  if (!IsTextValue(info)) {
    return ParseData(info->value, info->typeCode, info->storageCode, info->mask, text, noValidate);
  }
  ScratchBlock parsed(static_cast<long>(std::strlen(text)) + 1);
  if (!parsed.get()) return kParseInvalid;
  const int error =
      ParseData(parsed.get(), info->typeCode, info->storageCode, info->mask, text, noValidate);
  CopyIntoValue(info, parsed.get());
  return error;
}

// Brings a committed value into its bounds unless the parent answers that it keeps
// it. False when the parent destroyed the control meanwhile.
bool ApplyBoundsOnCommit(HEditInfo* info) {
  if (!HasBounds(info->typeCode) || !info->rangeFlags) return true;
  double current = 0;
  if (!ValueToBound(info, info->value, &current)) return true;
  if ((info->rangeFlags & kMaximumSet) && current > info->maximum) {
    const int answered = NotifyParent(info, HEN_ABOVEMAX);
    if (info->destroyed) return false;
    if (!answered) BoundToValue(info, info->maximum, info->value);
  } else if ((info->rangeFlags & kMinimumSet) && current < info->minimum) {
    const int answered = NotifyParent(info, HEN_BELOWMIN);
    if (info->destroyed) return false;
    if (!answered) BoundToValue(info, info->minimum, info->value);
  }
  return true;
}

}  // namespace

void Render(HEditInfo* info, bool editing) {
  PutState(info, HES_DISPLAY, !editing);
  PutState(info, HES_RIGHT, (info->style & (editing ? HS_EDITRIGHT : ES_RIGHT)) != 0);
  PutState(info, HES_CENTER, !editing && (info->style & ES_CENTER));
  if (!editing && HasState(info, HES_EMPTY)) {
    CopyTextBounded(info->text, info->emptyText ? info->emptyText : "", info->textSize);
    ClearState(info, HES_ALTCOLOR);
  } else {
    if (info->boundValue) CopyIntoValue(info, info->boundValue);
    int isFalse = 0;
    if (FormatData(info->value, info->typeCode, info->storageCode, info->mask, info->text,
                   info->textSize, &isFalse, editing) == 0 &&
        info->textSize > 0) {
      // A value the formatter cannot show leaves no stale text behind.
      info->text[0] = '\0';
    }
    PutState(info, HES_ALTCOLOR, isFalse != 0);
  }
  UpdateScrollRange(info);
  InvalidateRect(info->hwnd, nullptr, TRUE);
}

int Commit(HEditInfo* info, const char* text) {
  if (!HasState(info, HES_DIRTY)) return 0;
  if (!text) text = info->text;
  ScratchBlock old(info->valueSize);
  if (!old.get()) return kParseInvalid;
  std::memcpy(old.get(), info->value, static_cast<size_t>(info->valueSize));

  int error = ParseIntoValue(info, text);
  if (!ApplyBoundsOnCommit(info)) return 0;

  if (info->validator) {
    error = info->validator(info->hwnd, static_cast<UINT>(GetWindowLongA(info->hwnd, GWL_ID)),
                            info->value);
    if (info->destroyed) return 0;
    if (error != 0) SetFocus(info->hwnd);
    if (info->destroyed) return 0;
  }

  bool answered = false;
  if (error != 0) {
    answered = NotifyParent(info, HEN_INVALID) != 0;
    if (info->destroyed) return 0;
    if (answered) error = 0;
  }

  if (answered || (HasState(info, HES_EMPTY) && error != 0)) {
    std::memcpy(info->value, old.get(), static_cast<size_t>(info->valueSize));
  } else if (HasState(info, HES_EMPTY)) {
    SetModifyBySelf(info, true);
  } else {
    SetModifyBySelf(info,
                    CompareValues(old.get(), info->value, info->typeCode, info->storageCode) != 0);
  }
  if (info->destroyed) return 0;
  if (info->boundValue)
    CopyValue(info->boundValue, info->value, info->typeCode, info->storageCode, info->valueSize);
  if (error == 0) ClearState(info, HES_DIRTY | HES_EMPTY);
  return error;
}

int SetValue(HEditInfo* info, const void* value) {
  PutState(info, HES_EMPTY, value == nullptr);
  ScratchBlock empty(value ? 0 : info->valueSize);
  if (!value) {
    if (!empty.get()) return -5;
    value = empty.get();
  }

  char* moved = nullptr;  // the given text, when it lives in a buffer about to move
  if (IsStringField(info)) {
    const long length = static_cast<long>(std::strlen(static_cast<const char*>(value)));
    if (length >= info->valueSize) {
      if (value == info->text) {
        moved = SubStrDup(info->text);
        if (!moved) return -5;
        value = moved;
      }
      // Both buffers grow or the field keeps its old limit and text.
      const long size = length + 33;
      void* grownText = size <= 32766 ? SubReAlloc(info->text, size) : nullptr;
      if (!grownText) return FreeAndReturn(moved, -5);
      info->text = static_cast<char*>(grownText);
      void* grownValue = SubReAlloc(info->value, size);
      if (!grownValue) return FreeAndReturn(moved, -5);
      info->value = grownValue;
      info->maxLength = static_cast<int>(length + 32);
      info->textSize = info->valueSize = static_cast<int>(size);
    }
  }

  if (value != info->value) CopyIntoValue(info, value);
  FreeAndReturn(moved, 0);
  if (info->validator) {
    info->validator(info->hwnd, static_cast<UINT>(GetWindowLongA(info->hwnd, GWL_ID)), info->value);
    if (info->destroyed) return 1;
  }
  if (info->boundValue && info->boundValue != value) {
    CopyValue(info->boundValue, info->value, info->typeCode, info->storageCode, info->valueSize);
  }

  RenderCurrentForm(info);
  if (HasState(info, HES_FOCUS)) {
    SetSelection(info, kSelectBoth, 0, -1);
  } else {
    info->anchor = info->caret = 0;
  }
  ClearState(info, HES_DIRTY | HES_MODIFIED);
  SetModifyBySelf(info, false);
  return 1;
}

void FocusEntry(HEditInfo* info) {
  SetState(info, HES_FOCUS);
  Render(info, true);
  SubReplaceStr(&info->undoText, info->text);
  if (!(info->style & ES_NOHIDESEL)) {
    if (OverwriteMode() && info->anchor == info->caret && IsStringField(info)) {
      info->anchor = info->caret = 0;
    } else {
      SetSelection(info, kSelectBoth, 0, -1);
    }
  }
  CreateEditCaret(info);
  PlaceCaret(info, info->caret);
  NotifyParent(info, EN_SETFOCUS);
}

void FocusExit(HEditInfo* info, HWND gaining) {
  ClearState(info, HES_FOCUS);
  Commit(info);
  if (info->destroyed) return;
  if (GetFocus() != info->hwnd) {
    DestroyCaret();
    Render(info, false);
  }
  NotifyParent(info, EN_KILLFOCUS);
  if (info->destroyed) return;
  if (gaining && IsWindow(gaining) && info->validator &&
      info->validator(info->hwnd, static_cast<UINT>(GetWindowLongA(info->hwnd, GWL_ID)),
                      info->value) != 0 &&
      !info->destroyed) {
    PostMessageA(info->hwnd, HEM_REFOCUS, 0, 0);
  }
}

int Undo(HEditInfo* info) {
  char* saved = SubStrDup(info->text);
  CopyTextBounded(info->text, info->undoText ? info->undoText : "", info->textSize);
  SetState(info, HES_DIRTY);
  Commit(info);
  if (info->destroyed) {
    if (saved) SubFree(saved);
    return 1;
  }
  ClearState(info, HES_DIRTY);
  RenderCurrentForm(info);
  SetSelection(info, kSelectBoth, 0, 0);
  if (info->undoText) SubFree(info->undoText);
  info->undoText = saved;
  return 1;
}

}  // namespace quillet
