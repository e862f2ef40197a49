#include "video/present_mat.h"

#include "platform/simple_controls.h"
#include "video/display_image.h"

void presentMat(PictureCtrl& target, const cv::Mat& image) {
  const int displayType = displayTypeFor(image.type());
  if (image.empty() || image.dims != 2 || displayType < 0 || target.width() <= 0 || target.height() <= 0)
    return;

  // The picture is sampled straight into the control's 32-bit buffer, which
  // the window's backing store takes as it is: no scaled copy in between and
  // no conversion per repaint. It has the screen's own pixels, so a scaled
  // (high-density) screen shows more of the frame's detail, not larger
  // pixels. The sampling waits for the paint, in the frame loop's wait; the
  // image is held until then.
  target.showPicture(displayType == CV_8UC4 ? QImage::Format_RGB32 : QImage::Format_Grayscale8,
                     [image, displayType](QImage& picture) {
                       cv::Mat pixels(picture.height(), picture.width(), displayType, picture.bits(),
                                      static_cast<std::size_t>(picture.bytesPerLine()));
                       scaleForDisplay(image, pixels);
                     });
}
