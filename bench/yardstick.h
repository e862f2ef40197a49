#pragma once

// Shared by the benchmarks: the camera frame sizes and the yardstick that
// every benchmark executable measures in the same run, a nearest-neighbour
// resize of the whole frame to the picture size of the video window.

#include <benchmark/benchmark.h>

#include <array>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

struct FrameSize {
  int width;
  int height;
};

inline constexpr std::array<FrameSize, 3> cameraFrameSizes = {{{4000, 3000}, {3840, 2160}, {3264, 2448}}};

// The picture control's size in a fresh video window at 4:3.
inline constexpr int yardstickWidth = 884;
inline constexpr int yardstickHeight = 663;

// A frame with content everywhere, so no step can skip work on flat data.
inline cv::Mat makeBenchFrame(int width, int height) {
  cv::Mat frame(height, width, CV_8UC3);
  cv::randu(frame, cv::Scalar::all(0), cv::Scalar::all(256));
  return frame;
}

// The yardstick's loop: a frame of range(0) x range(1) resized to `target`.
inline void nearestResizeTo(benchmark::State& state, cv::Size target) {
  const cv::Mat frame = makeBenchFrame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  cv::Mat out;
  for (auto _ : state) {
    cv::resize(frame, out, target, 0, 0, cv::INTER_NEAREST);
    benchmark::DoNotOptimize(out.data);
  }
}

inline void NearestResize(benchmark::State& state) {
  nearestResizeTo(state, cv::Size(yardstickWidth, yardstickHeight));
}

// Registers NearestResize for every camera frame size; call once per executable.
inline void registerNearestResize() {
  for (const auto& size : cameraFrameSizes)
    benchmark::RegisterBenchmark(
        ("NearestResize/" + std::to_string(size.width) + "x" + std::to_string(size.height)).c_str(),
        NearestResize)
        ->Args({size.width, size.height})
        ->Unit(benchmark::kMicrosecond);
}
