// Timing helpers shared by the benchmarks: a fine clock and the figures of
// a set of repetitions.
#ifndef SCENERY_SETUP_BENCH_BENCH_UTIL_H_
#define SCENERY_SETUP_BENCH_BENCH_UTIL_H_

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Min(std::vector<double> v) { return *std::min_element(v.begin(), v.end()); }

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The value below which the fraction `q` of `v` lies (nearest rank).
inline double Quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  std::size_t rank = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(rank, v.size() - 1)];
}

// One figure line: "name: value (goal: ..., met)" or "(goal: ..., MISSED)".
inline void Figure(const std::string& name, const std::string& value, const std::string& goal,
                   bool met) {
  std::printf("%s: %s (goal: %s, %s)\n", name.c_str(), value.c_str(), goal.c_str(),
              met ? "met" : "MISSED");
  std::fflush(stdout);
}

inline std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

inline std::string Times(const std::vector<double>& ours, const std::vector<double>& bare) {
  return "ours min " + Fixed(Min(ours) * 1000, 2) + " ms, median " + Fixed(Median(ours) * 1000, 2) +
         " ms; baseline min " + Fixed(Min(bare) * 1000, 2) + " ms, median " +
         Fixed(Median(bare) * 1000, 2) + " ms";
}

}  // namespace bench

#endif  // SCENERY_SETUP_BENCH_BENCH_UTIL_H_
