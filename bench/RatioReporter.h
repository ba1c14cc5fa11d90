// Console output of Google Benchmark plus two closing tables.
//
// Ratios: each benchmark's time divided by the time of its group's baseline, measured in the
// same run. Names read "<group>:<case>"; the baseline is the case whose name starts with
// "baseline". Ratios, not absolute times, are what budgets are stated in, since the machines
// that run them are noisy.
//
// Budgets: each registered budget (AddBudget, usually from a static initialiser next to the
// benchmarks it concerns) compares one case with another case of the same run, or a counter
// with a fixed limit, and prints the measured figure and whether the budget holds. With
// --benchmark_repetitions, a case's figure is the median of its repetitions. Times are CPU
// times of the benchmark's thread, except for cases that ask for real or manual time.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kesmar::bench {

struct Budget {
  std::string text;      // what the budget says, printed as it is
  std::string subject;   // the full name of the measured case
  std::string baseline;  // the full name of the case it is compared with; empty: absolute
  double limit = 1.0;    // ratio (or counter value, without a baseline) the figure must keep
  bool atMost = true;    // the figure must be <= limit (true) or >= limit (false)
  std::string counter;   // empty: time per iteration; else this user counter's value
  double unit = 1.0;     // without a baseline: the figure is the counter's value / unit
};

inline std::vector<Budget>& Budgets() {
  static std::vector<Budget> budgets;
  return budgets;
}

// Registers a budget; returns true so it can initialise a namespace-scope constant.
inline bool AddBudget(std::string text, std::string subject, std::string baseline, double limit,
                      bool atMost = true, std::string counter = {}, double unit = 1.0) {
  Budgets().push_back(Budget{std::move(text), std::move(subject), std::move(baseline), limit,
                             atMost, std::move(counter), unit});
  return true;
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const std::string name = CaseName(run.benchmark_name());
      if (m_samples.find(name) == m_samples.end()) m_order.push_back(name);
      Samples& samples = m_samples[name];
      // A case that asks for real (or manual) time is measured across threads or waits;
      // every other case by this thread's CPU time, which other processes on a shared
      // machine disturb far less.
      const bool realTime = run.benchmark_name().find("/real_time") != std::string::npos ||
                            run.benchmark_name().find("/manual_time") != std::string::npos;
      samples.time.push_back(realTime ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime());
      for (const auto& [counter, value] : run.counters) {
        samples.counters[counter].push_back(value.value);
      }
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::map<std::string, double> baselines;
    for (const std::string& name : m_order) {
      const auto colon = name.find(':');
      if (colon != std::string::npos && name.compare(colon + 1, 8, "baseline") == 0) {
        baselines.emplace(name.substr(0, colon), Median(m_samples[name].time));
      }
    }
    std::printf("\n%-72s %10s\n", "ratio to the group's baseline (median)", "ratio");
    for (const std::string& name : m_order) {
      const auto baseline = baselines.find(name.substr(0, name.find(':')));
      if (baseline == baselines.end() || baseline->second <= 0) continue;
      std::printf("%-72s %10.3f\n", name.c_str(), Median(m_samples[name].time) / baseline->second);
    }
    PrintBudgets();
  }

 private:
  struct Samples {
    std::vector<double> time;
    std::map<std::string, std::vector<double>> counters;
  };

  // The name as registered, without the suffixes Google Benchmark appends for options
  // (/min_time:, /iterations:, /repeats:, /real_time, /manual_time).
  static std::string CaseName(std::string name) {
    for (const char* suffix :
         {"/min_time:", "/iterations:", "/repeats:", "/real_time", "/manual_time"}) {
      const auto at = name.find(suffix);
      if (at == std::string::npos) continue;
      const auto next = name.find('/', at + 1);
      name.erase(at, next == std::string::npos ? std::string::npos : next - at);
    }
    return name;
  }

  static double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  }

  // The budget's figure for one case; false when the case did not run.
  bool Figure(const std::string& name, const std::string& counter, double& figure) {
    const auto found = m_samples.find(name);
    if (found == m_samples.end()) return false;
    if (counter.empty()) {
      figure = Median(found->second.time);
      return true;
    }
    const auto values = found->second.counters.find(counter);
    if (values == found->second.counters.end()) return false;
    figure = Median(values->second);
    return true;
  }

  void PrintBudgets() {
    bool header = false;
    for (const Budget& budget : Budgets()) {
      double subject = 0.0;
      double baseline = budget.unit;
      if (!Figure(budget.subject, budget.counter, subject)) continue;
      if (!budget.baseline.empty() && (!Figure(budget.baseline, budget.counter, baseline) ||
                                       baseline <= 0)) {
        continue;
      }
      if (!header) {
        std::printf("\n%-72s %10s %s\n", "budget", "measured", "verdict");
        header = true;
      }
      const double figure = subject / baseline;
      const bool holds = budget.atMost ? figure <= budget.limit : figure >= budget.limit;
      std::printf("%-72s %9.2f%s %s\n", budget.text.c_str(), figure,
                  budget.baseline.empty() ? " " : "x", holds ? "holds" : "FAILS");
    }
  }

  std::vector<std::string> m_order;
  std::map<std::string, Samples> m_samples;
};

}  // namespace kesmar::bench
