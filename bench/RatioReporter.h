// Console output of Google Benchmark plus a closing table of ratios: each benchmark's time
// divided by the time of its group's baseline, measured in the same run. Names read
// "<group>:<case>"; the baseline is the case whose name starts with "baseline". Ratios, not
// absolute times, are what budgets are stated in, since the machines that run them are noisy.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kesmar::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      m_times.emplace_back(run.benchmark_name(), run.GetAdjustedRealTime());
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::map<std::string, double> baselines;
    for (const auto& [name, time] : m_times) {
      const auto colon = name.find(':');
      if (colon != std::string::npos && name.compare(colon + 1, 8, "baseline") == 0) {
        baselines.emplace(name.substr(0, colon), time);
      }
    }
    std::printf("\n%-64s %10s\n", "ratio to the group's baseline", "ratio");
    for (const auto& [name, time] : m_times) {
      const auto baseline = baselines.find(name.substr(0, name.find(':')));
      if (baseline == baselines.end() || baseline->second <= 0) continue;
      std::printf("%-64s %10.3f\n", name.c_str(), time / baseline->second);
    }
  }

 private:
  std::vector<std::pair<std::string, double>> m_times;
};

}  // namespace kesmar::bench
