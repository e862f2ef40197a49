#include "video/crop_viewport.h"

#include <algorithm>
#include <cstdint>

namespace {

// Plain quotients 1333 and 666 of a 4000-column frame would give rows of
// 3999 and 1998 bytes, which the blit does not take unsheared; these keep
// 4:3 exactly with rows a multiple of 4 bytes.
struct FixedCropSize {
  int frameWidth;
  int zoomLevel;
  int width;
  int height;
};
constexpr FixedCropSize fixedCropSizes[] = {{4000, 3, 1332, 999}, {4000, 6, 668, 501}};

// Origin of the crop along one axis: centred on `center`, then pushed back
// inside [0, frameSize). Worked in 64 bits so no centre can overflow.
int cropOrigin(int center, int cropSize, int frameSize) {
  std::int64_t origin = std::int64_t{center} - cropSize / 2;
  if (origin < 0) origin = 0;
  if (origin + cropSize > frameSize) origin = frameSize - cropSize;
  return static_cast<int>(origin);
}

}  // namespace

cv::Rect viewportRect(int frameWidth, int frameHeight, int zoomLevel, int centerX, int centerY) {
  if (frameWidth <= 0 || frameHeight <= 0) return {};

  const int level = effectiveZoomLevel(zoomLevel);
  int cropWidth = frameWidth / level;
  int cropHeight = frameHeight / level;
  for (const auto& fixed : fixedCropSizes) {
    if (frameWidth == fixed.frameWidth && level == fixed.zoomLevel) {
      cropWidth = fixed.width;
      cropHeight = fixed.height;
    }
  }
  // The fixed sizes ignore the frame height, so a short frame could be
  // smaller than them; a level beyond the frame's size would leave nothing.
  cropWidth = std::clamp(cropWidth, 1, frameWidth);
  cropHeight = std::clamp(cropHeight, 1, frameHeight);

  return {cropOrigin(centerX, cropWidth, frameWidth), cropOrigin(centerY, cropHeight, frameHeight), cropWidth,
          cropHeight};
}

cv::Mat viewportView(const cv::Mat& frame, ViewState& view) {
  const bool hasPicture = frame.dims == 2 && !frame.empty();
  const cv::Rect region =
      hasPicture ? viewportRect(frame.cols, frame.rows, view.zoomLevel, view.viewCenterX, view.viewCenterY)
                 : cv::Rect();
  view.viewWidth = region.width;
  view.viewHeight = region.height;
  return region.empty() ? cv::Mat() : frame(region);
}

void cropViewport(const cv::Mat& frame, ViewState& view, cv::Mat& viewportImage) {
  const cv::Mat region = viewportView(frame, view);
  if (region.empty()) {
    viewportImage.release();
    return;
  }
  // The picture is blitted straight from this buffer, row after row, so it
  // must be continuous; copyTo keeps a buffer of the right size and type as
  // it is, which would keep a strided view too.
  if (!viewportImage.isContinuous()) viewportImage.release();
  region.copyTo(viewportImage);
}
