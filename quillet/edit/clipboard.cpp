#include "quillet/edit/clipboard.h"

#include "quillet/edit/edit_core.h"
#include "quillet/edit/sub_alloc.h"

namespace quillet {
namespace {

// The clipboard held open by the control; closed on every way out, also when
// the host destroyed the control while a pasted text was being typed.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;

  bool IsOpen() const { return open_; }
  // The operation's result is what closing it answers.
  LRESULT Close() {
    open_ = false;
    return CloseClipboard();
  }

 private:
  bool open_;
};

// Global memory not yet handed to the clipboard.
class OwnedGlobal {
 public:
  explicit OwnedGlobal(HGLOBAL memory) : memory_(memory) {}
  ~OwnedGlobal() { Free(); }
  OwnedGlobal(const OwnedGlobal&) = delete;
  OwnedGlobal& operator=(const OwnedGlobal&) = delete;

  HGLOBAL get() const { return memory_; }
  explicit operator bool() const { return memory_ != nullptr; }
  // The clipboard owns it from now on.
  void Release() { memory_ = nullptr; }
  void Free() {
    if (memory_) GlobalFree(memory_);
    memory_ = nullptr;
  }

 private:
  HGLOBAL memory_;
};

class LockedGlobal {
 public:
  explicit LockedGlobal(HGLOBAL memory)
      : memory_(memory), data_(memory ? static_cast<char*>(GlobalLock(memory)) : nullptr) {}
  ~LockedGlobal() {
    if (data_) GlobalUnlock(memory_);
  }
  LockedGlobal(const LockedGlobal&) = delete;
  LockedGlobal& operator=(const LockedGlobal&) = delete;

  char* data() const { return data_; }

 private:
  HGLOBAL memory_;
  char* data_;
};

struct SelectedSpan {
  int start;
  int count;
};

// Selection ends are kept within the text, but a copy must never read past it
// whatever they hold.
SelectedSpan Selected(const HEditInfo* info) {
  const int length = TextLength(info);
  auto clamp = [length](int position) {
    return position < 0 ? 0 : position > length ? length : position;
  };
  const int anchor = clamp(info->anchor);
  const int caret = clamp(info->caret);
  return {anchor < caret ? anchor : caret, anchor < caret ? caret - anchor : anchor - caret};
}

struct ClipboardCopy {
  LRESULT result;  // 0 when the clipboard could not be opened, else CloseClipboard's
  bool placed;     // the clipboard holds the selection
};

ClipboardCopy PutSelectionOnClipboard(HEditInfo* info) {
  const SelectedSpan span = Selected(info);
  OpenedClipboard clipboard(info->hwnd);
  if (!clipboard.IsOpen()) return {0, false};
  const int size = span.count + 1;
  OwnedGlobal memory(GlobalAlloc(GMEM_DDESHARE | GMEM_ZEROINIT, static_cast<SIZE_T>(size)));
  bool placed = false;
  if (memory) {
    {
      LockedGlobal locked(memory.get());
      if (locked.data()) {
        CopyTextBounded(locked.data(), info->text + span.start, size);
      } else {
        memory.Free();
      }
    }
    if (memory && EmptyClipboard() && SetClipboardData(CF_TEXT, memory.get())) {
      memory.Release();
      placed = true;
    }
  }
  return {clipboard.Close(), placed};
}

// The characters of text (at most length of them, up to a terminator) typed one
// by one. A read-only field takes none of them and keeps its selection.
void InsertCharacters(HEditInfo* info, const char* text, SIZE_T length) {
  if (info->style & HS_READONLY) return;
  if (info->anchor != info->caret) {
    DeleteSelection(info);
    if (info->destroyed) return;
  }
  // A Ctrl+C whose control character never arrived must not swallow the first
  // inserted character; the pending skip stays for the keyboard.
  const bool skipPending = HasState(info, HES_SKIPCHAR);
  ClearState(info, HES_SKIPCHAR);
  SendMessageA(info->hwnd, WM_SETREDRAW, FALSE, 0);
  if (info->destroyed) return;
  for (SIZE_T i = 0; i < length && text[i] != '\0'; ++i) {
    TypeCharacter(info, text[i]);
    if (info->destroyed) return;
  }
  PutState(info, HES_SKIPCHAR, skipPending);
  SendMessageA(info->hwnd, WM_SETREDRAW, TRUE, 0);
  if (info->destroyed) return;
  InvalidateRect(info->hwnd, nullptr, TRUE);
}

}  // namespace

LRESULT CopyToClipboard(HEditInfo* info) {
  if (info->style & ES_PASSWORD) {
    MessageBeep(0);
    return 0;
  }
  if (Selected(info).count == 0) return 1;
  return PutSelectionOnClipboard(info).result;
}

LRESULT CutToClipboard(HEditInfo* info) {
  if (info->style & (ES_PASSWORD | HS_READONLY)) {
    MessageBeep(0);
    return 0;
  }
  if (Selected(info).count == 0) return 1;
  // What the clipboard did not take is not deleted either.
  if (!PutSelectionOnClipboard(info).placed) return 0;
  DeleteSelection(info);
  return 1;
}

LRESULT PasteFromClipboard(HEditInfo* info) {
  OpenedClipboard clipboard(info->hwnd);
  if (!clipboard.IsOpen()) return 0;
  if (IsClipboardFormatAvailable(CF_TEXT)) {
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      LockedGlobal locked(data);
      // Another program's text is read no further than its memory reaches.
      if (locked.data()) InsertCharacters(info, locked.data(), GlobalSize(data));
    }
  }
  return clipboard.Close();
}

LRESULT CopySelection(HEditInfo* info, int capacity, char* buffer) {
  if (!buffer || !info->text) return 1;
  const SelectedSpan span = Selected(info);
  const int size = span.count + 1;
  // The capacity arrives as an unsigned WPARAM: a "negative" one is a large one.
  const int bound = capacity < 0 || capacity > size ? size : capacity;
  CopyTextBounded(buffer, info->text + span.start, bound);
  return 1;
}

void InsertTextAsTyped(HEditInfo* info, const char* text) {
  if (!text) return;
  InsertCharacters(info, text, static_cast<SIZE_T>(-1));
}

}  // namespace quillet
