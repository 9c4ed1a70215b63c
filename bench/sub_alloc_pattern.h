// The edit control's pattern of use of its storage, shared by the native and the
// Windows allocator benchmarks: a session of 50 controls, and one focused control
// being typed into. Storage is any type with static Alloc, Free and ReAlloc.
#pragma once

#include <cstddef>
#include <cstring>

#include "quillet/edit/sub_alloc.h"

namespace sub_alloc_pattern {

// Keeps the compiler from dropping the writes to a chunk before it is freed.
inline void* volatile g_sink;
inline void Sink(void* p) { g_sink = p; }

inline constexpr int kControls = 50;
inline constexpr int kRounds = 100;

// Sizes of the temporaries made while typing: display and password strings of
// 20 to 200 bytes.
struct TemporarySizes {
  long sizes[64];
  TemporarySizes() {
    unsigned state = 12345;
    for (long& size : sizes) {
      state = state * 1103515245u + 12345u;
      size = 20 + static_cast<long>((state >> 16) % 181);
    }
  }
};
inline const TemporarySizes kTemporaries;

struct Control {
  void* record;
  char* mask;
  void* value;
  char* text;
  char* undoText;
  long textSize;
};

template <class Storage>
void Session(Control* controls) {
  static const char kMask[] = "#,##0.00;-#,##0";
  static const char kText[] = "1,234.50";
  for (int i = 0; i < kControls; ++i) {
    Control& c = controls[i];
    c.record = Storage::Alloc(200);
    c.mask = static_cast<char*>(Storage::Alloc(sizeof kMask));
    std::memcpy(c.mask, kMask, sizeof kMask);
    c.value = Storage::Alloc(8);
    c.textSize = 40;
    c.text = static_cast<char*>(Storage::Alloc(c.textSize));
    std::memcpy(c.text, kText, sizeof kText);
    c.undoText = static_cast<char*>(Storage::Alloc(sizeof kText));
    std::memcpy(c.undoText, c.text, sizeof kText);
  }
  unsigned next = 0;
  for (int round = 0; round < kRounds; ++round) {
    for (int i = 0; i < kControls; ++i) {
      Control& c = controls[i];
      for (int t = 0; t < 2; ++t) {
        const long size = kTemporaries.sizes[next++ % 64];
        char* temporary = static_cast<char*>(Storage::Alloc(size));
        std::memset(temporary, '*', static_cast<std::size_t>(size - 1));
        Sink(temporary);
        Storage::Free(temporary);
      }
      if (round % 8 == 7) {
        c.textSize += 32;
        c.text = static_cast<char*>(Storage::ReAlloc(c.text, c.textSize));
      }
    }
  }
  for (int i = 0; i < kControls; ++i) {
    Control& c = controls[i];
    Sink(c.text);
    Storage::Free(c.undoText);
    Storage::Free(c.text);
    Storage::Free(c.value);
    Storage::Free(c.mask);
    Storage::Free(c.record);
  }
}

// A single control with the focus, typed into from empty to 200 characters: each
// keystroke makes the display copy of the text (its length + 1 bytes) twice and
// frees it, and the text grows by 32 bytes whenever it is full.
template <class Storage>
void Typing(Control* controls) {
  Control& c = controls[0];
  c.record = Storage::Alloc(200);
  c.mask = static_cast<char*>(Storage::Alloc(16));
  c.value = Storage::Alloc(8);
  c.textSize = 40;
  c.text = static_cast<char*>(Storage::Alloc(c.textSize));
  c.undoText = static_cast<char*>(Storage::Alloc(1));
  for (long length = 1; length <= 200; ++length) {
    if (length + 1 > c.textSize) {
      c.textSize += 32;
      c.text = static_cast<char*>(Storage::ReAlloc(c.text, c.textSize));
    }
    c.text[length - 1] = '7';
    for (int t = 0; t < 2; ++t) {
      char* temporary = static_cast<char*>(Storage::Alloc(length + 1));
      std::memset(temporary, '*', static_cast<std::size_t>(length));
      Sink(temporary);
      Storage::Free(temporary);
    }
  }
  Storage::Free(c.undoText);
  Storage::Free(c.text);
  Storage::Free(c.value);
  Storage::Free(c.mask);
  Storage::Free(c.record);
}

struct ControlStorage {
  static void* Alloc(long size) { return quillet::SubAlloc(size); }
  static void Free(void* p) { quillet::SubFree(p); }
  static void* ReAlloc(void* p, long size) { return quillet::SubReAlloc(p, size); }
};

}  // namespace sub_alloc_pattern
