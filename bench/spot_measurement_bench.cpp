// Cost of the spot measurement, once per pass of the frame loop while it is
// switched on, next to the nearest-neighbour resize yardstick. The frames are
// camera-like: a dark field with sensor noise and one spot or one ring.
// "stream" is the loop's case, one meter measuring frame after frame (it
// follows a spot it found and searches the frame every few passes), and
// "take" the part of it that the loop's own thread pays;
// "search" is the whole-frame search that a first frame or a snapshot costs.

#include <cmath>
#include <string>

#include "bench/yardstick.h"
#include "overlay/spot_measurement.h"

namespace {

enum class Light { Spot, Ring, Nothing };

cv::Mat cameraLikeFrame(int width, int height, Light light) {
  cv::Mat frame(height, width, CV_8UC3);
  cv::randn(frame, cv::Scalar::all(24), cv::Scalar::all(4));
  const cv::Point center(width * 3 / 5, height * 2 / 5);
  if (light == Light::Spot) cv::circle(frame, center, 12, cv::Scalar::all(220), cv::FILLED, cv::LINE_AA);
  if (light == Light::Ring) cv::circle(frame, center, 300, cv::Scalar::all(180), 8, cv::LINE_AA);
  return frame;
}

cv::Mat benchFrame(const benchmark::State& state) {
  return cameraLikeFrame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                         static_cast<Light>(state.range(2)));
}

void MeasureStreamBench(benchmark::State& state) {
  const cv::Mat frame = benchFrame(state);
  SpotMeter meter;
  for (auto _ : state) {
    auto spot = meter.measure(frame);
    benchmark::DoNotOptimize(spot);
  }
}

// The loop thread's part of "stream": taking the sample, frame after frame;
// the rest runs on the measuring thread while the loop waits.
void MeasureTakeBench(benchmark::State& state) {
  const cv::Mat frame = benchFrame(state);
  SpotMeter meter;
  SpotSample sample;
  for (auto _ : state) {
    meter.take(frame, sample);
    state.PauseTiming();
    auto spot = meter.measureSample(sample);
    benchmark::DoNotOptimize(spot);
    state.ResumeTiming();
  }
}

void MeasureSearchBench(benchmark::State& state) {
  const cv::Mat frame = benchFrame(state);
  for (auto _ : state) {
    auto spot = measureSpot(frame);
    benchmark::DoNotOptimize(spot);
  }
}

const bool registered = [] {
  const std::pair<Light, const char*> lights[] = {
      {Light::Spot, "spot"}, {Light::Ring, "ring"}, {Light::Nothing, "nothing"}};
  const std::pair<void (*)(benchmark::State&), const char*> kinds[] = {
      {MeasureStreamBench, "stream"}, {MeasureTakeBench, "take"}, {MeasureSearchBench, "search"}};
  for (const auto& [bench, kind] : kinds)
    for (const auto& [light, name] : lights)
      for (const auto& size : cameraFrameSizes)
        benchmark::RegisterBenchmark(("MeasureSpot/" + std::string(kind) + "/" + name + "/" +
                                      std::to_string(size.width) + "x" + std::to_string(size.height))
                                         .c_str(),
                                     bench)
            ->Args({size.width, size.height, static_cast<int>(light)})
            ->Unit(benchmark::kMicrosecond);
  registerNearestResize();
  return true;
}();

}  // namespace
