#pragma once
// Timing for the benchmarks: our code and the bare platform calls doing the
// same work, measured alternately in one process; the ratio (ours / bare) is
// the median over the rounds, so a slow moment of the machine counts once.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class Work>
double Timed(Work work) {
  double start = Now();
  work();
  return Now() - start;
}

struct Result {
  const char* what;
  std::vector<double> ours, bare;
};

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

inline void PrintHeader() { printf("%-58s %12s %12s %6s\n", "work", "ours", "bare", "ratio"); }

inline void Report(const Result& r) {
  std::vector<double> ratios;
  for (size_t i = 0; i < r.ours.size() && i < r.bare.size(); ++i)
    if (r.bare[i] > 0) ratios.push_back(r.ours[i] / r.bare[i]);
  printf("%-58s %9.1f ms %9.1f ms %6.2f\n", r.what, Median(r.ours) * 1000, Median(r.bare) * 1000, Median(ratios));
}

}  // namespace bench
