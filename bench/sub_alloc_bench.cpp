// The edit control takes every record, buffer and temporary string from its own
// storage; against the C library's allocator, the control's pattern of use must
// stay cheaper. One iteration of the session is a whole session: 50 controls
// created, a hundred rounds of typing in each (short-lived display strings, now
// and then a longer text), then every control destroyed.
#include <cstdlib>
#include <cstring>

#include "bench/ratio_reporter.h"
#include "quillet/edit/sub_alloc.h"

namespace {

constexpr int kControls = 50;
constexpr int kRounds = 100;

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
const TemporarySizes kTemporaries;

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
        benchmark::DoNotOptimize(temporary);
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
    benchmark::DoNotOptimize(c.text[0]);
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
      benchmark::DoNotOptimize(temporary);
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

struct LibraryStorage {
  static void* Alloc(long size) { return std::calloc(1, static_cast<std::size_t>(size)); }
  static void Free(void* p) { std::free(p); }
  static void* ReAlloc(void* p, long size) {
    return std::realloc(p, static_cast<std::size_t>(size));
  }
};

void BM_EditControlSession(benchmark::State& state) {
  Control controls[kControls];
  for (auto _ : state) Session<ControlStorage>(controls);
  if (quillet::SubLiveHeapCount() != 0) state.SkipWithError("blocks left behind");
}
BENCHMARK(BM_EditControlSession);

void BM_EditControlSession_Baseline(benchmark::State& state) {
  Control controls[kControls];
  for (auto _ : state) Session<LibraryStorage>(controls);
}
BENCHMARK(BM_EditControlSession_Baseline);

void BM_FocusedControlTyping(benchmark::State& state) {
  Control controls[1];
  for (auto _ : state) Typing<ControlStorage>(controls);
  if (quillet::SubLiveHeapCount() != 0) state.SkipWithError("blocks left behind");
}
BENCHMARK(BM_FocusedControlTyping);

void BM_FocusedControlTyping_Baseline(benchmark::State& state) {
  Control controls[1];
  for (auto _ : state) Typing<LibraryStorage>(controls);
}
BENCHMARK(BM_FocusedControlTyping_Baseline);

}  // namespace

QUORVAN_BENCHMARK_MAIN();
