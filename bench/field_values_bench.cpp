// Moving and comparing field values happens on every keystroke and commit of an
// edit control; against plain memcpy/memcmp the dispatch on the codes must stay
// cheap.
#include <cstring>

#include "bench/ratio_reporter.h"
#include "quillet/format/field_types.h"
#include "quillet/format/mask_colors.h"

namespace {

void BM_CopyValueDouble(benchmark::State& state) {
  double source = 3.25, destination = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(quillet::CopyValue(&destination, &source, 'n', 'd', 0));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyValueDouble);

void BM_CopyValueDouble_Baseline(benchmark::State& state) {
  double source = 3.25, destination = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(&source);
    std::memmove(&destination, &source, sizeof source);
    benchmark::DoNotOptimize(destination);
  }
}
BENCHMARK(BM_CopyValueDouble_Baseline);

void BM_CompareValuesText(benchmark::State& state) {
  const char a[] = "The quick brown fox jumps", b[] = "The quick brown fox jumpz";
  for (auto _ : state) benchmark::DoNotOptimize(quillet::CompareValues(a, b, 's', 's'));
}
BENCHMARK(BM_CompareValuesText);

void BM_CompareValuesText_Baseline(benchmark::State& state) {
  char a[] = "The quick brown fox jumps", b[] = "The quick brown fox jumpz";
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
    benchmark::DoNotOptimize(std::strcmp(a, b) != 0);
  }
}
BENCHMARK(BM_CompareValuesText_Baseline);

void BM_ExtractMaskColors(benchmark::State& state) {
  for (auto _ : state) {
    char mask[] = "[red]#,##0.00;[blue]-#,##0.00";
    quillet::ColorRef positive = 0, negative = 0;
    benchmark::DoNotOptimize(quillet::ExtractMaskColors(&positive, &negative, mask));
  }
}
BENCHMARK(BM_ExtractMaskColors);

void BM_ExtractMaskColors_Baseline(benchmark::State& state) {
  for (auto _ : state) {
    char mask[] = "[red]#,##0.00;[blue]-#,##0.00";
    benchmark::DoNotOptimize(mask);
    benchmark::DoNotOptimize(std::strlen(mask));
  }
}
BENCHMARK(BM_ExtractMaskColors_Baseline);

}  // namespace

QUORVAN_BENCHMARK_MAIN()
