// The edit control takes every record, buffer and temporary string from its own
// storage; against the C library's allocator, the control's pattern of use must
// stay cheaper. One iteration of the session is a whole session: 50 controls
// created, a hundred rounds of typing in each (short-lived display strings, now
// and then a longer text), then every control destroyed.
#include <cstdlib>
#include <cstring>

#include "bench/ratio_reporter.h"
#include "bench/sub_alloc_pattern.h"

namespace {

using namespace sub_alloc_pattern;

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
