#include "video/present_mat.h"

#include <opencv2/imgproc.hpp>

#include "platform/simple_controls.h"
#include "video/display_image.h"

namespace {

// Wraps the image's pixels without copying them.
cv::Mat matOver(QImage& image, int type) {
  return cv::Mat(image.height(), image.width(), type, image.bits(),
                 static_cast<std::size_t>(image.bytesPerLine()));
}

}  // namespace

void presentMat(PictureCtrl& target, const cv::Mat& image) {
  // One scaled copy of the viewport per pass, reused from pass to pass; the
  // frame loop runs on the one user-interface thread.
  static cv::Mat scaled;
  if (!scaleForDisplay(image, cv::Size(target.width(), target.height()), scaled)) return;

  // The window's backing store is 32-bit; filling a 32-bit picture here makes
  // the paint a plain copy instead of a conversion per repaint.
  if (scaled.channels() == 3) {
    QImage& picture = target.pictureBuffer(QSize(scaled.cols, scaled.rows), QImage::Format_RGB32);
    cv::Mat pixels = matOver(picture, CV_8UC4);
    cv::cvtColor(scaled, pixels, cv::COLOR_BGR2BGRA);
  } else {
    QImage& picture = target.pictureBuffer(QSize(scaled.cols, scaled.rows), QImage::Format_Grayscale8);
    cv::Mat pixels = matOver(picture, CV_8UC1);
    scaled.copyTo(pixels);
  }
  target.showPicture();
}
