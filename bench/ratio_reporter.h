// Benchmarks here come in pairs, "Name" and "Name_Baseline", measured in the same
// run; the report prints each pair's ratio, which stays comparable from machine
// to machine where absolute times do not.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace quorvan::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (!run.error_occurred) times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    const std::string suffix = "_Baseline";
    std::printf("\n%-48s %12s\n", "benchmark / its baseline", "ratio");
    for (const auto& [name, time] : times_) {
      auto cut = name.find(suffix);
      if (cut == std::string::npos) continue;
      std::string ours = name.substr(0, cut) + name.substr(cut + suffix.size());
      auto it = times_.find(ours);
      if (it != times_.end() && time > 0)
        std::printf("%-48s %12.2f\n", ours.c_str(), it->second / time);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace quorvan::bench

#define QUORVAN_BENCHMARK_MAIN()                  \
  int main(int argc, char** argv) {               \
    benchmark::Initialize(&argc, argv);           \
    quorvan::bench::RatioReporter reporter;       \
    benchmark::RunSpecifiedBenchmarks(&reporter); \
    reporter.PrintRatios();                       \
    benchmark::Shutdown();                        \
    return 0;                                     \
  }
