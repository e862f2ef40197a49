// Cost of drawing the full overlay into a camera frame, once per pass of the
// frame loop, next to the nearest-neighbour resize yardstick.

#include <string>

#include "bench/yardstick.h"
#include "overlay/draw_overlay.h"

namespace {

OverlayRecords fullOverlay() {
  OverlayRecords records;
  const int radii[] = {1500, 1000, 500};
  OverlayCircle* circles[] = {&records.circle1, &records.circle2, &records.circle3};
  for (int i = 0; i < 3; ++i) {
    circles[i]->enabled = 1;
    circles[i]->radius = radii[i];
    circles[i]->thickness = 4;
  }
  records.circle1.drawColor = cv::Scalar(0, 255, 0, 0);
  records.circle2.drawColor = cv::Scalar(0, 0, 255, 0);
  records.circle3.drawColor = cv::Scalar(255, 0, 0, 0);
  records.crosshair.enabled = 1;
  records.crosshair.length = 1500;
  records.crosshair.thickness = 4;
  records.crosshair.angle = 450;  // diagonal lines are the slowest to anti-alias
  records.crosshair.drawColor = cv::Scalar(255, 0, 255, 0);
  return records;
}

void DrawOverlayBench(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  cv::Mat frame = makeBenchFrame(width, height);
  const OverlayRecords records = fullOverlay();
  const FocusPoint focus{width / 2.0f, height / 2.0f};
  for (auto _ : state) {
    DrawOverlay(frame, records, focus);
    benchmark::DoNotOptimize(frame.data);
    benchmark::ClobberMemory();
  }
}

const bool registered = [] {
  for (const auto& size : cameraFrameSizes)
    benchmark::RegisterBenchmark(
        ("DrawOverlay/" + std::to_string(size.width) + "x" + std::to_string(size.height)).c_str(),
        DrawOverlayBench)
        ->Args({size.width, size.height})
        ->Unit(benchmark::kMicrosecond);
  registerNearestResize();
  return true;
}();

}  // namespace
