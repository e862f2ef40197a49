#pragma once

// Resident memory of this process over a soak run, and the verdict on its
// growth.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

// VmRSS of this process in KiB, from /proc/self/status.
inline std::optional<long> residentKiB() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return std::nullopt;
  std::optional<long> kib;
  char line[256] = {};
  while (std::fgets(line, sizeof line, status) != nullptr) {
    long value = 0;
    if (std::strncmp(line, "VmRSS:", 6) == 0 && std::sscanf(line + 6, "%ld", &value) == 1) kib = value;
  }
  std::fclose(status);
  return kib;
}

struct MemorySample {
  int atSeconds = 0;
  long kib = 0;
};

// The first minute lets caches, pools and the first capture runs settle;
// growth is measured against the sample taken at its end.
struct GrowthReport {
  std::optional<MemorySample> baseline;  // the first sample at or after 60 s
  long maxAfterBaselineKiB = 0;
  long lastMinuteMaxKiB = 0;
  double growthPercent = 0.0;  // of the maximum after the baseline over the baseline
};

inline GrowthReport growthOf(const std::vector<MemorySample>& samples, int settleSeconds = 60) {
  GrowthReport report;
  const auto first = std::find_if(samples.begin(), samples.end(),
                                  [&](const MemorySample& s) { return s.atSeconds >= settleSeconds; });
  if (first == samples.end()) return report;
  report.baseline = *first;
  const int end = samples.back().atSeconds;
  for (auto s = first; s != samples.end(); ++s) {
    report.maxAfterBaselineKiB = std::max(report.maxAfterBaselineKiB, s->kib);
    if (s->atSeconds >= end - 60) report.lastMinuteMaxKiB = std::max(report.lastMinuteMaxKiB, s->kib);
  }
  report.growthPercent =
      100.0 * static_cast<double>(report.maxAfterBaselineKiB - first->kib) / static_cast<double>(first->kib);
  return report;
}
