#pragma once

#include <opencv2/core/mat.hpp>

class PictureCtrl;

// Draws the whole `image` stretched over the whole of `target` with
// nearest-neighbour sampling (rows and columns dropped or repeated, never
// blended), upright: three-channel blue-green-red in colour, one-channel in
// grey. Rows of any length show unsheared, whatever their alignment.
//
// An empty image, or one of another depth or channel count, draws nothing:
// the last picture stays. The image is sampled when the target is next
// painted (in the next event dispatch, or at once when the target is not on
// screen) and is held, unchanged, until then. The target keeps the scaled
// picture and paints it again whenever it repaints.
void presentMat(PictureCtrl& target, const cv::Mat& image);
