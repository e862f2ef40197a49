#pragma once

#include <opencv2/core/mat.hpp>

// Fills `display` with `image` stretched over it by nearest-neighbour
// sampling (rows and columns are dropped or repeated, never blended), the way
// the picture is stretched over the video window's picture control. Output
// pixel (x, y) shows image pixel (x * columns / width, y * rows / height).
//
// `display` is the picture control's buffer and keeps its size: 8-bit with
// four channels (blue, green, red, 255) for a colour image of three
// channels, one channel for a grey image. Colour is converted in the same
// pass, so the picture is written once and the image read once. Returns
// false, leaving `display` untouched, when there is nothing that can be
// shown: an empty image, another depth or channel count, an empty display or
// one of the wrong kind.
bool scaleForDisplay(const cv::Mat& image, cv::Mat& display);

// The display type that shows images of `imageType`, or -1 for none.
int displayTypeFor(int imageType);
