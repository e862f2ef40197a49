// Cost of one pass's crop at every zoom level, next to a nearest-neighbour
// resize of the whole frame measured in the same run.

#include <cstdint>
#include <string>

#include "bench/yardstick.h"
#include "video/crop_viewport.h"

namespace {

void CropViewport(benchmark::State& state, int width, int height, int zoomLevel) {
  const cv::Mat frame = makeBenchFrame(width, height);
  ViewState view{zoomLevel, width / 2, height / 2, width, height};
  cv::Mat viewportImage;
  for (auto _ : state) {
    cropViewport(frame, view, viewportImage);
    benchmark::DoNotOptimize(viewportImage.data);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(viewportImage.total()) *
                          static_cast<std::int64_t>(viewportImage.elemSize()));
}

const bool registered = [] {
  registerNearestResize();
  for (const auto& size : cameraFrameSizes) {
    for (int level : {1, 2, 3, 4, 5, 6, 8}) {
      const std::string name = "CropViewport/" + std::to_string(size.width) + "x" +
                               std::to_string(size.height) + "/level" + std::to_string(level);
      benchmark::RegisterBenchmark(name.c_str(), CropViewport, size.width, size.height, level)
          ->Unit(benchmark::kMicrosecond);
    }
  }
  return true;
}();

}  // namespace
