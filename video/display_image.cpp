#include "video/display_image.h"

#include <opencv2/imgproc.hpp>

bool scaleForDisplay(const cv::Mat& image, cv::Size targetSize, cv::Mat& display) {
  if (image.empty() || image.dims != 2 || targetSize.width <= 0 || targetSize.height <= 0) return false;
  if (image.type() != CV_8UC3 && image.type() != CV_8UC1) return false;
  if (image.size() == targetSize) {
    image.copyTo(display);  // any row padding of a region view is dropped here
    return true;
  }
  cv::resize(image, display, targetSize, 0, 0, cv::INTER_NEAREST);
  return true;
}
