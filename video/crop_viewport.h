#pragma once

#include <opencv2/core.hpp>

#include "video/view_state.h"

// The part of a frameWidth x frameHeight frame that the zoom level and view
// centre select, always inside the frame: 1/level of each side (with the
// fixed 4:3 sizes of 4000-column frames at levels 3 and 6), centred where
// asked and pushed back inside at the edges. A level below 1 counts as 1;
// an empty frame gives an empty rectangle at the origin.
cv::Rect viewportRect(int frameWidth, int frameHeight, int zoomLevel, int centerX, int centerY);

// Copies the region into viewportImage (reusing its buffer), writes viewWidth/viewHeight back into view.
// The centre is left as it is, even where the region had to be pushed back
// inside the frame. An empty frame empties viewportImage and sets the view
// size to 0 x 0.
void cropViewport(const cv::Mat& frame, ViewState& view, cv::Mat& viewportImage);

// The same region as a view into `frame`, without copying: the frame loop
// shows it straight away, before the next frame replaces the pixels. Writes
// the view size back like cropViewport; an empty frame gives an empty view.
cv::Mat viewportView(const cv::Mat& frame, ViewState& view);
