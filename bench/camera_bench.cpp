// How fast the simulated camera delivers frames with pacing off: it stands in
// for the camera in the demonstrations and the soak test, so it must keep well
// ahead of the 30 frames per second a real one gives.

#include <benchmark/benchmark.h>

#include <opencv2/videoio.hpp>
#include <string>

#include "bench/yardstick.h"
#include "camera/simulated_camera.h"

namespace {

void SimulatedCameraRead(benchmark::State& state) {
  SimulatedCameraOptions options;
  options.pacing = false;
  SimulatedCamera camera(options);
  if (!camera.open() || !camera.set(cv::CAP_PROP_FRAME_WIDTH, static_cast<double>(state.range(0))) ||
      !camera.set(cv::CAP_PROP_FRAME_HEIGHT, static_cast<double>(state.range(1)))) {
    state.SkipWithError("the simulated camera did not open");
    return;
  }
  cv::Mat frame;
  // The first frame draws the picture for this size; time the frames after it.
  if (!camera.read(frame)) state.SkipWithError("no first frame");
  for (auto _ : state) {
    if (!camera.read(frame)) state.SkipWithError("a read failed");
    benchmark::DoNotOptimize(frame.data);
  }
  state.SetItemsProcessed(state.iterations());  // items per second = frames per second
}

const bool registered = [] {
  registerNearestResize();
  for (const auto& size : cameraFrameSizes)
    benchmark::RegisterBenchmark(
        ("SimulatedCamera/" + std::to_string(size.width) + "x" + std::to_string(size.height)).c_str(),
        SimulatedCameraRead)
        ->Args({size.width, size.height})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  return true;
}();

}  // namespace
