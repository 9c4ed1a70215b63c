// Every repaint of a grid formats each visible cell, and every commit of an edit
// parses one back; against the C run-time's own conversions, which do less (no
// masks, no grouping), masked formatting should cost no more and parsing little more.
// Each pair converts the same values per iteration, so the ratios compare like with
// like.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iterator>

#include "bench/ratio_reporter.h"
#include "quillet/format/format_data.h"
#include "quillet/format/parse_data.h"

namespace {

// Amounts as a ledger shows them: fractions, thousands, negatives, millions.
constexpr double kAmounts[] = {0.5, 12.34, 1234.5, -98765.432, 1e7 + 0.25};

// Stored as yyyymmdd, storage code 'l'.
constexpr int kDates[] = {20241225, 19991231, 20000229, 18720704, 20380119};

// The same amounts as typed with grouping, and as the run-time reads them without.
constexpr const char* kTypedAmounts[] = {"0.50", "12.34", "1,234.50", "-98,765.432",
                                         "10,000,000.25"};
constexpr const char* kPlainAmounts[] = {"0.50", "12.34", "1234.50", "-98765.432", "10000000.25"};

constexpr int kOutputSize = 64;

void BM_FormatAmount(benchmark::State& state) {
  char output[kOutputSize];
  for (auto _ : state) {
    for (const double& amount : kAmounts) {
      benchmark::DoNotOptimize(
          quillet::FormatData(&amount, 'n', 'd', "#,##0.00", output, kOutputSize, nullptr, false));
      benchmark::DoNotOptimize(output);
    }
  }
  state.SetItemsProcessed(state.iterations() * std::size(kAmounts));
}
BENCHMARK(BM_FormatAmount);

void BM_FormatAmount_Baseline(benchmark::State& state) {
  char output[kOutputSize];
  for (auto _ : state) {
    for (double amount : kAmounts) {
      // Keeps the compiler from folding the conversion of a constant.
      benchmark::DoNotOptimize(amount);
      benchmark::DoNotOptimize(std::snprintf(output, kOutputSize, "%.2f", amount));
      benchmark::DoNotOptimize(output);
    }
  }
  state.SetItemsProcessed(state.iterations() * std::size(kAmounts));
}
BENCHMARK(BM_FormatAmount_Baseline);

void BM_FormatDate(benchmark::State& state) {
  char output[kOutputSize];
  for (auto _ : state) {
    for (const int& date : kDates) {
      benchmark::DoNotOptimize(
          quillet::FormatData(&date, 'd', 'l', "dd/mm/yyyy", output, kOutputSize, nullptr, false));
      benchmark::DoNotOptimize(output);
    }
  }
  state.SetItemsProcessed(state.iterations() * std::size(kDates));
}
BENCHMARK(BM_FormatDate);

// Without a mask the layout comes from the international settings ("m/d/yyyy" by
// default), which adds building the effective mask to every call.
void BM_FormatDateDefaultLayout(benchmark::State& state) {
  char output[kOutputSize];
  for (auto _ : state) {
    for (const int& date : kDates) {
      benchmark::DoNotOptimize(
          quillet::FormatData(&date, 'd', 'l', "", output, kOutputSize, nullptr, false));
      benchmark::DoNotOptimize(output);
    }
  }
  state.SetItemsProcessed(state.iterations() * std::size(kDates));
}
BENCHMARK(BM_FormatDateDefaultLayout);

// The run-time needs the date split into a struct tm first; the split is part of
// the work, as it is for the stored yyyymmdd value.
std::tm SplitDate(int date) {
  std::tm parts{};
  parts.tm_year = date / 10000 - 1900;
  parts.tm_mon = date / 100 % 100 - 1;
  parts.tm_mday = date % 100;
  return parts;
}

void BM_FormatDate_Baseline(benchmark::State& state) {
  char output[kOutputSize];
  for (auto _ : state) {
    for (int date : kDates) {
      benchmark::DoNotOptimize(date);
      const std::tm parts = SplitDate(date);
      benchmark::DoNotOptimize(std::strftime(output, kOutputSize, "%d/%m/%Y", &parts));
      benchmark::DoNotOptimize(output);
    }
  }
  state.SetItemsProcessed(state.iterations() * std::size(kDates));
}
BENCHMARK(BM_FormatDate_Baseline);

void BM_FormatDateDefaultLayout_Baseline(benchmark::State& state) {
  char output[kOutputSize];
  for (auto _ : state) {
    for (int date : kDates) {
      benchmark::DoNotOptimize(date);
      const std::tm parts = SplitDate(date);
      benchmark::DoNotOptimize(std::strftime(output, kOutputSize, "%-m/%-d/%Y", &parts));
      benchmark::DoNotOptimize(output);
    }
  }
  state.SetItemsProcessed(state.iterations() * std::size(kDates));
}
BENCHMARK(BM_FormatDateDefaultLayout_Baseline);

void BM_ParseAmount(benchmark::State& state) {
  double number = 0;
  for (auto _ : state) {
    for (const char* text : kTypedAmounts) {
      benchmark::DoNotOptimize(quillet::ParseData(&number, 'n', 'd', "#,##0.00", text, false));
      benchmark::DoNotOptimize(number);
    }
  }
  state.SetItemsProcessed(state.iterations() * std::size(kTypedAmounts));
}
BENCHMARK(BM_ParseAmount);

void BM_ParseAmount_Baseline(benchmark::State& state) {
  double number = 0;
  for (auto _ : state) {
    for (const char* text : kPlainAmounts) {
      benchmark::DoNotOptimize(text);
      number = std::strtod(text, nullptr);
      benchmark::DoNotOptimize(number);
    }
  }
  state.SetItemsProcessed(state.iterations() * std::size(kPlainAmounts));
}
BENCHMARK(BM_ParseAmount_Baseline);

}  // namespace

QUORVAN_BENCHMARK_MAIN()
