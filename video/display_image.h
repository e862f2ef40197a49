#pragma once

#include <opencv2/core/mat.hpp>

// Scales `image` over a target of `targetSize` by nearest-neighbour sampling
// (rows and columns are dropped or repeated, never blended), the way the
// picture is stretched over the video window's picture control.
//
// 8-bit images with one channel (grey) or three channels (blue, green, red)
// are shown; `display` then holds the scaled picture with the same channel
// count. Returns false, leaving `display` untouched, when there is nothing
// that can be shown: an empty image, another depth or channel count, or an
// empty target.
bool scaleForDisplay(const cv::Mat& image, cv::Size targetSize, cv::Mat& display);
