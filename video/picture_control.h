#pragma once

#include <QWidget>
#include <opencv2/core/mat.hpp>

// The video window's picture: shows the last presented image stretched over
// the whole control with nearest-neighbour sampling, and paints it again from
// that image whenever the control repaints (uncovered, resized), so the
// picture never falls back to an empty frame between two passes.
//
// Mouse input passes through to the window, which owns zoom and pan.
class PictureControl : public QWidget {
  Q_OBJECT

 public:
  explicit PictureControl(QWidget* parent);

  // Shows `image` now. An empty image, or one of a depth or channel count
  // that cannot be shown, changes nothing: the last picture stays.
  void present(const cv::Mat& image);

  // What the control shows, scaled to its size (empty before the first image).
  const cv::Mat& displayed() const { return display_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool rescale();

  cv::Mat lastImage_;  // shares the presented buffer; no copy per pass
  cv::Mat display_;    // lastImage_ scaled to the control
};
