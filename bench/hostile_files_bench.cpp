// How long opening the camera spends on a hostile config4k.txt or focus.txt:
// 100 MB of digits must cost one streaming pass at most, so the camera still
// opens promptly. Zeros are the worst case for the overlay file (leading
// zeros never end a value); a long fraction is the worst for the focus file.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/yardstick.h"
#include "params/parameter_files.h"

namespace {

constexpr std::size_t hundredMegabytes = 100u << 20;

// A file of `count` copies of `fill` after `head`, then `tail`; removed at exit.
class LargeFile {
 public:
  LargeFile(const char* name, std::string_view head, char fill, std::string_view tail)
      : path_(std::filesystem::temp_directory_path() / (name + std::to_string(::getpid()))) {
    std::ofstream out(path_, std::ios::binary);
    out << head;
    const std::string block(1 << 20, fill);
    for (std::size_t left = hundredMegabytes; left > 0; left -= block.size()) out << block;
    out << tail;
  }
  LargeFile(const LargeFile&) = delete;
  LargeFile& operator=(const LargeFile&) = delete;
  ~LargeFile() { std::remove(path_.c_str()); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void OverlayFileOfZeros(benchmark::State& state) {
  const LargeFile file("varnix-bench-zeros-", "", '0', "321 2");
  for (auto _ : state) {
    OverlayRecords records;
    loadOverlayParameters(file.path(), records);
    if (records.circle1.radius != 321) state.SkipWithError("the value after the zeros was not read");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(hundredMegabytes));
}

void OverlayFileOfNines(benchmark::State& state) {
  const LargeFile file("varnix-bench-nines-", "", '9', "");
  for (auto _ : state) {
    OverlayRecords records;
    loadOverlayParameters(file.path(), records);
    benchmark::DoNotOptimize(records.circle1.radius);
  }
}

void FocusFileOfFractionDigits(benchmark::State& state) {
  const LargeFile file("varnix-bench-fraction-", "960.", '5', " 540");
  for (auto _ : state) {
    FocusPoint point;
    loadFocusPoint(file.path(), point);
    if (point.y != 540.0f) state.SkipWithError("the value after the fraction was not read");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(hundredMegabytes));
}

const bool registered = [] {
  registerNearestResize();
  benchmark::RegisterBenchmark("LoadOverlayParameters/100MBZeros", OverlayFileOfZeros)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("LoadOverlayParameters/100MBNines", OverlayFileOfNines)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("LoadFocusPoint/100MBFraction", FocusFileOfFractionDigits)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
